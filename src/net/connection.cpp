#include "net/connection.h"

void Connection::SetTarget(const String& newHost, std::int32_t newPort, const String& newPath) {
    host = newHost;
    port = newPort;
    path = newPath;
    proxyHost = String();
    proxyPort = 0;
}

void Connection::SetProxy(const String& newProxyHost, std::int32_t newProxyPort) {
    proxyHost = newProxyHost;
    proxyPort = newProxyPort;
}
