// Install mode: one packet file from disk installed into the game folder (the current
// directory), without a server or a version file.
#ifndef UPDATE_INSTALL_MODE_H
#define UPDATE_INSTALL_MODE_H

#include <string>

#include "base/string.h"

// Installs the scrambled packet at `path`, keyed by its file name (the text after the last "/"
// or "\\"). Every file of the packet is installed; no packet hash is compared. An empty path
// does nothing and succeeds. On failure the reason and "\nArchive: " + path are appended to
// errorText and false is returned; the game folder is then unchanged.
bool InstallPacketFile(const String& path, std::u16string& errorText);

#endif  // UPDATE_INSTALL_MODE_H
