#include "integrity/digest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "integrity/scramble.h"
#include "support/scratch_dir.h"

namespace {

using testing_support::ScratchDir;

String Path(const ScratchDir& dir, const std::string& name) { return String(dir.File(name)); }

struct Vector {
  std::string message;
  const char* sha256;
  const char* md5;
};

const Vector kPublishedVectors[] = {
    {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855",
     "d41d8cd98f00b204e9800998ecf8427e"},
    {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad",
     "900150983cd24fb0d6963f7d28e17f72"},
    {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
     "8215ef0796a20bcaaae116d3876c664a"},
    {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0",
     "7707d6ae4e027c70eea2a935c2296f21"},
};

TEST(DigestTest, PublishedVectorsFromBuffersAndFiles) {
  ScratchDir dir;
  for (const Vector& vector : kPublishedVectors) {
    SCOPED_TRACE(vector.message.substr(0, 8));
    const Sha256Result fromBuffer = Sha256Buffer(vector.message.data(), vector.message.size());
    EXPECT_STREQ(DigestText(fromBuffer).Text(), vector.sha256);
    EXPECT_STREQ(Md5Hex(vector.message.data(), vector.message.size()).Text(), vector.md5);
    for (size_t i = Sha256Result::kDigestSize; i < Sha256Result::kSize; ++i) {
      EXPECT_EQ(fromBuffer.bytes[i], 0);
    }

    dir.Write("file", vector.message);
    EXPECT_EQ(Sha256File(Path(dir, "file")), fromBuffer);
    EXPECT_STREQ(Md5File(Path(dir, "file")).Text(), vector.md5);
    EXPECT_STREQ(Md5FileText(Path(dir, "file")).Text(), vector.md5);
  }
}

TEST(DigestTest, FileLargerThanOneReadBlock) {
  ScratchDir dir;
  std::string data(3 * (1 << 20) + 17, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 131 + (i >> 12));
  dir.Write("big", data);
  EXPECT_EQ(Sha256File(Path(dir, "big")), Sha256Buffer(data.data(), data.size()));
}

TEST(DigestTest, StoredFormMd5ScramblesUnlessExempt) {
  ScratchDir dir;
  std::string data((1 << 20) + 5, '\0');  // the scramble must run on across read blocks
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i % 251);
  dir.Write("f", data);
  std::string stored = data;
  ScrambleBuffer("data/x.bin", reinterpret_cast<uint8_t*>(stored.data()), stored.size());

  EXPECT_EQ(Md5StoredFileText(Path(dir, "f"), "data/x.bin"), Md5Hex(stored.data(), stored.size()));
  EXPECT_EQ(Md5StoredFileText(Path(dir, "f"), "data/x.DLL"), Md5FileText(Path(dir, "f")));
  EXPECT_STREQ(Md5StoredFileText(Path(dir, "missing"), "data/x.bin").Text(), "0");
}

TEST(DigestTest, UnreadableFilesGiveNoDigest) {
  ScratchDir dir;
  // A folder opens on some systems but every read fails: it must not pass as a digest.
  dir.Write("folder/x", "x");
  for (const String& path : {Path(dir, "missing"), Path(dir, "folder")}) {
    SCOPED_TRACE(path.Text());
    EXPECT_FALSE(Sha256File(path).has_value());
    EXPECT_STREQ(Md5File(path).Text(), "");
    EXPECT_STREQ(Md5FileText(path).Text(), "0");
  }
  EXPECT_STREQ(DigestText(std::nullopt).Text(), "0");
}

TEST(DigestTest, CacheKeepsFirstDigestUntilCleared) {
  ScratchDir dir;
  const String path = Path(dir, "f");
  SetDigestCacheEnabled(true);
  EXPECT_FALSE(CachedFileDigest(path).has_value());  // unreadable files are not cached
  dir.Write("f", "one");
  const std::optional<Sha256Result> first = CachedFileDigest(path);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(*first, Sha256Buffer("one", 3));
  dir.Write("f", "two");
  EXPECT_EQ(CachedFileDigest(path), first);
  // Keys are compared exactly, even where the file system ignores case.
  EXPECT_NE(CachedFileDigest(Path(dir, "F")), first);

  SetDigestCacheEnabled(false);
  EXPECT_EQ(CachedFileDigest(path), Sha256Buffer("two", 3));
  SetDigestCacheEnabled(true);
  EXPECT_EQ(CachedFileDigest(path), first);
  ClearDigestCache();
  EXPECT_EQ(CachedFileDigest(path), Sha256Buffer("two", 3));
  SetDigestCacheEnabled(false);
  ClearDigestCache();
}

TEST(DigestTest, CombineDigestsXorsTextIntoAccumulator) {
  Sha256Result accumulator;
  accumulator.bytes.fill(0x5a);
  const Sha256Result start = accumulator;
  const String abc = DigestText(Sha256Buffer("abc", 3));
  CombineDigests(accumulator, abc);
  EXPECT_EQ(accumulator.bytes[0], 0xba ^ 0x5a);
  for (size_t i = Sha256Result::kDigestSize; i < Sha256Result::kSize; ++i) {
    EXPECT_EQ(accumulator.bytes[i], 0x5a);
  }
  CombineDigests(accumulator, abc);
  EXPECT_EQ(accumulator, start);

  // Pairs of digits only, at most 40 bytes: a stray last digit and the text "0" add nothing.
  CombineDigests(accumulator, String("0"));
  CombineDigests(accumulator, String("ff1"));
  EXPECT_EQ(accumulator.bytes[0], 0x5a ^ 0xff);
  EXPECT_EQ(accumulator.bytes[1], 0x5a);
  CombineDigests(accumulator, String(std::string(90, 'f')));
  EXPECT_EQ(accumulator.bytes[39], 0x5a ^ 0xff);
}

TEST(DigestTest, CombineFileDigestsIsOrderFreeAndSkipsUnreadableFiles) {
  ScratchDir dir;
  dir.Write("game/a.bin", "alpha");
  dir.Write("game/sub/b.bin", "");
  const std::vector<String> names = {"a.bin", "missing", "sub/b.bin"};
  Sha256Result expected = Sha256Buffer("alpha", 5);
  CombineDigests(expected, Sha256Buffer(nullptr, 0));

  const String folder = Path(dir, "game");
  EXPECT_EQ(CombineFileDigests(folder, names), expected);
  const std::vector<String> reversed(names.rbegin(), names.rend());
  EXPECT_EQ(CombineFileDigests(folder.Concat("/"), reversed), expected);
  const std::vector<String> twice = {"a.bin", "a.bin"};
  EXPECT_EQ(DigestText(CombineFileDigests(folder, twice)), String(std::string(64, '0')));

  testing_support::CurrentDirectory inside(dir.Path() / "game");
  EXPECT_EQ(CombineFileDigests(String(), names), expected);
}

}  // namespace
