// The scrambled configuration file next to the updater ("gameconfig.bin"), keyed by its name.
#ifndef INTEGRITY_CONFIG_FILE_H
#define INTEGRITY_CONFIG_FILE_H

#include "base/string.h"

// Reads the whole file and unscrambles it with `name` as the key.
bool ReadConfigFile(const String& name, String& text);
// Scrambles a copy of the text with `name` as the key and writes it; logs
// "could not write config file:" when the file cannot be created. True when all bytes were
// written.
bool WriteConfigFile(const String& name, const String& text);

#endif  // INTEGRITY_CONFIG_FILE_H
