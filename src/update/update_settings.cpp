#include "update/update_settings.h"

#include <cstdlib>
#include <string>

bool ParseServerAddress(const String& text, String& host, int32_t& port) {
  port = 80;
  const int32_t colon = text.FindChar(':');
  if (colon < 0) {
    host = text;
  } else {
    host = text.Substring(0, colon - 1);
    const int value = std::atoi(text.Tail(colon + 1).Text());
    if (value > 0) port = value;
  }
  return !host.IsEmpty();
}

String HostAndPort(const UpdateSettings& settings) {
  String text = settings.host;
  text.Append(":");
  text.Append(String(std::to_string(settings.port)));
  return text;
}

String RemoteFolder(const UpdateSettings& settings) {
  String folder("/");
  folder.Append(settings.game);
  folder.Append("/");
  folder.Append(settings.platform);
  folder.Append(settings.test ? "/test/" : "/live/");
  folder.Append(settings.edition);
  folder.Append("/");
  return folder;
}

String VersionFilePath(const UpdateSettings& settings) {
  String path = RemoteFolder(settings);
  path.Append("_");
  if (settings.modules.empty()) path.Append("main.");
  for (const String& module : settings.modules) {
    path.Append(module);
    path.Append(".");
  }
  path.Append("txt.bin");
  return path;
}
