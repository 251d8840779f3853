#include "integrity/packet.h"

#include <bzlib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "integrity/digest.h"
#include "integrity/scramble.h"
#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::CurrentDirectory;
using testing_support::ScratchDir;
using Files = std::vector<std::pair<std::string, std::string>>;

std::string LittleEndian32(uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
  return bytes;
}

// An archive as the writer lays it out.
std::string Archive(const Files& files) {
  uint32_t offset = 5;
  for (const auto& file : files) offset += static_cast<uint32_t>(file.first.size()) + 5;
  std::string table, data;
  for (const auto& [name, content] : files) {
    table += LittleEndian32(offset) + name + '\0';
    offset += static_cast<uint32_t>(content.size());
    data += content;
  }
  return table + std::string(5, '\0') + data;
}

std::string Compressed(const std::string& bytes) {
  std::string out(bytes.size() + bytes.size() / 100 + 600, '\0');
  unsigned length = static_cast<unsigned>(out.size());
  EXPECT_EQ(BZ2_bzBuffToBuffCompress(out.data(), &length, const_cast<char*>(bytes.data()),
                                     static_cast<unsigned>(bytes.size()), 9, 0, 30),
            BZ_OK);
  out.resize(length);
  return out;
}

std::string Decompressed(const std::string& bytes, size_t size) {
  std::string out(size, '\0');
  unsigned length = static_cast<unsigned>(size);
  EXPECT_EQ(BZ2_bzBuffToBuffDecompress(out.data(), &length, const_cast<char*>(bytes.data()),
                                       static_cast<unsigned>(bytes.size()), 0, 0),
            BZ_OK);
  out.resize(length);
  return out;
}

// The unscrambled packet: archive size, then the bzip2 stream.
std::string Layer2(const std::string& archive) {
  return LittleEndian32(static_cast<uint32_t>(archive.size())) + Compressed(archive);
}

ByteBuffer Body(const std::string& bytes) {
  ByteBuffer body;
  for (char c : bytes) body.Append(static_cast<uint8_t>(c));
  return body;
}

// The packet hash of files as they are stored once installed.
String StoredHash(const Files& files) {
  Sha256Result sum;
  for (const auto& [name, content] : files) {
    const std::string stored = IsStoredScrambled(name) ? ScrambledCopy(name, content) : content;
    CombineDigests(sum, Sha256Buffer(stored.data(), stored.size()));
  }
  return DigestText(sum);
}

PacketCheck CheckFor(const Files& files) {
  PacketCheck check{StoredHash(files), {}};
  for (const auto& file : files) check.files.push_back(String(file.first.c_str()));
  return check;
}

// Every file below the folder with its bytes; the update log is the installer's own.
std::map<std::string, std::string> Snapshot(const ScratchDir& dir) {
  std::map<std::string, std::string> files;
  for (const auto& item : fs::recursive_directory_iterator(dir.Path())) {
    const std::string relative = fs::relative(item.path(), dir.Path()).generic_string();
    if (relative == "updater.log") continue;
    files[relative] = item.is_directory() ? "<folder>" : dir.Read(relative);
  }
  return files;
}

std::vector<PacketEntry> Entries(const Files& files) {
  std::vector<PacketEntry> entries;
  for (const auto& [name, content] : files) {
    entries.push_back({String(name.c_str()), static_cast<uint32_t>(content.size())});
  }
  return entries;
}

// Writes the files to a source folder and packs them with the real writer.
std::string WrittenPacket(const std::string& packetName, const Files& files) {
  ScratchDir source;
  for (const auto& [name, content] : files) source.Write(name, content);
  String error;
  const std::string sourcePath = source.File("") + "/";
  EXPECT_GT(WritePacket(sourcePath.c_str(), sourcePath.c_str(), packetName.c_str(), Entries(files), error), 0u)
      << error.Text();
  return source.Read(packetName);
}

TEST(PacketTest, NameCarriesTagModuleAndKind) {
  EXPECT_EQ(PacketName("demo", "", "patch_pc.tqa"), String("demo_patch_pc.tqa"));
  EXPECT_EQ(PacketName("demo", "m1", "install_pc_01.tqa"), String("demo_m1_install_pc_01.tqa"));
}

TEST(PacketTest, WriterProducesTheDocumentedBytes) {
  const std::string packet = WrittenPacket("demo_patch_pc.tqa", {{"a.txt", "abc"}, {"d/b.bin", "xy"}});
  const std::string layer2 = ScrambledCopy("demo_patch_pc.tqa", packet);
  const std::string expected = std::string("\x1b\0\0\0a.txt\0\x1e\0\0\0d/b.bin\0\0\0\0\0\0abcxy", 32);
  ASSERT_EQ(layer2.substr(0, 4), LittleEndian32(32));
  EXPECT_EQ(Decompressed(layer2.substr(4), 32), expected);
  // The streaming compressor gives the same bytes as a one-call compression.
  EXPECT_EQ(layer2.substr(4), Compressed(expected));

  const std::string empty = ScrambledCopy("e.tqa", WrittenPacket("e.tqa", {}));
  EXPECT_EQ(Decompressed(empty.substr(4), 5), std::string(5, '\0'));
}

TEST(PacketTest, InstallsStoredFormAndLeavesNoTemporaryFiles) {
  std::string large(300000, '\0');
  for (size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 31 / 7);
  const Files files = {{"a.txt", "new a"}, {"data/large.bin", large}, {"tool.dll", "MZ"}};
  const std::string packet = WrittenPacket("p.tqa", files);
  ScratchDir game;
  game.Write("a.txt", "old a");
  CurrentDirectory cwd(game.Path());
  const ByteBuffer body = Body(packet);
  std::u16string error;
  ASSERT_TRUE(SavePacket(&body, "p.tqa", CheckFor(files), error));
  EXPECT_EQ(error, u"");
  const std::map<std::string, std::string> expected = {
      {"a.txt", ScrambledCopy("a.txt", "new a")},
      {"data", "<folder>"},
      {"data/large.bin", ScrambledCopy("data/large.bin", large)},
      {"tool.dll", "MZ"}};
  EXPECT_EQ(Snapshot(game), expected);
}

TEST(PacketTest, EmptyPacketInstallsNothingAndMatchesTheZeroHash) {
  ScratchDir game;
  CurrentDirectory cwd(game.Path());
  const ByteBuffer body = Body(WrittenPacket("e.tqa", {}));
  std::u16string error;
  EXPECT_TRUE(SavePacket(&body, "e.tqa", PacketCheck{String(std::string(64, '0')), {}}, error));
  EXPECT_TRUE(Snapshot(game).empty());
}

TEST(PacketTest, CheckSelectsFilesAndHashCoversListedFilesOnDisk) {
  ScratchDir game;
  game.Write("b.txt", "old b");
  game.Write("c.txt", ScrambledCopy("c.txt", "kept c"));
  CurrentDirectory cwd(game.Path());
  const ByteBuffer body = Body(WrittenPacket("p.tqa", {{"a.txt", "new a"}, {"b.txt", "new b"}}));
  // c.txt is listed but not carried: its installed form counts toward the hash.
  PacketCheck check = CheckFor({{"a.txt", "new a"}, {"c.txt", "kept c"}});
  std::u16string error;
  ASSERT_TRUE(SavePacket(&body, "p.tqa", check, error));
  EXPECT_EQ(game.Read("a.txt"), ScrambledCopy("a.txt", "new a"));
  EXPECT_EQ(game.Read("b.txt"), "old b");

  check = CheckFor({{"a.txt", "new a"}});
  check.files.push_back("c.txt");
  EXPECT_FALSE(SavePacket(&body, "p.tqa", check, error));
}

TEST(PacketTest, BackslashNamesInstallWithSlashes) {
  ScratchDir game;
  CurrentDirectory cwd(game.Path());
  const std::string layer2 = Layer2(Archive({{"d\\b.bin", "xy"}}));
  std::u16string error;
  ASSERT_TRUE(InstallArchive(reinterpret_cast<const uint8_t*>(layer2.data()), layer2.size(), nullptr, error));
  EXPECT_EQ(game.Read("d/b.bin"), ScrambledCopy("d/b.bin", "xy"));
}

TEST(PacketTest, BadPacketLeavesFolderUnchangedAndNamesTheReason) {
  const Files good = {{"a.txt", "new a"}, {"b.bin", "new b"}};
  const std::string goodLayer2 = Layer2(Archive(good));
  auto withName = [](const std::string& name) {
    return Layer2(Archive({{"a.txt", "new a"}, {name, "x"}}));
  };
  std::string flipped = goodLayer2;
  flipped[flipped.size() / 2] ^= 0x01;
  std::string badMagic = goodLayer2;
  badMagic[6] = '0';
  // A table whose second entry starts before the first.
  const std::string backwards = LittleEndian32(19) + std::string("a\0", 2) + LittleEndian32(10) +
                                std::string("b\0", 2) + std::string(5, '\0') + "data";
  const std::string archive = Archive(good);
  const std::string compressed = Compressed(archive);

  struct Case {
    const char* what;
    std::string layer2;
    std::u16string reason;
    const char* alsoListed = nullptr;  // unlisted entries would just be skipped
  };
  const std::vector<Case> cases = {
      {"one byte changed", flipped, u"Decompression Error -4"},
      {"other content", Layer2(Archive({{"a.txt", "evil"}, {"b.bin", "new b"}})), u"Wrong paket hash."},
      {"parent folder", withName("../x"), u"Bad Archive Header"},
      {"absolute", withName("/etc/x"), u"Bad Archive Header"},
      {"drive letter", withName("C:\\x"), u"Bad Archive Header"},
      {"empty component", withName("a//b"), u"Bad Archive Header"},
      {"empty name", withName(""), u"Bad Archive Header"},
      {"folder clash", withName("a.txt/x"), u"The file could not be updated.\na.txt/x", "a.txt/x"},
      {"bad magic", badMagic, u"Bad Magic Bytes"},
      {"truncated header", goodLayer2.substr(0, 3), u"Bad Magic Bytes"},
      {"truncated stream", goodLayer2.substr(0, goodLayer2.size() / 2), u"Decompression Error -7"},
      {"absurd archive size", LittleEndian32(0xFFFFFFF0u) + compressed, u"Bad Archive Header"},
      {"absurd table size", LittleEndian32(0xFFFFFFF0u) + Compressed(LittleEndian32(0x7FFFFFF0u) + "x"),
       u"Bad Archive Header"},
      {"offsets backwards", Layer2(backwards), u"Bad Archive Header"},
      {"data beyond size", LittleEndian32(static_cast<uint32_t>(archive.size() - 1)) + compressed,
       u"Decompression Error -8"},
  };
  for (const Case& c : cases) {
    ScratchDir game;
    game.Write("a.txt", "old a");
    game.Write("sub/keep.bin", "keep");
    const auto before = Snapshot(game);
    CurrentDirectory cwd(game.Path());
    const ByteBuffer body = Body(ScrambledCopy("p.tqa", c.layer2));
    PacketCheck check = CheckFor(good);
    if (c.alsoListed != nullptr) check.files.push_back(c.alsoListed);
    std::u16string error;
    EXPECT_FALSE(SavePacket(&body, "p.tqa", check, error)) << c.what;
    EXPECT_EQ(error, c.reason + u"\nArchive: p.tqa") << c.what;
    EXPECT_EQ(Snapshot(game), before) << c.what;
  }
}

TEST(PacketTest, MissingDownloadIsReported) {
  std::u16string error;
  EXPECT_FALSE(SavePacket(nullptr, "p.tqa", PacketCheck{}, error));
  EXPECT_EQ(error, u"Nothing to save.\n");
  const ByteBuffer empty;
  error.clear();
  EXPECT_FALSE(SavePacket(&empty, "p.tqa", PacketCheck{}, error));
  EXPECT_EQ(error, u"no data to save.\np.tqa");
}

TEST(PacketTest, WriterFailuresNameTheFileAndLeaveNoPacket) {
  ScratchDir source;
  source.Write("a.bin", "abc");
  const std::string dir = source.File("") + "/";
  const std::string archive = dir + "p.tqa";
  struct Case {
    const char* what;
    std::vector<PacketEntry> entries;
    std::string target;
    std::string error;
  };
  const std::vector<Case> cases = {
      {"missing file", {{"a.bin", 3}, {"gone.bin", 1}}, dir, "File Error: could not open file '" + dir + "gone.bin'"},
      {"changed size", {{"a.bin", 4}}, dir, "File Error: could not read from file '" + dir + "a.bin'"},
      {"no target folder", {{"a.bin", 3}}, dir + "none/",
       "File Error: could not write scrambled file '" + dir + "none/p.tqa"},
  };
  for (const Case& c : cases) {
    String error;
    EXPECT_EQ(WritePacket(dir.c_str(), c.target.c_str(), "p.tqa", c.entries, error), 0u) << c.what;
    EXPECT_EQ(std::string(error.View()), c.error) << c.what;
    EXPECT_FALSE(fs::exists(fs::u8path(archive))) << c.what;
  }
}

}  // namespace
