#include "net/web_client.h"

#include <gtest/gtest.h>

#include <string>

#include "net/test_log_capture.h"
#include "support/scratch_dir.h"
#include "support/servers.h"

namespace {

using testing_support::SharedTestServers;

class WebClientTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(servers.Available()) << servers.error; }

    String Url(const testing_support::ServerAddress& server, const std::string& path) const {
        return String((server.HostPort() + path).c_str());
    }

    const testing_support::TestServers& servers = SharedTestServers();
    testing_support::ScratchDir scratch;
    TestLogCapture log{scratch};
    WebClient client;
    const std::uint8_t* data = nullptr;
    std::int64_t length = 0;
};

TEST_F(WebClientTest, FetchesAndRetriesAllButAMissingFile) {
    ASSERT_TRUE(client.Fetch(String("HTTP://").Concat(Url(servers.nginx, "/files/hello.txt")), "", data, length));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length)), "hello");

    EXPECT_FALSE(client.Fetch(Url(servers.nginx, "/files/missing.bin"), "", data, length));
    EXPECT_EQ(log.Count("HTTP Response code 404"), 1);
    EXPECT_FALSE(client.Fetch(Url(servers.nginx, "/status/500"), "", data, length));
    EXPECT_EQ(log.Count("HTTP Response code 500"), 3);
    EXPECT_EQ(data, nullptr);
    EXPECT_FALSE(client.Fetch("no-slash", "", data, length));
    EXPECT_EQ(client.Probe("/no-host"), nullptr);
}

TEST_F(WebClientTest, PostsThroughTheProxy) {
    WebClient proxied(servers.proxy.host.c_str(), servers.proxy.port);
    ASSERT_TRUE(proxied.Fetch(Url(servers.peer, "/echo"), "a=1&b=2", data, length));
    const std::string echoed(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
    EXPECT_EQ(echoed.substr(0, 11), "POST /echo ");
    EXPECT_NE(echoed.find("\r\n\r\na=1&b=2"), std::string::npos);
}

TEST_F(WebClientTest, ProbesStopAtTheStatus) {
    const HTTPRequest* probe = client.Probe(Url(servers.nginx, "/files/large.bin"));
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->StatusCode(), 200);
    EXPECT_LT(probe->BytesReceived(), testing_support::kLargeFileSize);

    EXPECT_TRUE(client.ProbeWithRetries(Url(servers.nginx, "/files/hello.txt")));
    EXPECT_FALSE(client.ProbeWithRetries(Url(servers.nginx, "/files/missing.bin")));
    EXPECT_EQ(log.Count("HTTP Response code 404"), 1);
    EXPECT_FALSE(client.ProbeWithRetries(Url(servers.nginx, "/status/500")));
    EXPECT_EQ(log.Count("HTTP Response code 500"), 3);
}

TEST_F(WebClientTest, StepsThroughAFetch) {
    bool ok = false;
    struct Case {
        std::string path;
        bool ok;
        int attempts;
    } cases[] = {{"/files/hello.txt", true, 1}, {"/files/missing.bin", false, 1}, {"/status/500", false, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ASSERT_TRUE(client.Prepare(Url(servers.nginx, c.path), ""));
        const int before = log.Count("|net|HTTPConnection::SocketOpen: socket opened");
        int steps = 0;
        while (!client.Step(ok, data, length) && steps < 100000) ++steps;
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(log.Count("|net|HTTPConnection::SocketOpen: socket opened") - before, c.attempts);
        EXPECT_TRUE(client.Step(ok, data, length)) << "stays done";
    }
    EXPECT_FALSE(client.Prepare("/no-host", ""));
}

}  // namespace
