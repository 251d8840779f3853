// The framework start-up that every program built on the framework runs from its entry point.
#ifndef APP_FRAMEWORK_MAIN_H
#define APP_FRAMEWORK_MAIN_H

#include <cstdint>

#include "base/string.h"
#include "supervision/watchdog.h"

using ApplicationEntry = int32_t (*)(int32_t showMode, const String& commandLine,
                                     Watchdog* watchdog);

// Opens the framework log under `logFileName`, creates the watchdog server, reads the process
// command line and runs `entry` with them; closes the logs and returns the entry's exit code.
int32_t FrameworkMain(ApplicationEntry entry, const char* logFileName);

// The access value that keeps a command line's options when "magic" is given.
String MagicAccessValue();
// The command line that a run with the given "magic" value works with: unchanged when the
// value is right or absent, else only its first plain token ("exe" when it has none).
String CheckedCommandLine(const String& commandLine);

#endif  // APP_FRAMEWORK_MAIN_H
