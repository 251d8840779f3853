// Builds a first release of a source folder with a given number of packet-writing threads, for
// bench/release.sh.
//
//     release_bench SOURCE OUT WORKERS    (WORKERS 0: one per processor core)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/text.h"
#include "platform/file_system.h"
#include "release/release_builder.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: release_bench SOURCE OUT WORKERS\n");
    return 2;
  }
  const std::string out = std::string(argv[2]) + "/";
  platform::CreateFolder(out);
  const std::string header = "MagicVersionFile\r\n0 http://host/updater\r\n";
  if (!platform::WriteWholeFile(out + "template.txt", header.data(), header.size())) {
    std::fprintf(stderr, "cannot write to %s\n", out.c_str());
    return 1;
  }
  ReleaseOptions options;
  options.oldVersion = String(out + "template.txt");
  options.newVersion = String(out + "version");
  options.newHashes = String(out + "hashes.txt");
  options.source = String(std::string(argv[1]) + "/");
  options.target = String(out);
  options.tag = "bench";
  options.url = "host/dl";
  options.platform = "linux";
  std::u16string error;
  String report;
  if (!BuildRelease(options, error, report, static_cast<unsigned>(std::atoi(argv[3])))) {
    std::fprintf(stderr, "%s\n", ToUtf8(error).c_str());
    return 1;
  }
  return 0;
}
