#include "support/shell_command.h"

namespace testing_support {

// cmd.exe drops the first and the last quote of a command that starts with one.
std::string ShellCommand(const std::string& command) { return "\"" + command + "\""; }

}  // namespace testing_support
