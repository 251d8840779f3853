#include "update/install_mode.h"

#include "base/text.h"
#include "base/update_log.h"
#include "integrity/packet.h"
#include "platform/file_system.h"

namespace {

String PacketFileName(const String& path) {
  const std::string_view text = path.View();
  const size_t separator = text.find_last_of("/\\");
  return separator == std::string_view::npos ? path : String(text.substr(separator + 1));
}

}  // namespace

bool InstallPacketFile(const String& path, std::u16string& errorText) {
  if (path.IsEmpty()) return true;
  UpdateLog((std::string("installing ") + path.Text()).c_str());
  if (platform::FileSize(std::string(path.View())) > 0) {
    // The file is streamed through unscrambling and decompression in one pass; these lines
    // keep the steps visible in the log.
    UpdateLog("reading");
    UpdateLog("descramble");
    UpdateLog("unpackage");
    const bool installed = InstallPacketFromFile(path, PacketFileName(path), nullptr, errorText);
    UpdateLog("installed");
    if (installed) return true;
  }
  UpdateLog("install error");
  std::u16string widePath;
  Utf8ToWide(widePath, path.View());
  errorText += u"\nArchive: " + widePath;
  return false;
}
