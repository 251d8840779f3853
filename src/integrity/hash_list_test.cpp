#include "integrity/hash_list.h"

#include <gtest/gtest.h>

#include <string>

#include "integrity/scramble.h"
#include "support/scratch_dir.h"

namespace {

using testing_support::ScratchDir;

std::string DigestOf(const std::string& bytes) {
  return std::string(DigestText(Sha256Buffer(bytes.data(), bytes.size())).View());
}

std::string ListHash(const ScratchDir& dir, const std::string& name) {
  return std::string(DigestText(FileHashForList(String(dir.File(name).c_str()), String(name.c_str()))).View());
}

TEST(HashListTest, FileHashIsTakenOverTheStoredForm) {
  ScratchDir dir;
  // Larger than one read block, so the scramble must carry on across blocks.
  std::string big(2500000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i % 251);
  dir.Write("data/big.bin", big);
  dir.Write("setup.exe", "MZ plain");
  dir.Write("empty.bin", "");

  EXPECT_EQ(ListHash(dir, "data/big.bin"), DigestOf(ScrambledCopy("data/big.bin", big)));
  EXPECT_EQ(ListHash(dir, "setup.exe"), DigestOf("MZ plain"));
  EXPECT_EQ(ListHash(dir, "empty.bin"), DigestOf(""));
  EXPECT_EQ(ListHash(dir, "missing.bin"), "0");

  SetEncryptionEnabled(false);
  EXPECT_EQ(ListHash(dir, "data/big.bin"), DigestOf(big));
  SetEncryptionEnabled(true);
}

TEST(HashListTest, WrittenListReadsBack) {
  ScratchDir dir;
  const std::string hash(64, 'a');
  const std::vector<HashListEntry> entries = {{hash.c_str(), "data/level1.bin"}, {hash.c_str(), "x"}};
  ASSERT_TRUE(WriteHashList(dir.File("list.txt").c_str(), entries));
  EXPECT_EQ(dir.Read("list.txt"), hash + " data/level1.bin\r\n" + hash + " x\r\n");

  std::vector<HashListEntry> read;
  String error;
  ASSERT_TRUE(ReadHashList(dir.File("list.txt").c_str(), read, error));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].hash, String(hash.c_str()));
  EXPECT_EQ(read[1].name, String("x"));
}

TEST(HashListTest, MalformedLineEndsTheReadingAndIsNamed) {
  struct Case {
    const char* text;
    const char* missing;
    int line;
  };
  const std::vector<Case> cases = {
      {"h1 a.bin\r\nabc\r\n", "filename", 2},
      {"h1 a.bin\r\n\r\nh2 b.bin\r\n", "hash", 2},
      {" \r\n", "hash", 1},
  };
  ScratchDir dir;
  const std::string path = dir.File("old.txt");
  for (const Case& c : cases) {
    dir.Write("old.txt", c.text);
    std::vector<HashListEntry> entries;
    String error;
    EXPECT_FALSE(ReadHashList(path.c_str(), entries, error)) << c.text;
    EXPECT_EQ(std::string(error.View()), std::string("Syntax Error: no ") + c.missing +
                                             " found in old_hashes '" + path + "' at line " +
                                             std::to_string(c.line));
  }
}

TEST(HashListTest, ReadsTwoTokensPerLineWithAnyLineEnd) {
  ScratchDir dir;
  dir.Write("old.txt", "h1 a.bin extra\nh2  b.bin\r\nh3 c.bin");
  std::vector<HashListEntry> entries;
  String error;
  ASSERT_TRUE(ReadHashList(dir.File("old.txt").c_str(), entries, error));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, String("a.bin"));
  EXPECT_EQ(entries[1].hash, String("h2"));
  EXPECT_EQ(entries[2].name, String("c.bin"));

  // A list that cannot be opened is an empty list: the first release has none.
  EXPECT_TRUE(ReadHashList(dir.File("none.txt").c_str(), entries, error));
  EXPECT_TRUE(entries.empty());
}

}  // namespace
