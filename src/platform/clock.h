// Clocks of the operating system: millisecond tick, high-resolution counter, UTC time, sleep.
#ifndef SRC_PLATFORM_CLOCK_H
#define SRC_PLATFORM_CLOCK_H

#include <cstdint>

namespace platform {

struct UtcTime {
    int year;
    int month;  // 1..12
    int day;    // 1..31
    int hour;
    int minute;
    int second;
    int millisecond;
};

// Milliseconds since an arbitrary start; wraps around after about 49.7 days.
std::uint32_t TickMilliseconds();

// High-resolution counter reading and its counts per second.
std::int64_t HighResolutionCounter();
std::int64_t HighResolutionFrequency();

UtcTime CurrentUtcTime();

void SleepMilliseconds(std::uint32_t milliseconds);

}  // namespace platform

#endif
