// Pieces of the effective option set: the configuration text joined with the program path
// and the command-line options the configuration allows, and the installation identifier.
#ifndef APP_CONFIGURATION_H
#define APP_CONFIGURATION_H

#include <string>

#include "base/option_set.h"

// The quoted program path, a line feed and the configuration text.
std::string EffectiveOptionText(const std::string& exePath, const std::string& configText);

// Appends "\n-name\nvalue" for every name in the configuration's "allowedgameflags" list
// (comma-separated, ending at the first empty name) that the command line holds.
void AppendAllowedOptions(std::string& effective, const OptionSet& config,
                          const OptionSet& commandLine);

// 16 bytes from the time of day and the jitter of short sleeps, in base64 (24 characters).
// Takes about 0.2 s.
std::string NewInstallationId();

#endif  // APP_CONFIGURATION_H
