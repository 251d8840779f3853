#include "update/update_texts.h"

#include <cstring>

#include "base/text.h"

std::u16string UpdateText(const char* key) {
  static constexpr struct {
    const char* key;
    const char16_t* text;
  } kTexts[] = {
      {"no connection", u"No Connection"},
      {"fail down updater", u"Could not download the new Updater."},
      {"fail file update", u"The file could not be updated."},
      {"no data", u"No data were received."},
      {"wrong paket hash", u"Wrong paket hash."},
      {"corrupt installation", u"Corrupt Installation. Please reinstall."},
      {"failed updater", u"Updating the Updater failed."},
      {"failed temp file", u"A temporary file could not be created."},
  };
  for (const auto& entry : kTexts) {
    if (std::strcmp(entry.key, key) == 0) return entry.text;
  }
  return FromUtf8(key);
}
