// Three releases built one after the other and installed the way players receive them: the
// first release's install packets into an empty folder, then each later patch packet.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "integrity/scramble.h"
#include "release/release_builder.h"
#include "release/release_test_support.h"
#include "support/scratch_dir.h"
#include "update/install_mode.h"
#include "update/version_file.h"

namespace {

using namespace release_testing;
using Tree = std::map<std::string, std::string>;

// Release 1, and the files each later release changes or adds; nothing is ever removed,
// since installing packets never deletes a file.
Tree FirstTree() {
  return {
      {"game.exe", Content(1, 5000)},          // exempt: stored as it is
      {"Sounds/Intro.OGG", Content(2, 700 * 1024)},
      {"data/level1.bin", Content(3, 2 * kMiB)},
      {"data/level2.bin", Content(4, 3 * kMiB / 2)},
      {"readme", Content(5, 100)},             // no extension: stored as it is
      {"dir.old/readme", Content(6, 100)},     // extension ".old/readme": scrambled
      {"empty.txt", ""},
      {".svn/entries", "not part of any release"},
  };
}

const Tree kChanges[] = {
    {{"game.exe", Content(11, 5200)},
     {"data/level1.bin", Content(13, 2 * kMiB)},
     {"data/level3.bin", Content(17, 300 * 1024)}},
    {{"data/level1.bin", Content(23, 2 * kMiB + 7)},
     {"data/level2.bin", Content(24, 1000)},
     {"empty.txt", "not empty any more"},
     {"maps/m1.map", Content(28, 1000)}},
};

// The game folder after installing: every file as it is stored there.
Tree StoredForm(const Tree& tree) {
  Tree stored;
  for (auto [name, bytes] : tree) {
    if (name.starts_with(".svn/")) continue;
    if (IsStoredScrambled(name)) {
      ScrambleBuffer(name, reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
    }
    stored[name] = bytes;
  }
  return stored;
}

// The packet files of a release whose record has the given kind.
std::vector<std::string> PacketFiles(const std::string& release, const std::string& kind) {
  std::vector<std::string> packets;
  for (const auto& record : PacketRecords(ReadFile(String(release + "/version")))) {
    const std::string& header = record[0];
    if (!header.ends_with(" " + kind)) continue;
    const size_t url = header.find(' ') + 1;
    const std::string address = header.substr(url, header.find(' ', url) - url);
    packets.push_back(release + "/" + address.substr(address.rfind('/') + 1));
  }
  return packets;
}

void Install(const std::vector<std::string>& packets) {
  for (const std::string& packet : packets) {
    std::u16string error;
    EXPECT_TRUE(InstallPacketFile(String(packet), error)) << packet << ": " << ToUtf8(error);
  }
}

// What the update engine concludes from a version file in the game folder.
void ExpectInstalled(const std::string& versionPath) {
  VersionFile version{String(ReadFile(String(versionPath)))};
  while (!version.ParseLine()) {
  }
  EXPECT_FALSE(version.Failed()) << ToUtf8(version.Error());
  EXPECT_TRUE(version.Missing().empty()) << versionPath << ": " << version.Missing().size()
                                         << " packets missing";
  EXPECT_FALSE(version.Present().empty());
}

TEST(ReleaseChainTest, PatchesOnTopOfTheFirstInstallGiveTheLatestTree) {
  testing_support::ScratchDir dir;
  testing_support::CurrentDirectory inScratch(dir.Path());  // where the update log goes
  dir.Write("template.txt", "MagicVersionFile\r\nabc http://host/updater.exe\r\n");
  Tree tree = FirstTree();
  for (int release = 1; release <= 3; ++release) {
    if (release > 1) {
      for (const auto& [name, bytes] : kChanges[release - 2]) tree[name] = bytes;
    }
    const std::string r = std::to_string(release);
    for (const auto& [name, bytes] : tree) dir.Write("src" + r + "/" + name, bytes);
    std::filesystem::create_directory(dir.File("r" + r));
    ReleaseOptions options = Options(dir, "src" + r, "r" + r);
    if (release > 1) {
      const std::string previous = "r" + std::to_string(release - 1);
      options.oldVersion = String(dir.File(previous + "/version"));
      options.oldHashes = String(dir.File(previous + "/hashes.txt"));
    }
    std::u16string error;
    String report;
    ASSERT_TRUE(BuildRelease(options, error, report)) << ToUtf8(error);
  }
  ASSERT_EQ(PacketFiles(dir.File("r1"), "install").size(), 2u);

  std::filesystem::create_directory(dir.File("game"));
  testing_support::CurrentDirectory inGame(dir.File("game"));
  Install(PacketFiles(dir.File("r1"), "install"));
  ExpectInstalled(dir.File("r1/version"));
  Install(PacketFiles(dir.File("r2"), "patch"));
  ExpectInstalled(dir.File("r2/version"));
  Install(PacketFiles(dir.File("r3"), "patch"));
  ExpectInstalled(dir.File("r3/version"));

  EXPECT_TRUE(FolderContents(std::filesystem::u8path(dir.File("game"))) == StoredForm(tree));
}

}  // namespace
