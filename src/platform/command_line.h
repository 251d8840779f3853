// The process's own command line as one UTF-8 text, in the form the option parser reads.
#ifndef SRC_PLATFORM_COMMAND_LINE_H
#define SRC_PLATFORM_COMMAND_LINE_H

#include <string>

namespace platform {

// GetCommandLineW on Windows. Elsewhere the arguments are joined with blanks, and those that
// contain blanks or tabs (or are empty) are put in double quotes so they read back whole.
std::string ProcessCommandLine();

}  // namespace platform

#endif
