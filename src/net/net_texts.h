// The user-facing texts of downloads, by their key in the localised text table.
#ifndef SRC_NET_NET_TEXTS_H
#define SRC_NET_NET_TEXTS_H

#include <string>

// English until the text table exists; keys: "no connection", "no data", "corrupt installation".
std::u16string NetText(const char* key);

#endif  // SRC_NET_NET_TEXTS_H
