#include "release/updater_hash.h"

#include <cstdio>
#include <optional>

#include "base/text.h"
#include "integrity/digest.h"
#include "platform/file_system.h"

bool WriteUpdaterHash(const String& path, std::u16string& errorText) {
  const std::optional<Sha256Result> digest = CachedFileDigest(path);
  // Publishing the "0" of an unreadable file would make every client refuse the updater.
  if (!digest) {
    errorText = FromUtf8("File Error: could not open file '" + std::string(path.View()) + "'");
    return false;
  }
  const String text = DigestText(digest);
  std::fputs(text.Concat("\n").Text(), stdout);
  std::fflush(stdout);
  if (!platform::WriteWholeFile("updater.hash", text.Text(), static_cast<size_t>(text.Length()))) {
    errorText = u"File Error: could not write hash file\n";
    return false;
  }
  return true;
}
