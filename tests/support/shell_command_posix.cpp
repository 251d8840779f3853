#include "support/shell_command.h"

namespace testing_support {

std::string ShellCommand(const std::string& command) { return command; }

}  // namespace testing_support
