#include "platform/clock.h"

#include <time.h>

namespace platform {

namespace {

timespec Now(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return now;
}

}  // namespace

std::uint32_t TickMilliseconds() {
    const timespec now = Now(CLOCK_MONOTONIC);
    const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

std::int64_t HighResolutionCounter() {
    const timespec now = Now(CLOCK_MONOTONIC);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::int64_t HighResolutionFrequency() { return 1000000000; }

UtcTime CurrentUtcTime() {
    const timespec now = Now(CLOCK_REALTIME);
    tm parts{};
    gmtime_r(&now.tv_sec, &parts);
    return UtcTime{parts.tm_year + 1900,
                   parts.tm_mon + 1,
                   parts.tm_mday,
                   parts.tm_hour,
                   parts.tm_min,
                   parts.tm_sec,
                   static_cast<int>(now.tv_nsec / 1000000)};
}

void SleepMilliseconds(std::uint32_t milliseconds) {
    timespec wait{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&wait, &wait) != 0) {
        // interrupted by a signal: sleep the rest
    }
}

}  // namespace platform
