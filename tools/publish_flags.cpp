#include "tools/publish_flags.h"

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
