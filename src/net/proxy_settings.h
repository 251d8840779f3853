// The user's HTTP proxy, read from the system's settings (see platform/proxy_settings.h).
#ifndef SRC_NET_PROXY_SETTINGS_H
#define SRC_NET_PROXY_SETTINGS_H

#include <cstdint>
#include <string_view>

#include "base/string.h"

// True when proxy use is switched on; proxyHost may still be empty (no usable server for
// HTTP), in which case requests go direct. A missing or unreadable setting gives false.
bool ReadProxySettings(String& proxyHost, std::int32_t& proxyPort);

// Takes the HTTP proxy from a server setting: "host:port", "host" (port 8080), the
// per-protocol form "ftp=a:21;http=b:8000", or a URL "http://host:port/".
void ParseProxyServer(std::string_view server, String& proxyHost, std::int32_t& proxyPort);

#endif  // SRC_NET_PROXY_SETTINGS_H
