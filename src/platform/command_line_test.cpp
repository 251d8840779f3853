#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "support/shell_command.h"

namespace {

using testing_support::ShellCommand;

// The child copy of this test executable is started with these trailing arguments.
const char* const kChildTail = " \"two words\" plain \"\"";

bool IsChild() {
    const std::vector<std::string>& arguments = testing::internal::GetArgvs();
    return arguments.size() >= 3 && arguments[arguments.size() - 2] == "plain";
}

TEST(CommandLine, ChildSeesItsArgumentsQuoted) {
    if (!IsChild()) GTEST_SKIP() << "runs only in the child process";
    const std::string line = platform::ProcessCommandLine();
    ASSERT_GE(line.size(), std::strlen(kChildTail));
    EXPECT_EQ(line.substr(line.size() - std::strlen(kChildTail)), kChildTail) << line;
}

TEST(CommandLine, ArgumentsWithBlanksReadBackWhole) {
    const std::string self = std::filesystem::absolute(testing::internal::GetArgvs()[0]).string();
    const std::string command =
        "\"" + self + "\" --gtest_filter=CommandLine.ChildSeesItsArgumentsQuoted" + kChildTail;
    EXPECT_EQ(std::system(ShellCommand(command).c_str()), 0) << command;
}

}  // namespace
