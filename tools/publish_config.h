// The publisher tool's configuration-file commands: write and read a scrambled option file
// keyed by its name, as the updater reads it at start-up.
#ifndef TOOLS_PUBLISH_CONFIG_H
#define TOOLS_PUBLISH_CONFIG_H

#include <string>
#include <vector>

// config-write --name NAME --in OPTIONS.txt [--out PATH]; args are the words after "config-write".
// Returns the process exit code.
int ConfigWriteCommand(const std::vector<std::string>& args);

// config-read --name NAME [--in PATH]; prints the option text. Returns the process exit code.
int ConfigReadCommand(const std::vector<std::string>& args);

#endif  // TOOLS_PUBLISH_CONFIG_H
