#include "base/set.h"

#include <gtest/gtest.h>

namespace {

TEST(SetTest, InsertRefusesDuplicatesAndRemoveMovesTheLastValue) {
    Set set;
    EXPECT_TRUE(set.Insert(1));
    EXPECT_TRUE(set.Insert(2));
    EXPECT_TRUE(set.Insert(3));
    EXPECT_FALSE(set.Insert(2));
    set.Append(2);  // Append does not check
    EXPECT_EQ(set.Quantity(), 4);

    EXPECT_TRUE(set.Remove(1));
    EXPECT_FALSE(set.Remove(9));
    ASSERT_EQ(set.Quantity(), 3);
    EXPECT_EQ(set.Items()[0], 2);  // the last value took the freed place

    Set copy(set);
    copy.Remove(2);
    EXPECT_EQ(set.Quantity(), 3);

    set.Reset(0);
    EXPECT_EQ(set.Quantity(), 0);
    EXPECT_EQ(set.Capacity(), 1);
}

}  // namespace
