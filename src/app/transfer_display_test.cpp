#include "app/transfer_display.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

constexpr int64_t kGiB = int64_t{1} << 30;

struct InfoCase {
    int64_t total;
    int64_t done;
    int32_t elapsedMs;
    const char* info;
};

TEST(TransferDisplayTest, RemainingTimeAndSpeed) {
    const InfoCase cases[] = {
        {1000, 0, 5000, "Remaining 0:00\n0 B/s"},              // nothing arrived yet
        {400000, 100000, 10000, "Remaining 0:31\n9 KB/s"},     // 10 × 4 − 10 + 1
        {4000, 2000, 1000, "Remaining 0:02\n2000 B/s"},        // 2000 B/s is not yet KB/s
        {4002, 2001, 1000, "Remaining 0:02\n1 KB/s"},
        {1000, 10, 500, "Remaining 0:01\n10 B/s"},             // under a second counts as one
        {6 * kGiB, 3 * kGiB, 100000, "Remaining 1:41\n31457 KB/s"},  // past 2 GiB
        {-5, 10, 2000, "Remaining 0:00\n5 B/s"},               // an unknown total shows no time
    };
    for (const InfoCase& c : cases) {
        EXPECT_EQ(ToUtf8(TransferInfo(u"Remaining", c.total, c.done, c.elapsedMs)), c.info)
            << c.total << " " << c.done << " " << c.elapsedMs;
    }
}

TEST(TransferDisplayTest, ProgressIsAShareOfTheTotal) {
    EXPECT_FLOAT_EQ(TransferProgress(0, 10), 0);
    EXPECT_FLOAT_EQ(TransferProgress(4 * kGiB, kGiB), 0.25f);
    EXPECT_FLOAT_EQ(TransferProgress(100, 150), 1);
}

TEST(TransferDisplayTest, AStalledDownloadDoesNotOverflow) {
    EXPECT_GT(RemainingSeconds(8 * kGiB, 1, 100000), 0);
}

}  // namespace
