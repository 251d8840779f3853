#include "update/deactivation_check.h"

#include "base/text.h"
#include "net/web_client.h"

String DeactivationUrl(const UpdateSettings& settings) {
  String url = HostAndPort(settings);
  url.Append(RemoteFolder(settings));
  url.Append("deactivated.txt.bin");
  return url;
}

std::string NoticeText(std::string_view body) {
  constexpr std::string_view kOpen = "<div>";
  constexpr std::string_view kClose = "</div>";
  const size_t open = body.find(kOpen);
  if (open != std::string_view::npos) body.remove_prefix(open + kOpen.size());
  const size_t close = body.find(kClose);
  if (close != std::string_view::npos && close > 0) body = body.substr(0, close);
  return std::string(body);
}

bool FetchDeactivationNotice(const UpdateSettings& settings, std::u16string& notice) {
  WebClient client;
  const String url = DeactivationUrl(settings);
  if (!client.ProbeWithRetries(url)) return false;
  const uint8_t* data = nullptr;
  int64_t length = 0;
  if (!client.Fetch(url, String(), data, length)) return false;
  notice = FromUtf8(NoticeText(std::string_view(reinterpret_cast<const char*>(data),
                                                static_cast<size_t>(length))));
  return true;
}
