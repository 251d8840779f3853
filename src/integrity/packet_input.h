// Reading a packet as a stream: its bytes from memory or a file (unscrambled on the way), and
// the archive inside them decompressed on demand, so no buffer grows with the packet.
#ifndef INTEGRITY_PACKET_INPUT_H
#define INTEGRITY_PACKET_INPUT_H

#include <bzlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "integrity/scramble.h"

// Packet bytes in order, unscrambled with the key when one is given.
class PacketSource {
 public:
  explicit PacketSource(std::optional<std::string_view> key);
  virtual ~PacketSource() = default;
  // Up to `capacity` bytes; 0 at the end or after a read error.
  size_t Read(uint8_t* out, size_t capacity);
  // Repeats Read until `length` bytes or the end; returns the bytes read.
  size_t ReadFull(uint8_t* out, size_t length);
  virtual bool Failed() const { return false; }

 protected:
  virtual size_t ReadRaw(uint8_t* out, size_t capacity) = 0;

 private:
  std::unique_ptr<Scrambler> scrambler_;
};

class MemoryPacketSource : public PacketSource {
 public:
  MemoryPacketSource(const uint8_t* bytes, size_t length, std::optional<std::string_view> key);

 protected:
  size_t ReadRaw(uint8_t* out, size_t capacity) override;

 private:
  const uint8_t* bytes_;
  size_t left_;
};

// Reads from an open file it does not own.
class FilePacketSource : public PacketSource {
 public:
  FilePacketSource(std::FILE* file, std::optional<std::string_view> key);
  bool Failed() const override { return failed_; }

 protected:
  size_t ReadRaw(uint8_t* out, size_t capacity) override;

 private:
  std::FILE* file_;
  bool failed_ = false;
};

// The archive behind the 4-byte size field: the bzip2 stream of the source, decompressed as
// the caller asks for bytes.
class ArchiveReader {
 public:
  enum class Failure { kNone, kSource, kBzip2, kTooShort };

  explicit ArchiveReader(PacketSource& source);
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // Whether the stream starts with the bzip2 signature "BZh" (false also when the source ends
  // or fails first).
  bool HasBzipSignature();
  // Exactly `length` bytes of the archive, or false with failure() set.
  bool Read(uint8_t* out, size_t length);
  bool Skip(uint64_t length);
  // Whether the bzip2 stream ends here; more data is the bzip2 "output buffer full" failure.
  bool AtEnd();

  Failure failure() const { return failure_; }
  int bzipError() const { return bzipError_; }

 private:
  bool FillInput();
  bool Fail(Failure failure, int bzipError = 0);

  PacketSource& source_;
  bz_stream stream_{};
  bool initialised_ = false;
  bool sourceDone_ = false;
  bool streamEnded_ = false;
  std::unique_ptr<uint8_t[]> input_;
  Failure failure_ = Failure::kNone;
  int bzipError_ = 0;
};

#endif  // INTEGRITY_PACKET_INPUT_H
