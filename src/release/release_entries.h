// The files of a new release: which of them changed since the previous release's hash list,
// with the digest each will have once installed.
#ifndef RELEASE_RELEASE_ENTRIES_H
#define RELEASE_RELEASE_ENTRIES_H

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/string.h"

struct ReleaseEntry {
  String hash;  // digest of the stored form; "0" when the file could not be read
  String name;  // relative to the source folder, "/" separated
  bool changed = false;  // goes into the patch packet
  uint32_t size = 0;  // low 32 bits of the size when the entry was made
};

// Entries in the order they were added; a name is listed once (compared exactly).
class ReleaseEntries {
 public:
  // `source` ends with a separator. In a first release nothing counts as changed.
  ReleaseEntries(const String& source, bool firstRelease);

  // The files of the previous hash list that still exist, changed when their digest differs.
  // False on a syntax error of the list, with its text in `error`; a list that cannot be
  // opened is empty.
  bool AddPrevious(const String& hashListPath, String& error);
  // Every file of the source folder not listed yet, as changed, in name order, walking
  // folders in place and leaving out hidden entries and folders whose names begin with ".".
  void AddSourceFiles();

  const std::vector<ReleaseEntry>& Entries() const { return entries_; }

 private:
  void AddFolder(const std::string& relative);
  void Add(ReleaseEntry entry);
  bool Listed(const String& name) const;
  uint32_t CurrentSize(const String& name) const;

  String source_;
  bool firstRelease_;
  std::vector<ReleaseEntry> entries_;
  std::unordered_set<std::string> names_;
};

// The digest text of `source` + `name` as the file will be stored under `name`.
String EntryHash(const String& source, const String& name);

#endif  // RELEASE_RELEASE_ENTRIES_H
