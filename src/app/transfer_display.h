// The numbers of the download display: remaining time, transfer speed and progress.
#ifndef APP_TRANSFER_DISPLAY_H
#define APP_TRANSFER_DISPLAY_H

#include <cstdint>
#include <string>

// Whole seconds left when `done` of `total` bytes took `seconds`; 0 before any byte.
int32_t RemainingSeconds(int64_t total, int64_t done, int32_t seconds);

// remainText + " m:ss\n" + the speed in " B/s", or " KB/s" above 2000 bytes a second.
std::u16string TransferInfo(const std::u16string& remainText, int64_t total, int64_t done,
                            int32_t elapsedMs);

// Share of the bytes done, 0 to 1; 0 while the total is unknown.
float TransferProgress(int64_t total, int64_t done);

#endif  // APP_TRANSFER_DISPLAY_H
