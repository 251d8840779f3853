// Installing a packet: the whole archive is read and every entry checked and staged before the
// first file in the game folder changes.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/text.h"
#include "base/update_log.h"
#include "integrity/archive_name.h"
#include "integrity/packet.h"
#include "integrity/packet_input.h"
#include "integrity/packet_texts.h"
#include "integrity/staged_install.h"
#include "platform/file_system.h"

namespace {

// A larger entry table is refused rather than held in memory: it would take some hundred
// thousand files, far beyond any real packet.
constexpr uint32_t kMaxTableSize = 8u << 20;
constexpr size_t kBlockSize = 256 * 1024;
constexpr uint32_t kTerminatorSize = 5;

struct ArchiveEntry {
  std::string name;
  uint32_t length;
};

uint32_t ReadLittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

std::u16string Widen(std::string_view text) {
  std::u16string wide;
  Utf8ToWide(wide, text);
  return wide;
}

class ArchiveInstaller {
 public:
  ArchiveInstaller(PacketSource& source, const PacketCheck* check, std::u16string& errorText)
      : source_(source), archive_(source), check_(check), errorText_(errorText) {}

  bool Run();

 private:
  bool ReadTable(uint32_t archiveSize, std::vector<ArchiveEntry>& entries);
  bool StageEntry(const ArchiveEntry& entry, uint8_t* block);
  bool Listed(const std::string& name) const;
  bool PacketHashMatches() const;
  // Appends the reason the archive stream stopped.
  bool StreamFailed();
  bool Fail(const std::u16string& text) {
    errorText_ += text;
    return false;
  }

  PacketSource& source_;
  ArchiveReader archive_;
  const PacketCheck* check_;
  std::u16string& errorText_;
  StagedInstall staged_;
};

bool ArchiveInstaller::StreamFailed() {
  switch (archive_.failure()) {
    case ArchiveReader::Failure::kBzip2:
      return Fail(u"Decompression Error " + Widen(std::to_string(archive_.bzipError())));
    case ArchiveReader::Failure::kTooShort:
      return Fail(u"Bad Archive Header");
    default:
      return false;  // the packet could not be read; the caller names it
  }
}

bool ArchiveInstaller::Listed(const std::string& name) const {
  return std::any_of(check_->files.begin(), check_->files.end(),
                     [&](const String& file) { return file.View() == name; });
}

bool ArchiveInstaller::ReadTable(uint32_t archiveSize, std::vector<ArchiveEntry>& entries) {
  uint8_t first[4];
  if (archiveSize < kTerminatorSize) return Fail(u"Bad Archive Header");
  if (!archive_.Read(first, 4)) return StreamFailed();
  const uint32_t tableSize = ReadLittleEndian32(first);
  if (tableSize == 0) {
    // The terminator alone: no files; anything after it up to the archive size is unused.
    return archive_.Skip(archiveSize - 4) || StreamFailed();
  }
  if (tableSize < kTerminatorSize || tableSize > archiveSize || tableSize > kMaxTableSize) {
    return Fail(u"Bad Archive Header");
  }
  std::vector<uint8_t> table(tableSize);
  std::copy_n(first, 4, table.begin());
  if (!archive_.Read(table.data() + 4, tableSize - 4)) return StreamFailed();

  std::vector<uint32_t> offsets;
  size_t pos = 0;
  while (true) {
    if (pos + 4 > tableSize) return Fail(u"Bad Archive Header");
    const uint32_t offset = ReadLittleEndian32(&table[pos]);
    if (offset == 0) break;
    const auto nameStart = table.begin() + static_cast<std::ptrdiff_t>(pos + 4);
    const auto nameEnd = std::find(nameStart, table.end(), uint8_t{0});
    if (nameEnd == table.end()) return Fail(u"Bad Archive Header");
    ArchiveEntry entry;
    if (!SafeArchiveName(std::string(nameStart, nameEnd), entry.name)) {
      return Fail(u"Bad Archive Header");
    }
    entries.push_back(std::move(entry));
    offsets.push_back(offset);
    pos = static_cast<size_t>(nameEnd - table.begin()) + 1;
  }
  // The data follows the table in table order, so each entry ends where the next begins.
  for (size_t i = 0; i < entries.size(); ++i) {
    const uint32_t end = i + 1 < entries.size() ? offsets[i + 1] : archiveSize;
    if (offsets[i] > archiveSize || end > archiveSize || end < offsets[i]) {
      return Fail(u"Bad Archive Header");
    }
    entries[i].length = end - offsets[i];
  }
  return true;
}

bool ArchiveInstaller::StageEntry(const ArchiveEntry& entry, uint8_t* block) {
  if (check_ != nullptr && !Listed(entry.name)) {
    UpdateLog(("skip " + entry.name).c_str());
    return archive_.Skip(entry.length) || StreamFailed();
  }
  const std::u16string failText = FailFileUpdateText() + u"\n" + Widen(entry.name);
  if (!staged_.Begin(entry.name)) return Fail(failText);
  std::unique_ptr<Scrambler> scrambler;
  if (IsStoredScrambled(entry.name)) {
    UpdateLog(("scrambling file " + entry.name).c_str());
    scrambler = std::make_unique<Scrambler>(entry.name);
  }
  Sha256Hasher hasher;
  for (uint32_t left = entry.length; left > 0;) {
    const size_t n = std::min<size_t>(left, kBlockSize);
    if (!archive_.Read(block, n)) return StreamFailed();
    if (scrambler) scrambler->Apply(block, n);
    hasher.Update(block, n);
    if (!staged_.Write(block, n)) return Fail(failText);
    left -= static_cast<uint32_t>(n);
  }
  return staged_.End(hasher.Finish()) || Fail(failText);
}

// The packet hash over every listed file as it will lie on disk: the staged data for files
// this packet carries, the installed file for the others.
bool ArchiveInstaller::PacketHashMatches() const {
  Sha256Result sum;
  for (const String& file : check_->files) {
    if (const Sha256Result* staged = staged_.DigestOf(std::string(file.View()))) {
      CombineDigests(sum, *staged);
    } else if (std::optional<Sha256Result> installed = CachedFileDigest(file)) {
      CombineDigests(sum, *installed);
    }
  }
  return DigestText(sum) == check_->hash;
}

bool ArchiveInstaller::Run() {
  UpdateLog("save");
  uint8_t sizeField[4];
  if (source_.ReadFull(sizeField, 4) < 4 || !archive_.HasBzipSignature()) {
    return source_.Failed() ? false : Fail(u"Bad Magic Bytes");
  }
  const uint32_t archiveSize = ReadLittleEndian32(sizeField);
  std::vector<ArchiveEntry> entries;
  if (!ReadTable(archiveSize, entries)) return false;
  std::unique_ptr<uint8_t[]> block(new uint8_t[kBlockSize]);
  for (const ArchiveEntry& entry : entries) {
    if (!StageEntry(entry, block.get())) return false;
  }
  if (!archive_.AtEnd()) return StreamFailed();
  if (check_ != nullptr) {
    UpdateLog("check paket hash ...");
    if (!PacketHashMatches()) {
      UpdateLog("check paket hash ... failed.");
      return Fail(WrongPacketHashText());
    }
  }
  std::string failed;
  if (!staged_.Commit(failed)) return Fail(FailFileUpdateText() + u"\n" + Widen(failed));
  return true;
}

bool InstallFrom(PacketSource& source, const PacketCheck* check, std::u16string& errorText) {
  return ArchiveInstaller(source, check, errorText).Run();
}

}  // namespace

bool InstallArchive(const uint8_t* bytes, size_t length, const PacketCheck* check,
                    std::u16string& errorText) {
  MemoryPacketSource source(bytes, length, std::nullopt);
  return InstallFrom(source, check, errorText);
}

bool SavePacket(const ByteBuffer* body, const String& packetName, const PacketCheck& check,
                std::u16string& errorText) {
  UpdateLog((std::string("paket ") + packetName.Text()).c_str());
  if (body == nullptr) {
    errorText += u"Nothing to save.\n";
    return false;
  }
  if (body->Count() == 0) {
    errorText += u"no data to save.\n" + Widen(packetName.View());
    return false;
  }
  MemoryPacketSource source(body->Data(), static_cast<size_t>(body->Count()), packetName.View());
  if (InstallFrom(source, &check, errorText)) return true;
  errorText += u"\nArchive: " + Widen(packetName.View());
  return false;
}

bool InstallPacketFromFile(const String& path, const String& key, const PacketCheck* check,
                           std::u16string& errorText) {
  std::FILE* file = platform::OpenFile(std::string(path.View()), "rb");
  if (file == nullptr) return false;
  FilePacketSource source(file, key.View());
  const bool installed = InstallFrom(source, check, errorText);
  std::fclose(file);
  return installed;
}
