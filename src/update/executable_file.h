// Marking a file that the updater wrote as a program that may be started.
#ifndef UPDATE_EXECUTABLE_FILE_H
#define UPDATE_EXECUTABLE_FILE_H

#include <string>

// Adds execute permission where the system keeps one (Windows starts any .exe).
bool MakeExecutable(const std::string& path);

#endif  // UPDATE_EXECUTABLE_FILE_H
