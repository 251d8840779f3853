#include "net/proxy_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ProxySettings, TakesTheHttpProxyFromEveryForm) {
    struct Case {
        const char* server;
        const char* host;
        int port;
    } cases[] = {
        {"px:3128", "px", 3128},
        {"px", "px", 8080},
        {"ftp=a:21;HTTP=b:8000;https=c:443", "b", 8000},
        {"https=c:443", "", 0},
        {"ftp=a:21;;http=b:8000", "", 0},  // the search ends at an empty entry
        {"http://px:3128/", "px", 3128},
        {"http=http://px:81", "px", 81},
        {"", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        String host;
        std::int32_t port = 0;
        ParseProxyServer(c.server, host, port);
        EXPECT_STREQ(host.Text(), c.host);
        EXPECT_EQ(port, c.port);
    }
}

}  // namespace
