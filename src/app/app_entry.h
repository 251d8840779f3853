// The application entry that the framework start-up calls: one updater application per run.
#ifndef APP_APP_ENTRY_H
#define APP_APP_ENTRY_H

#include <cstdint>

#include "base/string.h"
#include "supervision/watchdog.h"

// Constructs the application, runs it and returns its exit code.
int32_t AppEntry(int32_t showMode, const String& commandLine, Watchdog* watchdog);

#endif  // APP_APP_ENTRY_H
