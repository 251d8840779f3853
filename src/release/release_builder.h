// The release builder: from the previous release's hash list and version file and a folder of
// new game files it writes the new hash list, the packets and the new version file.
#ifndef RELEASE_RELEASE_BUILDER_H
#define RELEASE_RELEASE_BUILDER_H

#include <string>

#include "base/string.h"
#include "release/release_options.h"

// Builds the release, writing packets on `workers` threads (0: one per processor core); the
// files written are the same whatever the number. The first failure ends the build with its
// text in errorText; what was written until then stays. On success `report` holds the line
// "versionhash <new version path> <MD5 of the new version file>\n" for the front-end.
bool BuildRelease(const ReleaseOptions& options, std::u16string& errorText, String& report,
                  unsigned workers = 0);

#endif  // RELEASE_RELEASE_BUILDER_H
