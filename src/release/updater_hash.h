// Hash mode: the file "updater.hash" that publishes the SHA-256 of the updater executable.
#ifndef RELEASE_UPDATER_HASH_H
#define RELEASE_UPDATER_HASH_H

#include <string>

#include "base/string.h"

// Prints the SHA-256 text of the file at `path` and a line feed on standard output, then
// writes the 64 characters alone to "updater.hash" in the current directory. False with the
// reason in errorText when the file cannot be read or "updater.hash" cannot be written.
bool WriteUpdaterHash(const String& path, std::u16string& errorText);

#endif  // RELEASE_UPDATER_HASH_H
