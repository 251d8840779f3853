#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "supervision/exiting_program_test.h"
#include "supervision/start_program.h"
#include "supervision/win_watchdog_server.h"
#include "support/scratch_dir.h"

namespace {

struct Ending {
    std::string program;
    int32_t code;
    std::string logName;
};

class WatchdogServerTest : public testing::Test {
protected:
    void SetUp() override {
        server_.Setup("server", "updater", [this](const String& program, const String&,
                                                  int32_t code, const String& logName, bool) {
            endings_.push_back({std::string(program.View()), code, std::string(logName.View())});
        });
    }

    // Polls until no child runs; false when that takes more than 30 seconds.
    bool PollUntilIdle() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (server_.Poll()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    testing_support::ScratchDir dir_;
    WinWatchdogServer server_;
    std::vector<Ending> endings_;
};

TEST_F(WatchdogServerTest, ReportsOnlyAbnormalEnds) {
    for (const int code : {0, 3}) {
        const ExitProgram child = ExitingWith(dir_, code);
        ASSERT_TRUE(server_.Execute("game", String(child.program), String(child.arguments),
                                    "game.log"));
        EXPECT_TRUE(PollUntilIdle());
    }
    ASSERT_EQ(endings_.size(), 1u);
    EXPECT_EQ(endings_[0].code, 3);
    EXPECT_EQ(endings_[0].logName, "game.log");
    EXPECT_FALSE(server_.Poll());
}

TEST_F(WatchdogServerTest, AFailedStartIsReportedToTheCallback) {
    EXPECT_FALSE(server_.Execute("game", "no-such-program-here", "x", "game.log"));
    ASSERT_EQ(endings_.size(), 1u);
    EXPECT_EQ(endings_[0].code, -1000);
    EXPECT_FALSE(server_.Poll());
}

TEST_F(WatchdogServerTest, TheFirstValueOfAParameterCounts) {
    server_.SetParameter("x", "1");
    server_.SetParameter("x", "2");
    EXPECT_EQ(server_.GetParameter("x"), "1");
    EXPECT_EQ(server_.GetParameter("y"), "");
}

TEST_F(WatchdogServerTest, StartProgramResults) {
    EXPECT_EQ(StartProgram("", " x", false, &server_), 3);
    EXPECT_EQ(StartProgram("no-such-program-here", " x", false, &server_), 1);
    // A supervised start leaves failures to the watchdog.
    EXPECT_EQ(StartProgram("no-such-program-here", " x", true, &server_), 0);
    ASSERT_EQ(endings_.size(), 1u);
    EXPECT_EQ(endings_[0].code, -1000);

    const ExitProgram child = ExitingWith(dir_, 5);
    EXPECT_EQ(StartProgram(child.program, " " + child.arguments, true, &server_), 0);
    EXPECT_TRUE(PollUntilIdle());
    ASSERT_EQ(endings_.size(), 2u);
    EXPECT_EQ(endings_[1].code, 5);
}

}  // namespace
