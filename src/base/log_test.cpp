#include "base/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <thread>

#include "base/text.h"
#include "platform/clock.h"
#include "support/scratch_dir.h"

namespace {

using testing_support::CurrentDirectory;
using testing_support::ScratchDir;

const char* const kBom = "\xEF\xBB\xBF";  // U+FEFF in UTF-8

// UTF-16LE file contents as UTF-8, so expectations read as plain text.
std::string ReadUtf16(const ScratchDir& dir, const std::string& name) {
    const std::string bytes = dir.Read(name);
    std::u16string wide;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return ToUtf8(wide);
}

void WriteUtf16(const ScratchDir& dir, const std::string& name, const std::string& utf8) {
    std::string bytes;
    for (char16_t unit : FromUtf8(utf8)) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    dir.Write(name, bytes);
}

std::string ArchiveName() {
    const platform::UtcTime now = platform::CurrentUtcTime();
    char name[32];
    std::snprintf(name, sizeof name, "%04i%02i%02i.log", now.year, now.month, now.day);
    return name;
}

// Runs the test body with the framework log open on `name` in a fresh folder that is also
// the working directory (the daily archive lands there).
class LogTest : public testing::Test {
protected:
    LogTest() : cwd_(dir_.Path()) {}
    ~LogTest() override { CloseLog(); }

    ScratchDir dir_;
    CurrentDirectory cwd_;
};

TEST_F(LogTest, LinesCarryTimeElapsedChannelAndMessage) {
    OpenLog("watchdog.log");
    LogInfo("hello %d %s", 5, "caf\xC3\xA9");  // not Latin: read as UTF-8
    LogError("umlaut \xE4");                   // Latin
    LogErrorWide(u"%s=%03d %hs %% %x %lld|%-3c|", u"wide", 7, "narrow", 255u, -5LL, u'c');
    LogErrorTo(NetChannel(), "net error %s", "x");
    LogErrorTo(ObjectSystemChannel(), "object error");
    CloseLog();

    const std::string text = ReadUtf16(dir_, "watchdog.log");
    ASSERT_EQ(text.rfind(kBom, 0), 0u);
    const std::regex line(R"(\d{17}\(\d+\.\d{3}\)\|\|hello 5 café\r\n)"
                          R"(\d{17}\(\d+\.\d{3}\)\|\|umlaut ä\r\n)"
                          R"(\d{17}\(\d+\.\d{3}\)\|\|wide=007 narrow % ff -5\|c  \|\r\n)"
                          R"(\d{17}\(\d+\.\d{3}\)\|net\|net error x\r\n)"
                          R"(\d{17}\(\d+\.\d{3}\)\|objectsystem\|object error\r\n)");
    EXPECT_TRUE(std::regex_match(text.substr(3), line)) << text;
}

TEST_F(LogTest, MessagesAboveTheChannelLevelAreDropped) {
    OpenLog("watchdog.log");
    LogInfoTo(NetChannel(), "net info");              // level 2 on a level-1 channel
    LogInfoTo(ObjectSystemChannel(), "object info");  // level 2 on a level-0 channel
    LogDetail("detail");                              // level 3 on the level-2 main channel
    LogInfoTo(MainChannel(), "main info");
    CloseLog();
    const std::string text = ReadUtf16(dir_, "watchdog.log");
    EXPECT_EQ(text.find("net info"), std::string::npos);
    EXPECT_EQ(text.find("object info"), std::string::npos);
    EXPECT_EQ(text.find("detail"), std::string::npos);
    EXPECT_NE(text.find("||main info\r\n"), std::string::npos) << text;
}

TEST_F(LogTest, ChannelsExistInCreationOrder) {
    EXPECT_EQ(MainChannel().index, 0);
    EXPECT_EQ(NetChannel().index, 1);
    EXPECT_EQ(ObjectSystemChannel().index, 2);
    EXPECT_EQ(std::string(MainChannel().name.Text()), "default");
    EXPECT_EQ(MainChannel().level, 2);
    EXPECT_EQ(NetChannel().level, 1);
    EXPECT_EQ(ObjectSystemChannel().level, 0);
}

TEST_F(LogTest, ChannelWithItsOwnFileGetsItsOwnSink) {
    static LogChannel first("first", 2);
    static LogChannel second("second", 2);
    first.sinkName = "own.log";
    second.sinkName = "own.log";
    OpenLog("watchdog.log");
    LogInfoTo(first, "one");
    LogInfoTo(second, "two");
    CloseLog();
    const std::string own = ReadUtf16(dir_, "own.log");
    EXPECT_NE(own.find("|first|one\r\n"), std::string::npos) << own;
    EXPECT_NE(own.find("|second|two\r\n"), std::string::npos) << own;
    EXPECT_EQ(ReadUtf16(dir_, "watchdog.log"), kBom);
}

TEST_F(LogTest, HistoryKeepsTheLastTwoRunsAndArchivesOlderOnes) {
    const std::string two = "two " + std::string(3000, 'x');  // read back in several pieces
    WriteUtf16(dir_, "watchdog.log",
               std::string(kBom) + "before any run\r\n" + "Starting System 1\r\none\r\n" +
                   "Starting System 2\r\n" + two + "\r\n" + kBom +
                   "Starting System 3\r\nthree\r\n");
    WriteUtf16(dir_, ArchiveName(), std::string(kBom) + "earlier\r\n");
    OpenLog("watchdog.log");
    CloseLog();
    EXPECT_EQ(ReadUtf16(dir_, "watchdog.log"), std::string(kBom) + "Starting System 2\r\n" + two +
                                                   "\r\nStarting System 3\r\nthree\r\n");
    EXPECT_EQ(ReadUtf16(dir_, ArchiveName()),
              std::string(kBom) + "earlier\r\nStarting System 1\r\none\r\n");

    // The next start moves run 2 on; the archive is appended to without a second byte order mark.
    OpenLog("watchdog.log");
    LogInfo("Starting System 4");
    CloseLog();
    OpenLog("watchdog.log");
    CloseLog();
    const std::string text = ReadUtf16(dir_, "watchdog.log");
    EXPECT_EQ(text.find("Starting System 2"), std::string::npos);
    EXPECT_EQ(text.rfind(std::string(kBom) + "Starting System 3\r\nthree\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("||Starting System 4\r\n"), std::string::npos) << text;
    EXPECT_EQ(ReadUtf16(dir_, ArchiveName()), std::string(kBom) +
                                                  "earlier\r\nStarting System 1\r\none\r\n" +
                                                  "Starting System 2\r\n" + two + "\r\n");
}

TEST_F(LogTest, HistoryWithoutAnyRunLeavesOnlyTheByteOrderMark) {
    WriteUtf16(dir_, "watchdog.log", std::string(kBom) + "old line\r\nanother\r\n");
    OpenLog("watchdog.log");
    CloseLog();
    EXPECT_EQ(ReadUtf16(dir_, "watchdog.log"), kBom);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path() / ArchiveName()));
}

TEST_F(LogTest, SizeLimitSwitchesFromHistoryToAppending) {
    constexpr std::uintmax_t kLimit = 209715200;
    const std::string tooLarge = "======= GAME LOG TOO LARGE =======\n";
    for (const std::uintmax_t size : {kLimit, kLimit + 1}) {
        SCOPED_TRACE(size);
        dir_.Write("big.log", "");
        std::filesystem::resize_file(dir_.Path() / "big.log", size);  // sparse: nothing written
        OpenLog("big.log");
        CloseLog();
        const std::uintmax_t after = std::filesystem::file_size(dir_.Path() / "big.log");
        if (size == kLimit) {
            EXPECT_EQ(after, 2u) << "read back through history keeping: no run, BOM only";
        } else {
            ASSERT_EQ(after, size + 2 * tooLarge.size());
            std::FILE* file = std::fopen((dir_.Path() / "big.log").string().c_str(), "rb");
            ASSERT_NE(file, nullptr);
            std::fseek(file, static_cast<long>(size), SEEK_SET);
            std::string tail(2 * tooLarge.size(), '\0');
            EXPECT_EQ(std::fread(tail.data(), 1, tail.size(), file), tail.size());
            std::fclose(file);
            std::string narrow;
            for (size_t i = 0; i < tail.size(); i += 2) narrow.push_back(tail[i]);
            EXPECT_EQ(narrow, tooLarge);
        }
    }
}

TEST_F(LogTest, UnusableFilesLeaveTheLogSilentlyAbsent) {
    // A folder where the log should be, a log in a missing folder, and an archive that
    // cannot be opened: nothing is written and nothing crashes.
    std::filesystem::create_directory(dir_.Path() / "folder.log");
    for (const char* name : {"folder.log", "missing/watchdog.log"}) {
        EXPECT_TRUE(OpenLog(name));
        LogError("dropped");
        CloseLog();
    }
    const std::string old =
        std::string(kBom) + "Starting System 1\r\nStarting System 2\r\n" + "Starting System 3\r\n";
    WriteUtf16(dir_, "watchdog.log", old);
    std::filesystem::create_directory(dir_.Path() / ArchiveName());
    EXPECT_TRUE(OpenLog("watchdog.log"));
    LogError("dropped");
    CloseLog();
    EXPECT_EQ(ReadUtf16(dir_, "watchdog.log"), old) << "the old log is left as it was";
}

TEST_F(LogTest, ConcurrentWritersNeverInterleaveLines) {
    OpenLog("watchdog.log");
    auto writer = [](const char* word) {
        for (int i = 0; i < 300; ++i) LogInfo("%s %d", word, i);
    };
    std::thread a(writer, "alpha");
    std::thread b(writer, "beta");
    a.join();
    b.join();
    CloseLog();
    const std::string text = ReadUtf16(dir_, "watchdog.log").substr(3);
    const std::regex line(R"(\d{17}\(\d+\.\d{3}\)\|\|(alpha|beta) \d+)");
    int lines = 0;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2, ++lines) {
        EXPECT_TRUE(std::regex_match(text.substr(start, end - start), line))
            << text.substr(start, end - start);
    }
    EXPECT_EQ(lines, 600);
    EXPECT_EQ(text.size() - text.rfind("\r\n"), 2u) << "nothing after the last line";
}

}  // namespace
