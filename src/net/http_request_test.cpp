#include "net/http_request.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "net/test_log_capture.h"
#include "support/scratch_dir.h"
#include "support/servers.h"

namespace {

using testing_support::SharedTestServers;
using testing_support::ServerAddress;
using Clock = std::chrono::steady_clock;

std::string Body(const HTTPRequest& request) {
    return request.Data() == nullptr
               ? std::string()
               : std::string(reinterpret_cast<const char*>(request.Data()),
                             static_cast<std::size_t>(request.DataLength()));
}

class HttpRequestTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(servers.Available()) << servers.error; }

    // Polls as a main loop would, waiting on the socket; gives up (failing the test) after
    // 20 s so that a fault cannot hang the suite.
    std::unique_ptr<HTTPRequest> Run(const ServerAddress& server, const std::string& path,
                                     const std::string& body = "", const ServerAddress& proxy = {},
                                     RequestOptions options = ShortTimeout()) {
        auto request = std::make_unique<HTTPRequest>(
            String(server.host.c_str()), server.port, String(path.c_str()), String(body.c_str()),
            String(proxy.host.c_str()), proxy.port, true, options);
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (!request->Poll() && Clock::now() < deadline) request->WaitReady(100);
        EXPECT_TRUE(request->Done()) << path << " did not finish";
        return request;
    }

    static RequestOptions ShortTimeout() {
        RequestOptions options;
        options.inactivityTimeoutMs = 5000;
        return options;
    }

    const testing_support::TestServers& servers = SharedTestServers();
    testing_support::ScratchDir scratch;
    TestLogCapture log{scratch};
};

TEST_F(HttpRequestTest, SendsExactlyTheRequestBytes) {
    const ServerAddress& peer = servers.peer;
    const std::string self = peer.HostPort();
    struct Case {
        ServerAddress target;
        std::string path;
        std::string body;
        ServerAddress proxy;
        std::string expected;
    } cases[] = {
        {peer, "/echo/a/b.txt", "", {}, "GET /echo/a/b.txt HTTP/1.0\r\nHost: " + self + "\r\n\r\n"},
        // The peer stands in for a proxy: the request names the target, port 80 left out.
        {{"srv", 80}, "/echo/a/b.txt", "", peer, "GET http://srv/echo/a/b.txt HTTP/1.0\r\nHost: srv\r\n\r\n"},
        {{"srv", 8080}, "/echo/a/b.txt?x=1", "", peer,
         "GET http://srv:8080/echo/a/b.txt?x=1 HTTP/1.0\r\nHost: srv:8080\r\n\r\n"},
        {peer, "/echo/form", "a=1", {},
         "POST /echo/form HTTP/1.0\r\nHost: " + self +
             "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: 3\r\n\r\na=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        const auto request = Run(c.target, c.path, c.body, c.proxy);
        EXPECT_FALSE(request->Failed());
        EXPECT_EQ(request->StatusCode(), 200);
        EXPECT_EQ(Body(*request), c.expected);
    }
}

TEST_F(HttpRequestTest, SendsABodyLargerThanTheSocketTakesAtOnce) {
    const std::string form = "a=" + std::string(8 * 1024 * 1024, 'x');
    const auto request = Run(servers.peer, "/echo/big", form);
    EXPECT_EQ(request->StatusCode(), 200);
    const std::string echoed = Body(*request);
    ASSERT_GT(echoed.size(), form.size());
    EXPECT_TRUE(echoed.compare(echoed.size() - form.size(), form.size(), form) == 0);
}

TEST_F(HttpRequestTest, ReadsNginxRepliesAndFollowsRedirectsWithTheQuery) {
    struct Case {
        std::string path;
        int status;
        std::string body;
    } cases[] = {
        {"/files/hello.txt", 200, "hello"},
        {"/r/abs?r=5", 200, "/r/to/abs?r=5"},
        {"/r/rooted?r=5", 200, "/r/to/rooted?r=5"},
        {"/r/rel?r=5", 200, "/r/to/rel?r=5"},
        {"/r/loop", 302, ""},
        {"/files/missing.bin", 404, ""},
        {"/status/500", 500, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto request = Run(servers.nginx, c.path);
        EXPECT_FALSE(request->Failed());
        EXPECT_EQ(request->StatusCode(), c.status);
        EXPECT_EQ(Body(*request), c.body);
    }
    EXPECT_EQ(log.Count("|net|HTTPConnection: HTTP Response code 404"), 1);
}

TEST_F(HttpRequestTest, DownloadsALargeFileToMemoryOrToAFile) {
    const auto inMemory = Run(servers.nginx, "/files/large.bin");
    ASSERT_EQ(inMemory->DataLength(), testing_support::kLargeFileSize);
    EXPECT_GT(inMemory->BytesReceived(), testing_support::kLargeFileSize);
    const std::uint8_t* data = inMemory->Data();
    long long wrong = 0;
    for (long long i = 0; i < testing_support::kLargeFileSize; ++i) wrong += data[i] != testing_support::LargeFileByte(i);
    EXPECT_EQ(wrong, 0);

    RequestOptions toFile = ShortTimeout();
    toFile.bodyFile = scratch.File("large.bin");
    const auto streamed = Run(servers.nginx, "/files/large.bin", "", {}, toFile);
    EXPECT_EQ(streamed->Data(), nullptr);
    EXPECT_EQ(streamed->DataLength(), testing_support::kLargeFileSize);
    EXPECT_EQ(streamed->BodyPrefix(4), std::string(reinterpret_cast<const char*>(data), 4));
    EXPECT_TRUE(scratch.Read("large.bin") == std::string(reinterpret_cast<const char*>(data),
                                                         testing_support::kLargeFileSize));

    // A failed download leaves no file behind.
    toFile.bodyFile = scratch.File("cut.bin");
    EXPECT_TRUE(Run(servers.peer, "/short-body", "", {}, toFile)->Failed());
    EXPECT_FALSE(std::filesystem::exists(scratch.Path() / "cut.bin"));
}

TEST_F(HttpRequestTest, EndsEveryOddReplyWithADefinedResult) {
    struct Case {
        std::string path;
        bool failed;
        int status;
        std::string body;
    } cases[] = {
        {"/chunked4", false, 200, "hello world"},
        {"/close", false, 200, "close-delimited body"},
        {"/split", false, 200, "hello"},
        {"/mixed-case", false, 200, "hello"},  // the peer keeps the connection open
        {"/empty200", false, 200, ""},
        {"/nobody", false, 200, ""},
        {"/garbage", false, 0, ""},
        {"/close-mid-header", false, 0, ""},
        {"/location-no-host", false, 302, ""},
        {"/location-empty", false, 302, ""},
        {"/garbage-endless", true, 0, ""},
        {"/huge-length", true, 200, ""},
        {"/negative-length", true, 200, ""},
        {"/short-body", true, 200, ""},
        {"/chunked-negative", true, 200, ""},
        {"/chunked-overflow", true, 200, ""},
        {"/chunked-cut", true, 200, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto request = Run(servers.peer, c.path);
        EXPECT_EQ(request->Failed(), c.failed);
        if (!c.failed) {
            EXPECT_EQ(request->StatusCode(), c.status);
        }
        EXPECT_EQ(Body(*request), c.body);
    }
    const auto chunked = Run(servers.peer, "/chunked");
    EXPECT_EQ(chunked->DataLength(), 11 + 10240);
    EXPECT_EQ(Body(*chunked).substr(0, 11), "hello world");
    EXPECT_EQ(log.Count("HTTPConnection: remote closed without sending data"), 1);
}

TEST_F(HttpRequestTest, AStalledServerFailsAfterTheInactivityTimeout) {
    RequestOptions options;
    options.inactivityTimeoutMs = 600;
    for (const char* path : {"/stall", "/stall-body"}) {
        SCOPED_TRACE(path);
        const auto start = Clock::now();
        const auto request = Run(servers.peer, path, "", {}, options);
        const auto elapsed = Clock::now() - start;
        EXPECT_TRUE(request->Failed());
        EXPECT_GE(elapsed, std::chrono::milliseconds(600));
        EXPECT_LT(elapsed, std::chrono::milliseconds(3000));
    }
    EXPECT_EQ(log.Count("HTTPConnection: Error, no progress for 600 ms, giving up"), 2);
}

TEST_F(HttpRequestTest, WaitReadyWaitsForTheSocketOnly) {
    RequestOptions options;
    options.inactivityTimeoutMs = 5000;
    HTTPRequest request("127.0.0.1", servers.peer.port, "/stall", "", "", 0, true, options);
    request.Poll();  // connect and send
    request.Poll();
    const auto start = Clock::now();
    EXPECT_FALSE(request.WaitReady(200));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(150));
    EXPECT_FALSE(request.Poll());
}

TEST_F(HttpRequestTest, RefusesABodyLongerThanTheCallerExpects) {
    RequestOptions options = ShortTimeout();
    options.maxBodyLength = 99999;
    EXPECT_TRUE(Run(servers.peer, "/long-body", "", {}, options)->Failed());
    EXPECT_TRUE(Run(servers.nginx, "/files/large.bin", "", {}, options)->Failed());
    options.maxBodyLength = 100000;
    EXPECT_EQ(Run(servers.peer, "/long-body", "", {}, options)->DataLength(), 100000);
}

TEST_F(HttpRequestTest, GoesThroughTheProxyAndDirectWhenTheProxyRefuses) {
    const auto proxied = Run(servers.nginx, "/files/hello.txt", "", servers.proxy);
    EXPECT_EQ(Body(*proxied), "hello");
    EXPECT_EQ(log.Count("HTTPConnection::SocketOpen: Proxy 127.0.0.1:" + std::to_string(servers.proxy.port)), 1);

    const auto fallback = Run(servers.nginx, "/r/abs?r=1", "", servers.refused);
    EXPECT_EQ(Body(*fallback), "/r/to/abs?r=1");
    EXPECT_TRUE(static_cast<HTTPConnection*>(fallback->GetConnection())->ProxyFailed());

    const auto refused = Run(servers.refused, "/files/hello.txt");
    EXPECT_TRUE(refused->Failed());
    EXPECT_EQ(refused->DataLength(), 0);
}

}  // namespace
