// Prints the SHA-256 of each file named on the command line, as Sha256File computes it; the
// benchmark script times it against other tools over the same file.
#include <cstdio>

#include "integrity/digest.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::optional<Sha256Result> digest = Sha256File(String(argv[i]));
    if (!digest) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 1;
    }
    std::printf("%s  %s\n", DigestText(digest).Text(), argv[i]);
  }
  return 0;
}
