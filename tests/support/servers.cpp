#include "support/servers.h"
#include "support/servers_start.h"

#include <cstdlib>
#include <map>

namespace testing_support {

static bool ParseAddress(const std::string& text, ServerAddress& address) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    address.host = text.substr(0, colon);
    address.port = std::atoi(text.c_str() + colon + 1);
    return address.port > 0;
}

bool AssignServers(const std::map<std::string, std::string>& entries, TestServers& servers) {
    const auto find = [&](const char* name, ServerAddress& address) {
        const auto entry = entries.find(name);
        return entry != entries.end() && ParseAddress(entry->second, address);
    };
    if (!find("NGINX", servers.nginx) || !find("PROXY", servers.proxy) || !find("PEER", servers.peer)) {
        return false;
    }
    // Port 1 (tcpmux) is as good as certain to refuse.
    if (!find("REFUSED", servers.refused)) servers.refused = ServerAddress{"127.0.0.1", 1};
    return true;
}

namespace {

TestServers FromEnvironmentOrStart() {
    std::map<std::string, std::string> entries;
    for (const char* name : {"NGINX", "PROXY", "PEER", "REFUSED"}) {
        const char* value = std::getenv((std::string("UPDATER_TEST_") + name).c_str());
        if (value != nullptr && *value != '\0') entries[name] = value;
    }
    if (entries.empty()) return StartOwnServers();
    TestServers servers;
    if (!AssignServers(entries, servers)) {
        servers.error = "UPDATER_TEST_NGINX, UPDATER_TEST_PROXY and UPDATER_TEST_PEER must all be set";
    }
    return servers;
}

}  // namespace

const TestServers& SharedTestServers() {
    static const TestServers servers = FromEnvironmentOrStart();
    return servers;
}

}  // namespace testing_support
