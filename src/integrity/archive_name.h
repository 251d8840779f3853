// The check that keeps names from packets and archives inside the game folder.
#ifndef INTEGRITY_ARCHIVE_NAME_H
#define INTEGRITY_ARCHIVE_NAME_H

#include <string>
#include <string_view>

// Turns backslashes into "/" and accepts only a relative path below the game folder: no
// leading "/", no drive letter or other ":", no empty, "." or ".." component. False for
// anything else; `name` then holds nothing useful.
bool SafeArchiveName(std::string_view raw, std::string& name);

#endif  // INTEGRITY_ARCHIVE_NAME_H
