// The servers that tests talk to over loopback: nginx, tinyproxy, the HTTP peer for replies
// nginx will not produce, and a port where nothing listens (see start_servers.py).
#ifndef TESTS_SUPPORT_SERVERS_H
#define TESTS_SUPPORT_SERVERS_H

#include <string>

namespace testing_support {

struct ServerAddress {
    std::string host;
    int port = 0;

    std::string HostPort() const { return host + ":" + std::to_string(port); }
};

struct TestServers {
    ServerAddress nginx;
    ServerAddress proxy;
    ServerAddress peer;
    ServerAddress refused;
    std::string error;  // why the servers are not available; empty when they are

    bool Available() const { return error.empty(); }
};

// Started once per test process on first use (and stopped when it ends), unless the
// environment names servers that already run: UPDATER_TEST_NGINX, UPDATER_TEST_PROXY,
// UPDATER_TEST_PEER and optionally UPDATER_TEST_REFUSED, each as host:port. The Windows build
// needs them from the environment.
const TestServers& SharedTestServers();

// Byte i of the nginx fixture /files/large.bin.
inline unsigned char LargeFileByte(long long i) {
    return static_cast<unsigned char>(((i % 251) * 7 + 3) % 256);
}
constexpr long long kLargeFileSize = 12LL * 1024 * 1024;

}  // namespace testing_support

#endif
