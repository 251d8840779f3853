// The options of release mode, read from the effective option set.
#ifndef RELEASE_RELEASE_OPTIONS_H
#define RELEASE_RELEASE_OPTIONS_H

#include <string>

#include "base/option_set.h"
#include "base/string.h"

struct ReleaseOptions {
  String oldVersion;  // previous version file, read
  String oldHashes;   // previous hash list; none, or a missing or empty file: a first release
  String newVersion;  // written
  String newHashes;   // written
  String source;      // folder of the new game files, ends with a separator
  String target;      // folder that receives the packets, ends with a separator
  String tag;         // prefix of every packet name
  String url;         // download location of the packets
  String platform;    // platform word in packet names
  String module;      // optional second prefix of packet names and URLs
};

// False with "Missing option -" + name in `error` when a required option is absent or empty;
// "old_hashes" and "module" are optional, and only the first "module" counts.
bool ReadReleaseOptions(const OptionSet& options, ReleaseOptions& out, std::u16string& error);

#endif  // RELEASE_RELEASE_OPTIONS_H
