// The user-facing texts of the update run and the self-renewal, by their key in the localised
// text table.
#ifndef UPDATE_UPDATE_TEXTS_H
#define UPDATE_UPDATE_TEXTS_H

#include <string>

// English until the text table exists; keys: "no connection", "fail down updater",
// "fail file update", "no data", "wrong paket hash", "corrupt installation", "failed updater",
// "failed temp file". An unknown key gives the key itself.
std::u16string UpdateText(const char* key);

#endif  // UPDATE_UPDATE_TEXTS_H
