#include "base/hash_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<String> KeysInOrder(HashTable<String, int32_t>& table) {
    std::vector<String> keys;
    String key;
    for (int32_t* value = table.First(&key); value != nullptr; value = table.Next(&key)) {
        keys.push_back(key);
    }
    return keys;
}

TEST(HashTableTest, BucketIndexIsFibonacciHashingOfTheFirstWord) {
    const int32_t expected[] = {0, 79, 30, 109, 60, 11};
    for (uint32_t word = 0; word < 6; ++word) {
        EXPECT_EQ(HashBucketIndex(word, 128), expected[word]) << word;
    }
    EXPECT_EQ(HashKeyWord(String("ab")), 2u);  // a String key hashes by its length
    EXPECT_EQ(HashKeyWord(int32_t{-1}), 0xFFFFFFFFu);
    EXPECT_LT(HashBucketIndex(0xFFFFFFFFu, 256), 256);
}

TEST(HashTableTest, IteratesByBucketThenNewestFirst) {
    HashTable<String, int32_t> table;
    EXPECT_EQ(table.First(), nullptr);
    table.Insert("abc", 3);  // bucket 109
    table.Insert("a", 1);    // bucket 79
    table.Insert("ab", 2);   // bucket 30
    table.Insert("cd", 4);   // bucket 30, newer than "ab"
    const std::vector<String> expected = {"cd", "ab", "a", "abc"};
    EXPECT_EQ(KeysInOrder(table), expected);

    HashTable<String, int32_t> copy(table);  // copies keep the order
    EXPECT_EQ(KeysInOrder(copy), expected);
    *copy.Find("a") = 10;
    EXPECT_EQ(*table.Find("a"), 1);
}

TEST(HashTableTest, RefusesDuplicatesAndKeepsTheOldValue) {
    HashTable<String, String> table;
    EXPECT_TRUE(table.Insert("key", "old"));
    EXPECT_FALSE(table.Insert("key", "new"));
    EXPECT_EQ(table.Count(), 1);
    EXPECT_EQ(*table.Find("key"), String("old"));
    EXPECT_EQ(table.Find("kez"), nullptr);  // same length, same bucket, other key
}

TEST(HashTableTest, RemoveUnlinksOneEntry) {
    HashTable<int32_t, int32_t> table(16);
    for (int32_t key = 0; key < 40; ++key) table.Insert(key, key * 2);
    EXPECT_TRUE(table.Remove(17));
    EXPECT_FALSE(table.Remove(17));
    EXPECT_EQ(table.Find(17), nullptr);
    EXPECT_EQ(*table.Find(33), 66);  // 33 shares 17's bucket (33 mod 16 == 1)
    EXPECT_EQ(table.Count(), 39);

    // Removing the current entry ends the iteration instead of leaving it dangling.
    int32_t key = 0;
    table.First(&key);
    EXPECT_TRUE(table.Remove(key));
    EXPECT_EQ(table.Next(), nullptr);

    table.RemoveAll();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.First(), nullptr);
    EXPECT_TRUE(table.Insert(5, 1));
}

TEST(HashTableTest, WorksThroughItsInterface) {
    HashTable<String, int32_t, TypeNames<String>, IntTypeNames> table(256);
    table.Insert("Wm3.Object", 7);
    HashTableBase& base = table;
    EXPECT_STREQ(base.KeyTypeName(true), "Wm3.AttributeString");
    EXPECT_STREQ(base.ValueTypeName(false), "Int");
    String key("Wm3.Object");
    EXPECT_EQ(*static_cast<int32_t*>(base.FindValue(&key)), 7);
    String found;
    EXPECT_EQ(*static_cast<int32_t*>(base.FirstValue(&found)), 7);
    EXPECT_EQ(found, key);
    EXPECT_EQ(base.NextValue(nullptr), nullptr);
    EXPECT_EQ(base.Count(), 1);
}

}  // namespace
