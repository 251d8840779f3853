// Starting the program that follows the updater's work: the game under the watchdog, or the
// renewed updater as a plain process.
#ifndef SUPERVISION_START_PROGRAM_H
#define SUPERVISION_START_PROGRAM_H

#include <cstdint>
#include <string>

#include "supervision/watchdog.h"

// 0: started (or handed to the watchdog), 1: a plain start failed, 3: no program. The
// arguments begin with a token that stands for the program itself. Never waits.
int32_t StartProgram(const std::string& program, const std::string& arguments, bool supervised,
                     Watchdog* watchdog);

#endif  // SUPERVISION_START_PROGRAM_H
