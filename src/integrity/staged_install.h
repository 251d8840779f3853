// Files of a packet held back until the packet has been checked: each is written to a
// temporary file beside its target and renamed over the target only on Commit.
#ifndef INTEGRITY_STAGED_INSTALL_H
#define INTEGRITY_STAGED_INSTALL_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "integrity/digest.h"

class StagedInstall {
 public:
  StagedInstall() = default;
  // Removes every temporary file that was not committed.
  ~StagedInstall();
  StagedInstall(const StagedInstall&) = delete;
  StagedInstall& operator=(const StagedInstall&) = delete;

  // Opens a temporary file for `target` (a safe relative name). The folder for it is the
  // deepest one of the target's folders that exists already, so nothing else is created
  // before Commit. False when a file stands where the target needs a folder, the target is a
  // folder, or the temporary file cannot be created. A name staged twice keeps the later data.
  bool Begin(const std::string& target);
  bool Write(const uint8_t* bytes, size_t length);
  // Closes the file begun last and records the digest of what was written.
  bool End(const Sha256Result& digest);

  // The digest of the staged data of `target`, or null when the target was not staged.
  const Sha256Result* DigestOf(const std::string& target) const;

  // Creates the missing folders and renames each staged file over its target, in the order
  // they were begun. On failure `failedTarget` names the file that could not be placed.
  bool Commit(std::string& failedTarget);

 private:
  struct Staged {
    std::string target;
    std::string temp;
    Sha256Result digest;
  };

  bool NameInUse(const std::string& path) const;
  void CloseCurrent();

  std::vector<Staged> staged_;
  std::FILE* current_ = nullptr;
};

#endif  // INTEGRITY_STAGED_INSTALL_H
