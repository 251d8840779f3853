// updater-publish: the publisher's tool for keys, sealed version files and configuration files.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/publish_config.h"
#include "tools/publish_flags.h"
#include "tools/publish_keys.h"

namespace {

const char kUsage[] =
    "usage: updater-publish COMMAND [--flag value ...]\n"
    "  keygen [--bits N] --out NAME        NAME: PEM private key, NAME.pub: OpenSSH line\n"
    "  seal --key NAME --in TEXT --out FILE\n"
    "  unseal --pub NAME.pub --in FILE     prints the version text\n"
    "  config-write --name NAME --in OPTIONS.txt [--out PATH]\n"
    "  config-read --name NAME [--in PATH]\n"
    "exit codes: 0 done, 1 missing file or wrong key, 2 wrong command line\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "keygen") return KeygenCommand(args);
  if (command == "seal") return SealCommand(args);
  if (command == "unseal") return UnsealCommand(args);
  if (command == "config-write") return ConfigWriteCommand(args);
  if (command == "config-read") return ConfigReadCommand(args);
  std::fprintf(stderr, "updater-publish: unknown command '%s'\n%s", command.c_str(), kUsage);
  return kExitUsage;
}
