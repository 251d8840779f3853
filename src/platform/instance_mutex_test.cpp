#include "platform/instance_mutex.h"

#include <gtest/gtest.h>

namespace {

// A second updater of the same edition still gets its mutex: only a failed creation counts.
TEST(InstanceMutexTest, AnExistingMutexIsNotAFailure) {
    auto first = platform::InstanceMutex::Create("Updater-instance-test-e");
    ASSERT_NE(first, nullptr);
    auto second = platform::InstanceMutex::Create("Updater-instance-test-e");
    EXPECT_NE(second, nullptr);
    second.reset();
    first.reset();
    EXPECT_NE(platform::InstanceMutex::Create("Updater-instance-test-e"), nullptr);
}

}  // namespace
