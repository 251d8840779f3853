#include "tools/publish_config.h"

#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "integrity/scramble.h"
#include "platform/file_system.h"
#include "tools/publish_flags.h"

int ConfigWriteCommand(const std::vector<std::string>& args) {
  std::map<std::string, std::string> flags;
  if (!ParseFlags(args, {"--name", "--in", "--out"}, flags) ||
      !HasAll(flags, {"--name", "--in"})) {
    return Usage("config-write --name NAME --in OPTIONS.txt [--out PATH]");
  }
  const std::string& name = flags["--name"];
  const std::string& in = flags["--in"];
  const std::string out = FlagOr(flags, "--out", name);
  std::string text;
  if (!platform::ReadWholeFile(in, text)) return Fail("config-write", "cannot read '" + in + "'");
  // The updater opens the file by its configured name and uses that name as the key,
  // wherever the file is written now.
  const std::string stored = ScrambledCopy(name, std::move(text));
  if (!platform::WriteWholeFile(out, stored.data(), stored.size())) {
    return Fail("config-write", "cannot write '" + out + "'");
  }
  return 0;
}

int ConfigReadCommand(const std::vector<std::string>& args) {
  std::map<std::string, std::string> flags;
  if (!ParseFlags(args, {"--name", "--in"}, flags) || !HasAll(flags, {"--name"})) {
    return Usage("config-read --name NAME [--in PATH]");
  }
  const std::string& name = flags["--name"];
  const std::string in = FlagOr(flags, "--in", name);
  std::string text;
  if (!platform::ReadWholeFile(in, text)) return Fail("config-read", "cannot read '" + in + "'");
  const std::string plain = ScrambledCopy(name, std::move(text));
  std::fwrite(plain.data(), 1, plain.size(), stdout);
  return 0;
}
