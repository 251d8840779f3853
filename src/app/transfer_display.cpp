#include "app/transfer_display.h"

#include <algorithm>

#include "base/text.h"

int32_t RemainingSeconds(int64_t total, int64_t done, int32_t seconds) {
    if (done <= 0) return 0;
    total = std::max<int64_t>(total, 0);
    const float estimate = static_cast<float>(seconds) * static_cast<float>(total) /
                               static_cast<float>(done) -
                           static_cast<float>(seconds);
    // A stalled download must not overflow the conversion.
    return std::max(static_cast<int32_t>(std::min(estimate, 2.0e9f)) + 1, 0);
}

std::u16string TransferInfo(const std::u16string& remainText, int64_t total, int64_t done,
                            int32_t elapsedMs) {
    const int32_t seconds = elapsedMs / 1000;
    const int32_t remaining = RemainingSeconds(total, done, seconds);
    int64_t rate = done / std::max(seconds, 1);
    const char* unit = " B/s";
    if (rate > 2000) {
        rate /= 1024;
        unit = " KB/s";
    }
    const int32_t secondsPart = remaining % 60;
    const std::string line = " " + std::to_string(remaining / 60) + ":" +
                             (secondsPart < 10 ? "0" : "") + std::to_string(secondsPart) + "\n" +
                             std::to_string(rate) + unit;
    return remainText + FromUtf8(line);
}

float TransferProgress(int64_t total, int64_t done) {
    if (total <= 0) return 0;
    return static_cast<float>(std::min(done, total)) / static_cast<float>(total);
}
