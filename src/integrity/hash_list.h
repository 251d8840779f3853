// Hash lists: one "digest name" line per file of a release, the digest taken over the file in
// the form it is stored in the game folder.
#ifndef INTEGRITY_HASH_LIST_H
#define INTEGRITY_HASH_LIST_H

#include <optional>
#include <vector>

#include "base/string.h"
#include "integrity/digest.h"

// SHA-256 of the file at `path` as WriteGameFile would store it under `name`; nothing when the
// file cannot be read.
std::optional<Sha256Result> FileHashForList(const String& path, const String& name);

struct HashListEntry {
  String hash;
  String name;
};

// Reads a hash list. A line without a token, or with a hash but no name, ends the reading
// with false and the syntax error naming the line (counted from 1). A file that cannot be
// opened reads as an empty list.
bool ReadHashList(const String& path, std::vector<HashListEntry>& entries, String& error);

// One list line: hash, a space, the name and CR LF.
String HashListLine(const HashListEntry& entry);
bool WriteHashList(const String& path, const std::vector<HashListEntry>& entries);

#endif  // INTEGRITY_HASH_LIST_H
