#include "release/release_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "integrity/digest.h"
#include "release/release_entries.h"
#include "release/release_test_support.h"
#include "release/updater_hash.h"
#include "support/scratch_dir.h"

namespace {

using namespace release_testing;
using testing_support::ScratchDir;
using Records = std::vector<std::vector<std::string>>;

const std::string kTemplate = "MagicVersionFile\r\nabc http://host/updater.exe\r\n";

// A packet's record: its header (packet hash, URL, size and kind, the hash being the XOR of
// the digests of the files in the source folder) and its files.
std::vector<std::string> Record(const ReleaseOptions& options, const std::string& packet,
                                const std::string& kind, const std::vector<std::string>& files) {
  Sha256Result hash;
  for (const std::string& name : files) CombineDigests(hash, EntryHash(options.source, String(name)));
  const auto size = std::filesystem::file_size(std::string(options.target.View()) + packet);
  std::vector<std::string> record{std::string(DigestText(hash).View()) + " srv/dl/" + packet +
                                  " " + std::to_string(size) + " " + kind};
  record.insert(record.end(), files.begin(), files.end());
  return record;
}

// Builds run with the scratch folder as the current one, where the update log goes.
class ReleaseBuilderTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  testing_support::CurrentDirectory cwd{dir.Path()};
};

std::string Build(const ReleaseOptions& options, unsigned workers = 0) {
  std::u16string error;
  String report;
  EXPECT_TRUE(BuildRelease(options, error, report, workers)) << ToUtf8(error);
  return std::string(report.View());
}

TEST_F(ReleaseBuilderTest, FirstReleasePacksEveryFileIntoInstallPacketsOfAboutThreeMiB) {
  // A template saved with plain line feeds still gives CR LF lines.
  dir.Write("template.txt", "MagicVersionFile\nabc http://host/updater.exe\n");
  dir.Write("src/a.bin", Content(1, 2 * kMiB));
  dir.Write("src/b.bin", Content(2, 2 * kMiB));
  dir.Write("src/c.bin", Content(3, 3 * kMiB));
  dir.Write("src/d/e.txt", Content(4, kMiB));
  dir.Write("src/.svn/entries", "version control");
  dir.Write("src/d/.svn/entries", "version control");
  std::filesystem::create_directory(dir.File("r1"));
  const ReleaseOptions options = Options(dir, "src", "r1");

  const std::string report = Build(options);

  const std::string version = ReadFile(options.newVersion);
  EXPECT_EQ(report, "versionhash " + std::string(options.newVersion.View()) + " " +
                        std::string(Md5File(options.newVersion).View()) + "\n");
  const std::vector<std::string> lines = CrLfLines(version);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
            (std::vector<std::string>{"MagicVersionFile", "abc http://host/updater.exe", "0", "", ""}));
  const Records expected = {
      {std::string(64, '0') + " srv/dl/demo_patch_pc.tqa " +
       std::to_string(std::filesystem::file_size(dir.File("r1/demo_patch_pc.tqa"))) + " patch"},
      Record(options, "demo_install_pc_01.tqa", "install", {"a.bin", "b.bin"}),
      Record(options, "demo_install_pc_02.tqa", "install", {"c.bin"}),
      Record(options, "demo_install_pc_03.tqa", "install", {"d/e.txt"}),
  };
  EXPECT_EQ(PacketRecords(version), expected);

  std::string hashes;
  for (const char* name : {"a.bin", "b.bin", "c.bin", "d/e.txt"}) {
    hashes += std::string(EntryHash(options.source, name).View()) + " " + name + "\r\n";
  }
  EXPECT_EQ(ReadFile(options.newHashes), hashes);
}

TEST_F(ReleaseBuilderTest, LaterReleasePatchesChangedAndNewFilesAndLeavesOutRemovedOnes) {
  dir.Write("v/version", kTemplate + "41\r\n_previous.txt.bin\r\n\r\n");
  dir.Write("src/keep.bin", Content(10, 1000));
  dir.Write("src/sub/keep.txt", Content(11, 1000));
  dir.Write("src/change.bin", Content(12, 1000));
  dir.Write("src/new.bin", Content(13, 1000));
  std::filesystem::create_directory(dir.File("r2"));
  ReleaseOptions options = Options(dir, "src", "r2");
  options.oldVersion = String(dir.File("v/version"));
  options.oldHashes = String(dir.File("old_hashes.txt"));
  options.module = "m1";
  // The previous list in its own order: change.bin had other contents, gone.bin is gone now.
  dir.Write("old_hashes.txt",
            std::string(64, 'f') + " change.bin\r\n" + std::string(64, 'e') + " gone.bin\r\n" +
                std::string(EntryHash(options.source, "keep.bin").View()) + " keep.bin\r\n" +
                std::string(EntryHash(options.source, "sub/keep.txt").View()) + " sub/keep.txt\r\n");

  Build(options);

  const std::string version = ReadFile(options.newVersion);
  const std::vector<std::string> lines = CrLfLines(version);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5),
            (std::vector<std::string>{"MagicVersionFile", "abc http://host/updater.exe", "42",
                                      "version.txt.bin", ""}));
  const Records expected = {
      Record(options, "demo_m1_patch_pc.tqa", "patch", {"change.bin", "new.bin"}),
      Record(options, "demo_m1_install_pc_01.tqa", "install", {"keep.bin", "sub/keep.txt"}),
  };
  EXPECT_EQ(PacketRecords(version), expected);
  std::vector<std::string> listed;
  for (const std::string& line : CrLfLines(ReadFile(options.newHashes))) listed.push_back(line.substr(65));
  EXPECT_EQ(listed, (std::vector<std::string>{"change.bin", "keep.bin", "sub/keep.txt", "new.bin"}));
}

TEST_F(ReleaseBuilderTest, ParallelBuildWritesTheSameFilesAsASerialOne) {
  dir.Write("template.txt", kTemplate + "3\r\n");
  for (uint32_t i = 0; i < 8; ++i) {
    dir.Write("src/f" + std::to_string(i) + ".bin", Content(i, kMiB + i * 1000));
  }
  // Two changed files give a patch packet that is compressed alongside the install packets.
  std::string oldHashes;
  for (uint32_t i = 0; i < 8; ++i) {
    const String name(("f" + std::to_string(i) + ".bin").c_str());
    const String hash = i == 0 || i == 5 ? String(std::string(64, 'f'))
                                         : EntryHash(String(dir.File("src/")), name);
    oldHashes += std::string(hash.View()) + " " + name.Text() + "\r\n";
  }
  dir.Write("old_hashes.txt", oldHashes);
  std::map<std::string, std::string> outputs[2];
  for (unsigned workers : {1u, 4u}) {
    const std::string release = "r" + std::to_string(workers);
    std::filesystem::create_directory(dir.File(release));
    ReleaseOptions options = Options(dir, "src", release);
    options.oldHashes = String(dir.File("old_hashes.txt"));
    Build(options, workers);
    outputs[workers == 1 ? 0 : 1] = FolderContents(std::filesystem::u8path(dir.File(release)));
  }
  EXPECT_EQ(outputs[0].size(), 2u + 3u) << "version file, hash list, patch and two installs";
  EXPECT_TRUE(outputs[0] == outputs[1]);
}

TEST_F(ReleaseBuilderTest, FirstFailureEndsTheBuildWithItsText) {
  const struct {
    const char* what;
    std::function<std::string(ScratchDir&, ReleaseOptions&)> arrange;  // returns the error
  } cases[] = {
      {"empty line in the old hash list",
       [](ScratchDir& dir, ReleaseOptions& options) {
         dir.Write("old.txt", std::string(64, 'f') + " a.bin\r\n\r\n");
         options.oldHashes = String(dir.File("old.txt"));
         return "Syntax Error: no hash found in old_hashes '" + dir.File("old.txt") + "' at line 2";
       }},
      {"hash without a name",
       [](ScratchDir& dir, ReleaseOptions& options) {
         dir.Write("old.txt", "abc\r\n");
         options.oldHashes = String(dir.File("old.txt"));
         return "Syntax Error: no filename found in old_hashes '" + dir.File("old.txt") + "' at line 1";
       }},
      {"new hash list not writable",
       [](ScratchDir& dir, ReleaseOptions& options) {
         options.newHashes = String(dir.File("missing/hashes.txt"));
         return "File Error: Could not write to new_hashes '" + dir.File("missing/hashes.txt") + "'";
       }},
      {"new version file not writable",
       [](ScratchDir& dir, ReleaseOptions& options) {
         options.newVersion = String(dir.File("missing/version"));
         return "File Error: Could not write to new_version '" + dir.File("missing/version") + "'";
       }},
      {"old version file missing",
       [](ScratchDir& dir, ReleaseOptions& options) {
         options.oldVersion = String(dir.File("missing.txt"));
         return "File Error: Could not read old_version '" + dir.File("missing.txt") + "'";
       }},
      {"old version file without its updater line",
       [](ScratchDir& dir, ReleaseOptions&) {
         dir.Write("template.txt", "MagicVersionFile\r\n");
         return "File Error: Could not read old_version '" + dir.File("template.txt") + "'";
       }},
      {"previous release without an update number",
       [](ScratchDir& dir, ReleaseOptions& options) {
         dir.Write("old.txt", std::string(64, 'f') + " a.bin\r\n");
         options.oldHashes = String(dir.File("old.txt"));
         return "File Error: Could not read old_version '" + dir.File("template.txt") + "'";
       }},
      {"packet not writable",
       [](ScratchDir& dir, ReleaseOptions& options) {
         options.target = String(dir.File("missing") + "/");
         return "File Error: could not write scrambled file '" + dir.File("missing/demo_patch_pc.tqa");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir caseDir;
    caseDir.Write("template.txt", kTemplate);
    caseDir.Write("src/a.bin", "alpha");
    std::filesystem::create_directory(caseDir.File("r"));
    ReleaseOptions options = Options(caseDir, "src", "r");
    const std::string expected = c.arrange(caseDir, options);
    std::u16string error;
    String report;
    EXPECT_FALSE(BuildRelease(options, error, report));
    EXPECT_EQ(ToUtf8(error), expected);
    EXPECT_TRUE(report.IsEmpty());
  }
}

// The failed patch packet keeps its record, with size 0, and no install packet follows.
TEST_F(ReleaseBuilderTest, FailedPatchPacketIsRecordedWithSizeZero) {
  dir.Write("template.txt", kTemplate);
  dir.Write("src/a.bin", "alpha");
  dir.Write("src/b.bin", "beta");
  dir.Write("old.txt", std::string(64, 'f') + " a.bin\r\n");
  dir.Write("old_version", kTemplate + "3\r\n");
  ReleaseOptions options = Options(dir, "src", ".");
  options.oldVersion = String(dir.File("old_version"));
  options.oldHashes = String(dir.File("old.txt"));
  options.target = String(dir.File("missing") + "/");
  std::u16string error;
  String report;
  ASSERT_FALSE(BuildRelease(options, error, report));
  Sha256Result hash;
  CombineDigests(hash, EntryHash(options.source, "a.bin"));
  CombineDigests(hash, EntryHash(options.source, "b.bin"));
  const Records expected = {
      {std::string(DigestText(hash).View()) + " srv/dl/demo_patch_pc.tqa 0 patch", "a.bin", "b.bin"},
  };
  EXPECT_EQ(PacketRecords(ReadFile(options.newVersion)), expected);
}

TEST_F(ReleaseBuilderTest, UpdaterHashIsPrintedAndWrittenWithoutLineEnd) {
  dir.Write("updater.exe", "updater program");
  const std::string expected(DigestText(Sha256File("updater.exe")).View());
  std::u16string error;
  testing::internal::CaptureStdout();
  EXPECT_TRUE(WriteUpdaterHash("updater.exe", error)) << ToUtf8(error);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), expected + "\n");
  EXPECT_EQ(dir.Read("updater.hash"), expected);

  // An unreadable file must not publish a hash at all.
  std::filesystem::remove(dir.File("updater.hash"));
  EXPECT_FALSE(WriteUpdaterHash("missing.exe", error));
  EXPECT_EQ(ToUtf8(error), "File Error: could not open file 'missing.exe'");
  EXPECT_FALSE(std::filesystem::exists(dir.File("updater.hash")));
}

TEST(ReleaseOptionsTest, ReadsFoldersWithSeparatorAndTheFirstModule) {
  const OptionSet options(
      "updater -release 1 -old_version v -new_version nv -new_hashes nh -source src "
      "-target out\\ -tag demo -url srv/dl -platform pc -module m1 -module m2");
  ReleaseOptions read;
  std::u16string error;
  ASSERT_TRUE(ReadReleaseOptions(options, read, error)) << ToUtf8(error);
  EXPECT_EQ(read.source, String("src/"));
  EXPECT_EQ(read.target, String("out\\"));
  EXPECT_EQ(read.module, String("m1"));
  EXPECT_TRUE(read.oldHashes.IsEmpty());

  const OptionSet missing("updater -old_version v -new_version nv -new_hashes nh -source s -target t");
  EXPECT_FALSE(ReadReleaseOptions(missing, read, error));
  EXPECT_EQ(ToUtf8(error), "Missing option -tag");
}

}  // namespace
