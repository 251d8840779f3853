#include "update/install_mode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "integrity/packet.h"
#include "integrity/scramble.h"
#include "support/scratch_dir.h"

namespace {

using testing_support::CurrentDirectory;
using testing_support::ScratchDir;
using Files = std::vector<std::pair<std::string, std::string>>;

std::u16string Wide(const std::string& text) {
  std::u16string wide;
  Utf8ToWide(wide, text);
  return wide;
}

// Packs the files with the release writer into folder/packetName.
void WritePacketFile(const ScratchDir& folder, const std::string& packetName, const Files& files) {
  ScratchDir source;
  std::vector<PacketEntry> entries;
  for (const auto& [name, content] : files) {
    source.Write(name, content);
    entries.push_back({String(name.c_str()), static_cast<uint32_t>(content.size())});
  }
  String error;
  const std::string from = source.File("") + "/";
  const std::string to = folder.File("") + "/";
  ASSERT_GT(WritePacket(from.c_str(), to.c_str(), packetName.c_str(), entries, error), 0u) << error.Text();
}

TEST(InstallModeTest, PacketFromAnyFolderIsKeyedByItsFileName) {
  // Several read blocks long, so unscrambling and decompression run across block edges.
  std::string big(400000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * i) >> 7);
  const Files files = {{"a.txt", "alpha"}, {"data/big.bin", big}, {"bin/tool.exe", "MZ"}};
  ScratchDir packets;
  WritePacketFile(packets, "demo_install_pc_01.tqa", files);
  const std::string packet = packets.File("demo_install_pc_01.tqa");

  ScratchDir game;
  CurrentDirectory cwd(game.Path());
  std::u16string error;
  ASSERT_TRUE(InstallPacketFile(packet.c_str(), error));
  EXPECT_EQ(error, u"");
  EXPECT_EQ(game.Read("a.txt"), ScrambledCopy("a.txt", "alpha"));
  EXPECT_EQ(game.Read("data/big.bin"), ScrambledCopy("data/big.bin", big));
  EXPECT_EQ(game.Read("bin/tool.exe"), "MZ");

  // The same packet given by its bare name from inside the game folder.
  ScratchDir second;
  WritePacketFile(second, "demo_install_pc_01.tqa", files);
  CurrentDirectory inSecond(second.Path());
  ASSERT_TRUE(InstallPacketFile("demo_install_pc_01.tqa", error));
  EXPECT_EQ(second.Read("data/big.bin"), ScrambledCopy("data/big.bin", big));
}

TEST(InstallModeTest, EmptyPacketAndEmptyPathSucceedWithoutWriting) {
  ScratchDir game;
  WritePacketFile(game, "demo_patch_pc.tqa", {});
  CurrentDirectory cwd(game.Path());
  std::u16string error;
  EXPECT_TRUE(InstallPacketFile("demo_patch_pc.tqa", error));
  EXPECT_TRUE(InstallPacketFile("", error));
  EXPECT_EQ(error, u"");
  std::vector<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(game.Path())) {
    names.push_back(item.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"demo_patch_pc.tqa", "updater.log"}));
}

TEST(InstallModeTest, UnusablePacketFileNamesThePath) {
  ScratchDir game;
  game.Write("empty.tqa", "");
  game.Write("damaged.tqa", ScrambledCopy("damaged.tqa", std::string("\5\0\0\0BZ0", 7)));
  game.Write("a.txt", "old");
  CurrentDirectory cwd(game.Path());
  const std::vector<std::pair<std::string, std::u16string>> cases = {
      {"missing.tqa", u""}, {"empty.tqa", u""}, {"damaged.tqa", u"Bad Magic Bytes"}};
  for (const auto& [path, reason] : cases) {
    std::u16string error;
    EXPECT_FALSE(InstallPacketFile(path.c_str(), error)) << path;
    EXPECT_EQ(error, reason + u"\nArchive: " + Wide(path)) << path;
  }
  EXPECT_EQ(game.Read("a.txt"), "old");
}

}  // namespace
