#include "base/array.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "base/string.h"

namespace {

TEST(ArrayTest, AppendGrowsByStepOrTenPercent) {
    struct Case {
        int capacity;
        int growBy;
        int grown;
    };
    const Case cases[] = {{0, 1, 1}, {10, 1, 11}, {100, 1, 110}, {100, 20, 120}, {5, 3, 8}};
    for (const Case& c : cases) {
        Array<int32_t> array(c.capacity, c.growBy);
        for (int i = 0; i <= c.capacity; ++i) array.Append(i);
        EXPECT_EQ(array.Capacity(), c.grown) << c.capacity << "+" << c.growBy;
        EXPECT_EQ(array.Count(), c.capacity + 1);
        EXPECT_EQ(array.At(c.capacity), c.capacity);
    }
}

TEST(ArrayTest, ArrayWithoutGrowthOverwritesItsLastElement) {
    Array<int32_t> full(2, 0);
    full.Append(1);
    full.Append(2);
    EXPECT_EQ(*full.Append(3), 3);
    EXPECT_EQ(full.Count(), 2);
    EXPECT_EQ(full.At(1), 3);

    Array<int32_t> slotless(0, 0);
    EXPECT_EQ(slotless.Append(1), nullptr);
    EXPECT_EQ(slotless.Count(), 0);
}

TEST(ArrayTest, AppendOfItsOwnElementSurvivesGrowth) {
    Array<String> array(1, 1);
    array.Append("first");
    array.Append(array.At(0));
    EXPECT_EQ(array.At(1), String("first"));

    ByteBuffer bytes;
    bytes.AppendRange(reinterpret_cast<const uint8_t*>("abc"), 3);
    bytes.AppendRange(bytes.Data(), bytes.Count());
    EXPECT_EQ(std::memcmp(bytes.Data(), "abcabc", 6), 0);
    EXPECT_EQ(bytes.Count(), 6);
}

TEST(ArrayTest, IndexesAreClamped) {
    Array<int32_t> array;
    for (int i = 10; i < 13; ++i) array.Append(i);
    EXPECT_EQ(array.At(-5), 10);
    EXPECT_EQ(array.At(INT_MAX), 12);
    void* address = nullptr;
    array.ElementAddress(INT_MIN, &address);
    EXPECT_EQ(address, &array.At(0));

    Array<String> empty;
    EXPECT_EQ(empty.At(3), String());  // no element to read: a blank scratch value, no crash
    empty.ElementAddress(0, &address);
    EXPECT_EQ(address, nullptr);
}

TEST(ArrayTest, SetCountAndRemoveAtResetFreedSlots) {
    Array<String> names;
    names.Append("a");
    names.Append("b");
    names.Append("c");
    names.RemoveAt(3);
    names.RemoveAt(-1);
    EXPECT_EQ(names.Count(), 3);
    names.RemoveAt(0);
    ASSERT_EQ(names.Count(), 2);
    EXPECT_EQ(names.At(0), String("b"));
    EXPECT_EQ(names.At(1), String("c"));

    names.SetCount(0);
    EXPECT_EQ(names.Capacity(), 3);
    names.SetCount(3);
    for (const String& name : names) EXPECT_EQ(name, String());
    names.SetCount(-4);
    EXPECT_EQ(names.Count(), 0);
}

TEST(ArrayTest, ReserveKeepsOrDropsContents) {
    Array<int32_t> array;
    for (int i = 0; i < 5; ++i) array.Append(i);
    array.Reserve(3, true);
    EXPECT_EQ(array.Count(), 3);
    EXPECT_EQ(array.At(2), 2);
    array.Reserve(8, false);
    EXPECT_EQ(array.Count(), 0);
    EXPECT_EQ(array.Capacity(), 8);
    array.Reserve(-1, true);
    EXPECT_EQ(array.Capacity(), 0);
    EXPECT_EQ(array.Data(), nullptr);
}

TEST(ArrayTest, CopiesAreDeepAndKeepTheShape) {
    Array<String> original(4, 3);
    original.Append("x");
    Array<String> copy(original);
    copy.At(0) = "y";
    EXPECT_EQ(original.At(0), String("x"));
    EXPECT_EQ(copy.Capacity(), 4);
    EXPECT_EQ(copy.GrowBy(), 3);
    original = original;
    EXPECT_EQ(original.Count(), 1);
}

TEST(ArrayTest, DescribesItsElementType) {
    Array<String> strings;
    CharArray chars;
    ByteBuffer bytes;
    Array<int32_t, IntTypeNames> ints;
    Array<int32_t> plainInts;
    const ArrayBase* arrays[] = {&strings, &chars, &bytes, &ints, &plainInts};
    const char* expected[][2] = {{"String", "Wm3.AttributeString"}, {"Char", "Wm3.AttributeChar"},
                                 {"void", "void"}, {"Int", "Wm3.AttributeInt"}, {"void", "void"}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(arrays[i]->TypeName(false), expected[i][0]);
        EXPECT_STREQ(arrays[i]->TypeName(true), expected[i][1]);
    }
    EXPECT_EQ(bytes.ElementSize(), 1);
    EXPECT_EQ(ints.ElementSize(), 4);

    ArrayBase& base = ints;
    int32_t seven = 7;
    EXPECT_EQ(*static_cast<int32_t*>(base.AppendElement(&seven)), 7);
    EXPECT_EQ(base.Count(), 1);
}

}  // namespace
