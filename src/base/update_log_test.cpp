#include "base/update_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <thread>

#include "support/scratch_dir.h"
#include "support/shell_command.h"

namespace {

using testing_support::CurrentDirectory;
using testing_support::ScratchDir;
using testing_support::ShellCommand;

// The first line of a process truncates the file, so that case runs in a fresh copy of this
// test executable started with this argument.
const char* const kChildArgument = "--update-log-child";

bool IsChild() {
    for (const std::string& argument : testing::internal::GetArgvs()) {
        if (argument == kChildArgument) return true;
    }
    return false;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "text after the last line end";
    return lines;
}

const std::regex kStamp(R"(\d{17}\|)");

TEST(UpdateLogChild, WritesThreeLines) {
    if (!IsChild()) GTEST_SKIP() << "runs only in the child process";
    UpdateLog("first");
    UpdateLog("second");
    UpdateLogWide(u"w\u00e4\u4e00!");
}

TEST(UpdateLog, FirstLineOfAProcessTruncatesLaterOnesAppend) {
    ScratchDir dir;
    dir.Write("updater.log", "left from the previous run\r\n");
    const std::string self = std::filesystem::absolute(testing::internal::GetArgvs()[0]).string();
    {
        CurrentDirectory cwd(dir.Path());
        const std::string command =
            "\"" + self + "\" --gtest_filter=UpdateLogChild.* " + kChildArgument;
        ASSERT_EQ(std::system(ShellCommand(command).c_str()), 0) << command;
    }
    const std::vector<std::string> lines = Lines(dir.Read("updater.log"));
    ASSERT_EQ(lines.size(), 3u);
    const char* const expected[] = {"first", "second", "w\xE4?!"};
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_GE(lines[i].size(), 18u);
        EXPECT_TRUE(std::regex_match(lines[i].substr(0, 18), kStamp)) << lines[i];
        EXPECT_EQ(lines[i].substr(18), expected[i]);
    }
}

TEST(UpdateLog, ConcurrentCallersWriteWholeLines) {
    ScratchDir dir;
    CurrentDirectory cwd(dir.Path());
    auto writer = [](const char* text) {
        for (int i = 0; i < 300; ++i) UpdateLog(text);
    };
    const std::string longText(300, 'b');
    std::thread a(writer, "alpha");
    std::thread b(writer, longText.c_str());
    a.join();
    b.join();
    int alpha = 0;
    for (const std::string& line : Lines(dir.Read("updater.log"))) {
        ASSERT_TRUE(std::regex_match(line.substr(0, 18), kStamp)) << line;
        const std::string text = line.substr(18);
        ASSERT_TRUE(text == "alpha" || text == longText) << line;
        alpha += text == "alpha";
    }
    EXPECT_EQ(alpha, 300);
}

TEST(UpdateLog, UnwritableFileDropsTheLine) {
    ScratchDir dir;
    CurrentDirectory cwd(dir.Path());
    std::filesystem::create_directory(dir.Path() / "updater.log");
    UpdateLog("dropped");
    UpdateLogWide(u"dropped");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "updater.log"));
}

}  // namespace
