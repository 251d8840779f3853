#include "integrity/config_file.h"

#include "integrity/scramble.h"

bool ReadConfigFile(const String& name, String& text) { return ReadScrambledFile(name, text); }

bool WriteConfigFile(const String& name, const String& text) { return WriteScrambledFile(text, name); }
