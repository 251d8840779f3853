#include "release/release_entries.h"

#include <algorithm>
#include <utility>

#include "base/system.h"
#include "integrity/hash_list.h"
#include "platform/file_system.h"

String EntryHash(const String& source, const String& name) {
  return DigestText(FileHashForList(source.Concat(name), name));
}

ReleaseEntries::ReleaseEntries(const String& source, bool firstRelease)
    : source_(source), firstRelease_(firstRelease) {}

bool ReleaseEntries::AddPrevious(const String& hashListPath, String& error) {
  std::vector<HashListEntry> previous;
  if (!ReadHashList(hashListPath, previous, error)) return false;
  for (const HashListEntry& old : previous) {
    String hash = EntryHash(source_, old.name);
    if (hash.Length() <= 1) continue;  // gone from the new release
    const bool changed = !firstRelease_ && hash != old.hash;
    Add({std::move(hash), old.name, changed, CurrentSize(old.name)});
  }
  return true;
}

void ReleaseEntries::AddSourceFiles() { AddFolder(std::string()); }

void ReleaseEntries::AddFolder(const std::string& relative) {
  const std::string folder = std::string(source_.View()) + relative;
  std::vector<platform::FolderEntry> listing;
  platform::ListFolder(folder, "*", listing);
  // Listing order differs between file systems; sorted names give the same packets from the
  // same files everywhere.
  std::sort(listing.begin(), listing.end(),
            [](const platform::FolderEntry& a, const platform::FolderEntry& b) {
              return a.name < b.name;
            });
  for (const platform::FolderEntry& item : listing) {
    const std::string path = relative.empty() ? item.name : relative + "/" + item.name;
    if (item.isFolder) {
      // Version-control folders such as ".svn" are not part of a release.
      if (item.name[0] != '.') AddFolder(path);
      continue;
    }
    const String name(path);
    if (Listed(name)) continue;
    Add({EntryHash(source_, name), name, !firstRelease_, CurrentSize(name)});
  }
}

void ReleaseEntries::Add(ReleaseEntry entry) {
  if (!names_.insert(std::string(entry.name.View())).second) return;
  entries_.push_back(std::move(entry));
}

bool ReleaseEntries::Listed(const String& name) const {
  return names_.count(std::string(name.View())) != 0;
}

uint32_t ReleaseEntries::CurrentSize(const String& name) const {
  const int64_t size = FileSize(source_.Concat(name).Text());
  return size < 0 ? 0 : static_cast<uint32_t>(size);
}
