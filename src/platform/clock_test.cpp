#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

#include "platform/critical_section.h"

namespace {

TEST(Clock, UtcTimeAgreesWithTheStandardClock) {
    const platform::UtcTime now = platform::CurrentUtcTime();
    const std::time_t reference = std::time(nullptr);
    std::tm expected{};
    expected.tm_year = now.year - 1900;
    expected.tm_mon = now.month - 1;
    expected.tm_mday = now.day;
    expected.tm_hour = now.hour;
    expected.tm_min = now.minute;
    expected.tm_sec = now.second;
    // timegm is not portable: compare through mktime of both sides in the same zone.
    std::tm referenceParts = *std::gmtime(&reference);
    const double difference = std::difftime(std::mktime(&referenceParts), std::mktime(&expected));
    EXPECT_LE(std::abs(difference), 2.0);
    EXPECT_GE(now.millisecond, 0);
    EXPECT_LE(now.millisecond, 999);
}

TEST(Clock, SleepAdvancesTickAndCounter) {
    const std::uint32_t tick = platform::TickMilliseconds();
    const std::int64_t counter = platform::HighResolutionCounter();
    platform::SleepMilliseconds(30);
    const std::uint32_t ticks = platform::TickMilliseconds() - tick;
    const double seconds = static_cast<double>(platform::HighResolutionCounter() - counter) /
                           static_cast<double>(platform::HighResolutionFrequency());
    // Windows ticks have a granularity of about 16 ms.
    EXPECT_GE(ticks, 14u);
    EXPECT_LT(ticks, 2000u);
    EXPECT_GE(seconds, 0.025);
    EXPECT_LT(seconds, 2.0);
}

TEST(CriticalSection, OwnerMayEnterAgain) {
    platform::CriticalSection section;
    section.Enter();
    section.Enter();
    section.Leave();
    section.Leave();
}

}  // namespace
