// On Linux the proxy comes from the environment, as curl and wget take it.
#include "net/proxy_settings.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdint>

namespace {

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

}  // namespace
