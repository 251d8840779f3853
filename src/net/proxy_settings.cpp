#include "net/proxy_settings.h"

#include <cstdlib>
#include <string>

#include "platform/proxy_settings.h"

namespace {

// The "http" entry of "protocol=host:port;..." entries; empty when there is none.
std::string_view HttpEntry(std::string_view server) {
    while (!server.empty()) {
        const std::size_t end = server.find(';');
        const std::string_view entry = server.substr(0, end);
        if (entry.empty()) break;
        const std::size_t equals = entry.find('=');
        const std::string_view protocol = entry.substr(0, equals);
        if (equals != std::string_view::npos && protocol.size() <= 255 &&
            String(protocol).EqualsNoCase("http")) {
            return entry.substr(equals + 1);
        }
        if (end == std::string_view::npos) break;
        server.remove_prefix(end + 1);
    }
    return std::string_view();
}

}  // namespace

void ParseProxyServer(std::string_view server, String& proxyHost, std::int32_t& proxyPort) {
    if (server.find('=') != std::string_view::npos) server = HttpEntry(server);
    // The URL form of the environment variable: scheme and any path are not part of it.
    if (String(server).StartsWithNoCase("http://")) server.remove_prefix(7);
    server = server.substr(0, server.find('/'));
    if (server.empty()) return;
    const std::size_t colon = server.find(':');
    if (colon == std::string_view::npos) {
        proxyHost = String(server);
        proxyPort = 8080;
        return;
    }
    proxyHost = String(server.substr(0, colon));
    proxyPort = std::atoi(std::string(server.substr(colon + 1)).c_str());
}

bool ReadProxySettings(String& proxyHost, std::int32_t& proxyPort) {
    proxyHost = String();
    proxyPort = 0;
    const platform::SystemProxy proxy = platform::ReadSystemProxy();
    if (!proxy.enabled) return false;
    ParseProxyServer(proxy.server, proxyHost, proxyPort);
    return true;
}
