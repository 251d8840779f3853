#include "net/net_texts.h"

#include <cstring>

std::u16string NetText(const char* key) {
    if (std::strcmp(key, "no connection") == 0) return u"No Connection";
    if (std::strcmp(key, "no data") == 0) return u"No data were received.";
    if (std::strcmp(key, "corrupt installation") == 0) return u"Corrupt Installation. Please reinstall.";
    return std::u16string();
}
