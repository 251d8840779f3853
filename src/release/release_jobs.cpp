#include "release/release_jobs.h"

#include "release/release_builder.h"
#include "release/release_options.h"
#include "release/updater_hash.h"

bool RunHashJob(const OptionSet& options, std::u16string& errorText) {
  String path;
  options.GetString("hash", path);
  return WriteUpdaterHash(path, errorText);
}

bool RunReleaseJob(const OptionSet& options, std::u16string& errorText, String& report) {
  ReleaseOptions release;
  return ReadReleaseOptions(options, release, errorText) && BuildRelease(release, errorText, report);
}
