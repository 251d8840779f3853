// The publisher's two jobs as the application starts them: hash mode ("-hash <file>") and
// release mode ("-release 1 -old_version ... -platform ...").
#ifndef RELEASE_RELEASE_JOBS_H
#define RELEASE_RELEASE_JOBS_H

#include <string>

#include "base/option_set.h"
#include "base/string.h"

// Writes "updater.hash" for the file named by the option "hash". False with the reason in
// errorText.
bool RunHashJob(const OptionSet& options, std::u16string& errorText);

// Reads the release options and builds the release on every processor core. False with the
// reason in errorText; on success `report` holds the "versionhash" line for the front-end.
bool RunReleaseJob(const OptionSet& options, std::u16string& errorText, String& report);

#endif  // RELEASE_RELEASE_JOBS_H
