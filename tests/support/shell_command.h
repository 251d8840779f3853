// Commands for std::system that reach the program intact on both platforms.
#ifndef TESTS_SUPPORT_SHELL_COMMAND_H
#define TESTS_SUPPORT_SHELL_COMMAND_H

#include <string>

namespace testing_support {

// The command as std::system must receive it to run `command` unchanged.
std::string ShellCommand(const std::string& command);

}  // namespace testing_support

#endif
