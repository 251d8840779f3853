#include "net/download.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "net/net_texts.h"
#include "support/scratch_dir.h"
#include "support/servers.h"

namespace {

using testing_support::SharedTestServers;

class DownloadTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(servers.Available()) << servers.error;
        DownloadRetryCounter() = 0;
    }

    // Drives the download as the engine does: poll until done, judge, start again on a retry.
    int Download(const std::string& url) {
        if (!DownloadUrl(engine, String(url.c_str()))) return kDownloadFailed;
        for (;;) {
            while (!engine.request->Poll()) engine.request->WaitReady(100);
            const int outcome = CheckDownload(engine);
            if (outcome != kDownloadRetry) return outcome;
            retryTexts.push_back(ToUtf8(engine.errorText));
            DownloadUrl(engine, engine.url);
        }
    }

    // The update log's lines without their time stamps.
    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        const std::string text = scratch.Read("updater.log");
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find("\r\n", at);
            const std::string line = text.substr(at, end - at);
            lines.push_back(line.substr(line.find('|') + 1));
            at = end + 2;
        }
        return lines;
    }

    const testing_support::TestServers& servers = SharedTestServers();
    testing_support::ScratchDir scratch;
    testing_support::CurrentDirectory inScratch{scratch.Path()};
    DownloadFields engine;
    std::vector<std::string> retryTexts;
};

TEST_F(DownloadTest, SplitsTheUrlIntoHostPortAndPath) {
    struct Case {
        const char* url;
        const char* host;
        int port;
        const char* path;
    } cases[] = {
        {"srv:81/dir/f.bin?x=1", "srv", 81, "/dir/f.bin?x=1"},
        {"srv/f", "srv", 80, "/f"},
        {"srv:0/f", "srv", 80, "/f"},
        {"srv:/f", "srv:", 80, "/f"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        ASSERT_TRUE(DownloadUrl(engine, c.url));
        const Connection* connection = engine.request->GetConnection();
        EXPECT_STREQ(connection->Host().Text(), c.host);
        EXPECT_EQ(connection->Port(), c.port);
        EXPECT_STREQ(connection->Path().Text(), c.path);
    }
    EXPECT_FALSE(DownloadUrl(engine, "srv"));
    EXPECT_EQ(engine.status, 9);
    EXPECT_EQ(ToUtf8(engine.errorText), "Couldn't download URL: bad format.\nsrv");
    EXPECT_EQ(engine.request, nullptr);
    EXPECT_FALSE(DownloadUrl(engine, ""));
    EXPECT_EQ(ToUtf8(engine.errorText), "Couldn't download URL: no url.\n");
}

TEST_F(DownloadTest, DeliversTheBodyAndLogsTheDownload) {
    const std::string url = servers.nginx.HostPort() + "/files/hello.txt";
    EXPECT_EQ(Download(url), kDownloadOk);
    EXPECT_EQ(engine.request->DataLength(), 5);
    EXPECT_EQ(LogLines(), std::vector<std::string>{"download " + url});
}

TEST_F(DownloadTest, RetriesThroughTheProxyThenDirectThenGoesOffline) {
    engine.useProxy = true;
    engine.proxyHost = servers.refused.host.c_str();
    engine.proxyPort = servers.refused.port;
    const std::string url = servers.refused.HostPort() + "/f.bin";
    EXPECT_EQ(Download(url), kDownloadFailed);
    EXPECT_EQ(engine.status, 1);
    EXPECT_EQ(engine.errorText, NetText("no connection"));
    std::vector<std::string> expected;
    for (int i = 0; i < 7; ++i) {
        expected.push_back("download " + url);
        if (i < 6) expected.push_back(i < 3 ? "retry with proxy" : "retry without proxy");
    }
    expected.push_back("offline");
    EXPECT_EQ(LogLines(), expected);

    // The retries are spent for the whole run: a later failure is final at once.
    engine.status = 0;
    EXPECT_EQ(Download(servers.nginx.HostPort() + "/files/missing.bin"), kDownloadFailed);
    EXPECT_TRUE(retryTexts.size() == 6);
    EXPECT_EQ(engine.status, 9);
}

TEST_F(DownloadTest, RetriesAMissingFileThenReportsNoData) {
    const std::string url = servers.nginx.HostPort() + "/files/missing.bin";
    EXPECT_EQ(Download(url), kDownloadFailed);
    ASSERT_EQ(retryTexts.size(), 6u);
    EXPECT_EQ(retryTexts[0], "Server did not have the file:\n" + url + "\nHTTP 404");
    EXPECT_EQ(engine.status, 9);
    EXPECT_EQ(engine.errorText, NetText("no data"));
}

TEST_F(DownloadTest, JudgesOddBodiesWithoutRetryingAPage) {
    const std::string peer = servers.peer.HostPort();
    EXPECT_EQ(Download(peer + "/doctype"), kDownloadFailed);
    EXPECT_TRUE(retryTexts.empty());
    EXPECT_EQ(engine.status, 9);
    EXPECT_EQ(engine.errorText, NetText("no data"));

    engine.corruptInstallation = true;
    EXPECT_EQ(Download(peer + "/empty200"), kDownloadFailed);
    EXPECT_EQ(retryTexts.size(), 6u);
    EXPECT_EQ(engine.status, 1);
    EXPECT_EQ(engine.errorText, NetText("corrupt installation"));
}

}  // namespace
