#include "platform/clock.h"

#include <windows.h>

namespace platform {

std::uint32_t TickMilliseconds() { return GetTickCount(); }

std::int64_t HighResolutionCounter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

std::int64_t HighResolutionFrequency() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

UtcTime CurrentUtcTime() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return UtcTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                   now.wMinute, now.wSecond, now.wMilliseconds};
}

void SleepMilliseconds(std::uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace platform
