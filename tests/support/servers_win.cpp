#include "support/servers_start.h"

namespace testing_support {

// A Windows program under Wine cannot start the Linux servers itself: ctest's fixture does.

TestServers StartOwnServers() {
    TestServers servers;
    servers.error = "set UPDATER_TEST_NGINX, UPDATER_TEST_PROXY and UPDATER_TEST_PEER "
                    "(tests/support/start_servers.py starts them)";
    return servers;
}

}  // namespace testing_support
