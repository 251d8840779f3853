#include "update/version_file.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "base/text.h"
#include "integrity/digest.h"
#include "support/scratch_dir.h"

namespace {

// Runs the parser to its end; the line count guards against a parser that never ends.
void ParseAll(VersionFile& file) {
  for (int calls = 0; calls < 1000; ++calls) {
    if (file.ParseLine()) return;
  }
  FAIL() << "ParseLine never reported the end";
}

std::string Lines(const std::vector<std::string>& lines, const std::string& end) {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

const std::string kZeroHash(64, '0');

TEST(VersionFileTest, AcceptsCrAndCrLfLineEnds) {
  for (const std::string end : {"\r\n", "\r"}) {
    SCOPED_TRACE(end.size());
    VersionFile file(String(Lines({"MagicVersionFile", "f00d http://host/dl/updater.exe", "42",
                                   "_main.txt.bin", "", kZeroHash + " host/p/g_patch_pc.tqa 77 patch",
                                   "a.bin", "", kZeroHash + " host/p/g_install_pc_01.tqa 9000 install",
                                   "d/b.bin", "c.bin", ""},
                                  end)));
    ParseAll(file);
    ASSERT_FALSE(file.Failed()) << ToUtf8(file.Error());
    EXPECT_EQ(file.UpdaterHash(), String("f00d"));
    EXPECT_EQ(file.UpdaterUrl(), String("http://host/dl/updater.exe"));
    EXPECT_EQ(file.UpdaterFileName(), String("updater.exe"));
    EXPECT_EQ(file.UpdateNumber(), 42);
    EXPECT_EQ(file.PreviousFile(), String("_main.txt.bin"));
    EXPECT_TRUE(file.Missing().empty());
    ASSERT_EQ(file.Present().size(), 2u);
    const PacketInfo& patch = file.Present()[0];
    EXPECT_EQ(patch.url, String("host/p/g_patch_pc.tqa"));
    EXPECT_EQ(patch.size, 77);
    EXPECT_FALSE(patch.full);
    EXPECT_EQ(patch.files, std::vector<String>{"a.bin"});
    const PacketInfo& install = file.Present()[1];
    EXPECT_TRUE(install.full);
    EXPECT_EQ(install.files, (std::vector<String>{"d/b.bin", "c.bin"}));
  }
}

TEST(VersionFileTest, ReportsTheReasonAndTheLineOfAnError) {
  const std::string head = Lines({"MagicVersionFile", "h http://x/u.exe", "3", "", ""}, "\r");
  const struct {
    std::string text;
    const char* error;
  } cases[] = {
      {Lines({"MagicVersionFile", "h u", "1", "", ""}, "\n"), "(no magic) line 0"},
      {"magicVersionFile\rh u\r", "(no magic) line 0"},
      {"MagicVersionFile\rnospace\r", "(no space) line 1"},
      {"MagicVersionFile\rh http://x/dir/\r", "(no slash) line 1"},
      {"MagicVersionFile\rh \r", "(no slash) line 1"},
      {"MagicVersionFile\rh u\r\r", "(update number) line 2"},
      {"MagicVersionFile\rh u\rv3\r", "(update number) line 2"},
      {"MagicVersionFile\rh u\r1\r", "(short file) line 3"},
      {head + "hash\r", "(no paket hash) line 5"},
      {head + "hash url\r", "(no paket url) line 5"},
      {head + "hash url 12\r", "(no paket size) line 5"},
      {head + "\r\rhash url 12 patch\ra.bin\r", "(end of file) line 9"},
      {head + "hash url 12 patch\ra.bin\rb.bin", "(end of file) line 8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    VersionFile file{String(c.text)};
    ParseAll(file);
    EXPECT_TRUE(file.Failed());
    EXPECT_EQ(ToUtf8(file.Error()), std::string("Bad VersionFile! ") + c.error);
  }
}

// A packet is present only when the files on disk give exactly its hash; files that are not
// there add nothing, so a packet of missing files matches only the all-zero hash.
TEST(VersionFileTest, SortsPacketsByTheDigestsOfTheInstalledFiles) {
  testing_support::ScratchDir dir;
  testing_support::CurrentDirectory cwd(dir.Path());
  dir.Write("a.bin", "alpha");
  dir.Write("d/b.bin", "beta");
  Sha256Result both;
  CombineDigests(both, *Sha256File("a.bin"));
  CombineDigests(both, *Sha256File("d/b.bin"));
  const std::string bothText(DigestText(both).View());
  std::string upper = bothText;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

  VersionFile file(String(Lines(
      {"MagicVersionFile", "h http://x/u.exe", "1", "", "",
       bothText + " u/1 1 patch", "d/b.bin", "a.bin", "",            // present, any order
       bothText + " u/2 1 Patch", "a.bin", "gone.bin", "d/b.bin", "",  // missing file adds nothing
       upper + " u/3 1 patch", "a.bin", "d/b.bin", "",               // compared exactly
       kZeroHash + " u/4 1 patch", "gone.bin", "",                    // nothing installed yet
       bothText + " u/5 1 patch", "a.bin", ""},
      "\r\n")));
  ParseAll(file);
  ASSERT_FALSE(file.Failed()) << ToUtf8(file.Error());
  std::vector<std::string> present, missing;
  for (const PacketInfo& p : file.Present()) present.emplace_back(p.url.View());
  for (const PacketInfo& p : file.Missing()) missing.emplace_back(p.url.View());
  EXPECT_EQ(present, (std::vector<std::string>{"u/1", "u/2", "u/4"}));
  EXPECT_EQ(missing, (std::vector<std::string>{"u/3", "u/5"}));
  EXPECT_TRUE(file.Present()[1].full) << "only the exact word patch marks a patch";
}

}  // namespace
