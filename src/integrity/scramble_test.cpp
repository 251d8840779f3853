#include "integrity/scramble.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "integrity/config_file.h"
#include "support/scratch_dir.h"

namespace {

using testing_support::CurrentDirectory;
using testing_support::ScratchDir;

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

// Restores the process-wide switch a test turns off.
class EncryptionSwitch {
 public:
  explicit EncryptionSwitch(bool on) { SetEncryptionEnabled(on); }
  ~EncryptionSwitch() { SetEncryptionEnabled(true); }
};

TEST(ScrambleTest, KeystreamMatchesReferenceValues) {
  // Zero bytes show the keystream itself; the non-ASCII key checks that key bytes count as
  // signed values.
  EXPECT_EQ(Hex(ScrambledCopy("data/level1.bin", std::string(8, '\0'))), "ccb92b5fdd02ea27");
  EXPECT_EQ(Hex(ScrambledCopy("Data\\Level1.BIN", std::string(8, '\0'))), "ccb92b5fdd02ea27");
  EXPECT_EQ(Hex(ScrambledCopy("caf\xc3\xa9.bin", std::string(8, '\0'))), "ed9967efac601bb7");
  EXPECT_EQ(Hex(ScrambledCopy("", std::string(8, '\0'))), "ea25e2766569d3bb");
}

TEST(ScrambleTest, TwiceRestoresAndKeyIgnoresCaseAndSeparator) {
  const std::string plain = "The quick brown fox";
  EXPECT_EQ(ScrambledCopy("A/B.TXT", ScrambledCopy("A/B.TXT", plain)), plain);
  EXPECT_EQ(ScrambledCopy("A/B.TXT", plain), ScrambledCopy("a\\b.txt", plain));
  EXPECT_NE(ScrambledCopy("a/b.txt", plain), plain);
}

TEST(ScrambleTest, PartialLastGroupUsesLowBytesOfNextOutput) {
  const std::string eight = ScrambledCopy("k", std::string(8, '\0'));
  EXPECT_EQ(ScrambledCopy("k", std::string(5, '\0')), eight.substr(0, 5));
  EXPECT_EQ(ScrambledCopy("k", ""), "");
}

TEST(ScrambleTest, BlockwiseApplyEqualsOneCall) {
  std::string data(1000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  const std::string whole = ScrambledCopy("pieces.bin", data);
  Scrambler scrambler("pieces.bin");
  auto* bytes = reinterpret_cast<uint8_t*>(data.data());
  size_t pos = 0;
  for (size_t step : {1, 3, 2, 7, 4, 5, 0, 6, 1000}) {
    const size_t n = std::min(step, data.size() - pos);
    scrambler.Apply(bytes + pos, n);
    pos += n;
  }
  EXPECT_EQ(data, whole);
}

TEST(ScrambleTest, WhichNamesAreStoredScrambled) {
  struct Case {
    const char* name;
    bool scrambled;
  };
  const std::vector<Case> cases = {
      {"data/x.bin", true},   {"data/x.dll", false}, {"setup.EXE", false},
      {"bundle.tqa", false},  {"a.Zip", false},      {"readme", false},
      {"dir.old/readme", true},  // the extension is ".old/readme"
  };
  for (const Case& c : cases) EXPECT_EQ(IsStoredScrambled(c.name), c.scrambled) << c.name;
  EXPECT_EQ(ExtensionOf("dir.old/readme"), ".old/readme");
  EXPECT_EQ(ExtensionOf("readme"), "");

  EncryptionSwitch off(false);
  EXPECT_FALSE(IsStoredScrambled("data/x.bin"));
}

TEST(ScrambleTest, WriteGameFileCreatesFoldersAndStoresScrambledForm) {
  ScratchDir dir;
  CurrentDirectory cwd(dir.Path());
  std::string bin = "level data";
  ASSERT_TRUE(WriteGameFile(reinterpret_cast<uint8_t*>(bin.data()), bin.size(), "a\\b\\c.bin"));
  EXPECT_EQ(dir.Read("a/b/c.bin"), ScrambledCopy("a/b/c.bin", "level data"));

  std::string dll = "MZ";
  ASSERT_TRUE(WriteGameFile(reinterpret_cast<uint8_t*>(dll.data()), dll.size(), "x.dll", "out/y.dll"));
  EXPECT_EQ(dir.Read("out/y.dll"), "MZ");

  EXPECT_TRUE(WriteGameFile(nullptr, 0, "empty.bin"));
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "empty.bin"));
}

TEST(ScrambleTest, ConfigFileRoundTripIsKeyedByName) {
  ScratchDir dir;
  CurrentDirectory cwd(dir.Path());
  const String options("-game g\n-edition e\n");
  ASSERT_TRUE(WriteConfigFile("gameconfig.bin", options));
  EXPECT_EQ(dir.Read("gameconfig.bin"), ScrambledCopy("gameconfig.bin", "-game g\n-edition e\n"));
  String text;
  ASSERT_TRUE(ReadConfigFile("gameconfig.bin", text));
  EXPECT_EQ(text, options);

  EXPECT_FALSE(ReadConfigFile("missing.bin", text));
  EXPECT_FALSE(WriteConfigFile("no/such/folder/gameconfig.bin", options));
}

}  // namespace
