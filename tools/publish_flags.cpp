#include "tools/publish_flags.h"

#include <cstdio>

bool ParseFlags(const std::vector<std::string>& args, std::initializer_list<const char*> allowed,
                std::map<std::string, std::string>& flags) {
  for (size_t i = 0; i < args.size(); i += 2) {
    bool known = false;
    for (const char* flag : allowed) known = known || args[i] == flag;
    if (!known || i + 1 >= args.size()) return false;
    flags[args[i]] = args[i + 1];
  }
  return true;
}

std::string FlagOr(const std::map<std::string, std::string>& flags, const char* flag,
                   const std::string& fallback) {
  const auto found = flags.find(flag);
  return found == flags.end() ? fallback : found->second;
}

bool HasAll(const std::map<std::string, std::string>& flags,
            std::initializer_list<const char*> required) {
  for (const char* flag : required) {
    if (flags.count(flag) == 0) return false;
  }
  return true;
}

int Fail(const char* command, const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", command, message.c_str());
  return kExitFailure;
}

int Usage(const char* usage) {
  std::fprintf(stderr, "usage: %s\n", usage);
  return kExitUsage;
}
