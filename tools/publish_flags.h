// Command-line flags of the publisher tool's sub-commands ("--flag value" pairs), their exit
// codes and error lines.
#ifndef TOOLS_PUBLISH_FLAGS_H
#define TOOLS_PUBLISH_FLAGS_H

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

// Exit codes shared by every sub-command.
constexpr int kExitFailure = 1;  // a file is missing or unreadable, a key is wrong
constexpr int kExitUsage = 2;    // the command line is wrong

// False for a stray word, a flag without a value or a flag not in `allowed`.
bool ParseFlags(const std::vector<std::string>& args, std::initializer_list<const char*> allowed,
                std::map<std::string, std::string>& flags);

std::string FlagOr(const std::map<std::string, std::string>& flags, const char* flag,
                   const std::string& fallback);

bool HasAll(const std::map<std::string, std::string>& flags,
            std::initializer_list<const char*> required);

// Print "COMMAND: MESSAGE" or "usage: USAGE" to stderr; return the matching exit code.
int Fail(const char* command, const std::string& message);
int Usage(const char* usage);

#endif  // TOOLS_PUBLISH_FLAGS_H
