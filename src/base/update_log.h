// The update log "updater.log" in the current directory: one timestamped 8-bit line per call,
// the file truncated by the first line of each process.
#ifndef SRC_BASE_UPDATE_LOG_H
#define SRC_BASE_UPDATE_LOG_H

#include <string>

void UpdateLog(const char* text);
// Characters above 255 become "?", the others their low byte.
void UpdateLogWide(const std::u16string& text);

#endif  // SRC_BASE_UPDATE_LOG_H
