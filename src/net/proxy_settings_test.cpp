#include "net/proxy_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

#ifndef _WIN32
TEST(ProxySettings, ReadsTheEnvironmentOnThisSystem) {
    String host;
    std::int32_t port = -1;
    unsetenv("http_proxy");
    unsetenv("HTTP_PROXY");
    EXPECT_FALSE(ReadProxySettings(host, port));
    EXPECT_STREQ(host.Text(), "");
    EXPECT_EQ(port, 0);

    setenv("HTTP_PROXY", "http://proxy.example:3128/", 1);
    EXPECT_TRUE(ReadProxySettings(host, port));
    EXPECT_STREQ(host.Text(), "proxy.example");
    EXPECT_EQ(port, 3128);

    setenv("http_proxy", "px:81", 1);
    EXPECT_TRUE(ReadProxySettings(host, port));
    EXPECT_STREQ(host.Text(), "px");
    EXPECT_EQ(port, 81);
    unsetenv("http_proxy");
    unsetenv("HTTP_PROXY");
}
#endif

}  // namespace
