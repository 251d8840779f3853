// Writing a packet: the archive is produced and compressed in one pass over the files, so the
// writer's memory does not grow with the packet.
#include <bzlib.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "integrity/packet.h"
#include "integrity/scramble.h"
#include "platform/file_system.h"

namespace {

constexpr size_t kBlockSize = 256 * 1024;
constexpr uint32_t kTerminatorSize = 5;

void AppendLittleEndian32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

// Compresses what it is given and writes it scrambled, counting the bytes written.
class PacketOutput {
 public:
  PacketOutput(std::FILE* file, std::string_view key)
      : file_(file), scrambler_(key), buffer_(new uint8_t[kBlockSize]) {}
  ~PacketOutput() {
    if (initialised_) BZ2_bzCompressEnd(&stream_);
  }

  // Block size 9, work factor 30: the settings every packet is compressed with.
  int Start() {
    const int result = BZ2_bzCompressInit(&stream_, 9, 0, 30);
    initialised_ = result == BZ_OK;
    return result;
  }
  // The archive size goes in front of the compressed stream, scrambled with it.
  void WriteSizeField(uint32_t size) {
    uint8_t field[4];
    for (int i = 0; i < 4; ++i) field[i] = static_cast<uint8_t>(size >> (8 * i));
    if (!WriteOut(field, sizeof field)) writeFailed_ = true;
  }
  // Returns the bzip2 result: BZ_RUN_OK / BZ_STREAM_END on success.
  int Compress(const uint8_t* bytes, size_t length, int action) {
    stream_.next_in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
    stream_.avail_in = static_cast<unsigned>(length);
    int result;
    do {
      stream_.next_out = reinterpret_cast<char*>(buffer_.get());
      stream_.avail_out = kBlockSize;
      result = BZ2_bzCompress(&stream_, action);
      if (result < 0) return result;
      if (!WriteOut(buffer_.get(), kBlockSize - stream_.avail_out)) {
        writeFailed_ = true;
        return BZ_IO_ERROR;
      }
    } while (action == BZ_FINISH ? result != BZ_STREAM_END : stream_.avail_in > 0);
    return result;
  }
  bool writeFailed() const { return writeFailed_; }
  uint64_t written() const { return written_; }

 private:
  bool WriteOut(uint8_t* bytes, size_t length) {
    scrambler_.Apply(bytes, length);
    written_ += length;
    return length == 0 || std::fwrite(bytes, 1, length, file_) == length;
  }

  std::FILE* file_;
  Scrambler scrambler_;
  std::unique_ptr<uint8_t[]> buffer_;
  bz_stream stream_{};
  bool initialised_ = false;
  bool writeFailed_ = false;
  uint64_t written_ = 0;
};

class PacketWriter {
 public:
  PacketWriter(const String& source, const String& archive, std::string_view packetName,
               String& error)
      : source_(source.View()), archive_(archive.View()), packetName_(packetName), error_(error) {}

  uint64_t Write(const std::vector<PacketEntry>& entries);

 private:
  bool WriteArchive(PacketOutput& output, const std::string& table,
                    const std::vector<PacketEntry>& entries);
  bool AppendFile(PacketOutput& output, const PacketEntry& entry, uint8_t* block);
  // Sets the error for a failed bzip2 call or output write.
  bool Failed(const PacketOutput& output, int code) {
    if (output.writeFailed()) {
      error_ = String("File Error: could not write scrambled file '" + archive_);
    } else {
      error_ = String("File Error: could not compress file '" + archive_ +
                      "'\ncompression error " + std::to_string(code));
    }
    return false;
  }

  std::string source_;
  std::string archive_;
  std::string_view packetName_;
  String& error_;
  uint64_t archiveSize_ = 0;
};

bool PacketWriter::AppendFile(PacketOutput& output, const PacketEntry& entry, uint8_t* block) {
  const std::string path = source_ + std::string(entry.name.View());
  std::FILE* file = platform::OpenFile(path, "rb");
  if (file == nullptr) {
    error_ = String("File Error: could not open file '" + path + "'");
    return false;
  }
  uint64_t total = 0;
  size_t got = 0;
  int result = BZ_RUN_OK;
  while (result == BZ_RUN_OK && (got = std::fread(block, 1, kBlockSize, file)) > 0) {
    total += got;
    result = output.Compress(block, got, BZ_RUN);
  }
  const bool readFailed = std::ferror(file) != 0;
  std::fclose(file);
  if (result != BZ_RUN_OK) return Failed(output, result);
  // A file that changed since its size was recorded would leave its neighbours at the
  // wrong offsets, so the packet is refused rather than written inconsistent.
  if (readFailed || total != entry.size) {
    error_ = String("File Error: could not read from file '" + path + "'");
    return false;
  }
  return true;
}

bool PacketWriter::WriteArchive(PacketOutput& output, const std::string& table,
                                const std::vector<PacketEntry>& entries) {
  int result = output.Start();
  if (result != BZ_OK) return Failed(output, result);
  output.WriteSizeField(static_cast<uint32_t>(archiveSize_));
  result = output.Compress(reinterpret_cast<const uint8_t*>(table.data()), table.size(), BZ_RUN);
  if (result != BZ_RUN_OK) return Failed(output, result);
  std::unique_ptr<uint8_t[]> block(new uint8_t[kBlockSize]);
  for (const PacketEntry& entry : entries) {
    if (!AppendFile(output, entry, block.get())) return false;
  }
  result = output.Compress(nullptr, 0, BZ_FINISH);
  if (result != BZ_STREAM_END || output.writeFailed()) return Failed(output, result);
  return true;
}

uint64_t PacketWriter::Write(const std::vector<PacketEntry>& entries) {
  std::string table;
  uint64_t offset = kTerminatorSize;
  for (const PacketEntry& entry : entries) offset += static_cast<uint64_t>(entry.name.Length()) + 5;
  for (const PacketEntry& entry : entries) {
    AppendLittleEndian32(table, static_cast<uint32_t>(offset));
    table.append(entry.name.View());
    table.push_back('\0');
    offset += entry.size;
  }
  table.append(kTerminatorSize, '\0');
  archiveSize_ = offset;

  std::FILE* file = platform::OpenFile(archive_, "wb");
  if (file == nullptr) {
    error_ = String("File Error: could not write scrambled file '" + archive_);
    return 0;
  }
  uint64_t written = 0;
  {
    PacketOutput output(file, packetName_);
    // The size field and every data offset are 32-bit.
    if (archiveSize_ > UINT32_MAX) {
      Failed(output, BZ_PARAM_ERROR);
    } else if (WriteArchive(output, table, entries)) {
      written = output.written();
    }
  }
  if (std::fclose(file) != 0 && written > 0) {
    error_ = String("File Error: could not write scrambled file '" + archive_);
    written = 0;
  }
  // A half-written packet must not be published.
  if (written == 0) platform::RemoveFile(archive_);
  return written;
}

}  // namespace

String PacketName(const String& tag, const String& module, const String& kindName) {
  std::string name(tag.View());
  name += "_";
  if (!module.IsEmpty()) name += std::string(module.View()) + "_";
  name += kindName.View();
  return String(name);
}

uint64_t WritePacket(const String& source, const String& target, const String& packetName,
                     const std::vector<PacketEntry>& entries, String& error) {
  const String archive(std::string(target.View()) + std::string(packetName.View()));
  return PacketWriter(source, archive, packetName.View(), error).Write(entries);
}
