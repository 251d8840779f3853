#include "integrity/staged_install.h"

#include <algorithm>

#include "platform/file_system.h"

namespace {

// The deepest existing folder among the target's folders ("" for the game folder itself);
// false when one of them exists as a file.
bool ExistingParent(const std::string& target, std::string& parent) {
  parent.clear();
  for (size_t slash = target.find('/'); slash != std::string::npos;
       slash = target.find('/', slash + 1)) {
    const std::string folder = target.substr(0, slash);
    if (platform::IsFolder(folder)) {
      parent = folder;
    } else {
      return !platform::FileExists(folder);
    }
  }
  return true;
}

}  // namespace

StagedInstall::~StagedInstall() {
  CloseCurrent();
  for (const Staged& file : staged_) {
    if (!file.temp.empty()) platform::RemoveFile(file.temp);
  }
}

void StagedInstall::CloseCurrent() {
  if (current_ != nullptr) std::fclose(current_);
  current_ = nullptr;
}

bool StagedInstall::NameInUse(const std::string& path) const {
  if (platform::FileExists(path)) return true;
  return std::any_of(staged_.begin(), staged_.end(),
                     [&](const Staged& file) { return file.target == path; });
}

bool StagedInstall::Begin(const std::string& target) {
  CloseCurrent();
  std::string parent;
  if (!ExistingParent(target, parent) || platform::IsFolder(target)) return false;
  const auto earlier = std::find_if(staged_.begin(), staged_.end(),
                                    [&](const Staged& file) { return file.target == target; });
  if (earlier != staged_.end()) {
    platform::RemoveFile(earlier->temp);
    staged_.erase(earlier);
  }
  const std::string leaf = target.substr(target.rfind('/') + 1);
  const std::string base = (parent.empty() ? "" : parent + "/") + leaf + ".installing";
  std::string temp = base;
  for (int n = 2; NameInUse(temp); ++n) temp = base + std::to_string(n);
  current_ = platform::OpenFile(temp, "wb");
  if (current_ == nullptr) return false;
  staged_.push_back({target, temp, Sha256Result{}});
  return true;
}

bool StagedInstall::Write(const uint8_t* bytes, size_t length) {
  return current_ != nullptr && std::fwrite(bytes, 1, length, current_) == length;
}

bool StagedInstall::End(const Sha256Result& digest) {
  if (current_ == nullptr) return false;
  const bool closed = std::fclose(current_) == 0;
  current_ = nullptr;
  staged_.back().digest = digest;
  return closed;
}

const Sha256Result* StagedInstall::DigestOf(const std::string& target) const {
  for (const Staged& file : staged_) {
    if (file.target == target) return &file.digest;
  }
  return nullptr;
}

bool StagedInstall::Commit(std::string& failedTarget) {
  CloseCurrent();
  for (Staged& file : staged_) {
    for (size_t slash = file.target.find('/'); slash != std::string::npos;
         slash = file.target.find('/', slash + 1)) {
      const std::string folder = file.target.substr(0, slash);
      if (!platform::IsFolder(folder)) platform::CreateFolder(folder);
    }
    if (!platform::RenameFile(file.temp, file.target)) {
      failedTarget = file.target;
      return false;
    }
    file.temp.clear();
  }
  return true;
}
