#include "integrity/packet_input.h"

#include <algorithm>

namespace {

constexpr size_t kInputSize = 256 * 1024;

}  // namespace

PacketSource::PacketSource(std::optional<std::string_view> key) {
  if (key) scrambler_ = std::make_unique<Scrambler>(*key);
}

size_t PacketSource::Read(uint8_t* out, size_t capacity) {
  const size_t got = ReadRaw(out, capacity);
  if (scrambler_) scrambler_->Apply(out, got);
  return got;
}

size_t PacketSource::ReadFull(uint8_t* out, size_t length) {
  size_t done = 0;
  while (done < length) {
    const size_t got = Read(out + done, length - done);
    if (got == 0) break;
    done += got;
  }
  return done;
}

MemoryPacketSource::MemoryPacketSource(const uint8_t* bytes, size_t length,
                                       std::optional<std::string_view> key)
    : PacketSource(key), bytes_(bytes), left_(length) {}

size_t MemoryPacketSource::ReadRaw(uint8_t* out, size_t capacity) {
  const size_t n = std::min(capacity, left_);
  std::copy(bytes_, bytes_ + n, out);
  bytes_ += n;
  left_ -= n;
  return n;
}

FilePacketSource::FilePacketSource(std::FILE* file, std::optional<std::string_view> key)
    : PacketSource(key), file_(file) {}

size_t FilePacketSource::ReadRaw(uint8_t* out, size_t capacity) {
  if (failed_) return 0;
  const size_t got = std::fread(out, 1, capacity, file_);
  if (got == 0 && std::ferror(file_)) failed_ = true;
  return got;
}

ArchiveReader::ArchiveReader(PacketSource& source)
    : source_(source), input_(new uint8_t[kInputSize]) {
  const int result = BZ2_bzDecompressInit(&stream_, 0, 0);
  if (result == BZ_OK) {
    initialised_ = true;
  } else {
    Fail(Failure::kBzip2, result);
  }
}

ArchiveReader::~ArchiveReader() {
  if (initialised_) BZ2_bzDecompressEnd(&stream_);
}

bool ArchiveReader::Fail(Failure failure, int bzipError) {
  if (failure_ == Failure::kNone) {
    failure_ = failure;
    bzipError_ = bzipError;
  }
  return false;
}

bool ArchiveReader::FillInput() {
  if (sourceDone_) return false;
  // Keep what bzip2 has not taken yet at the front of the buffer.
  uint8_t* start = input_.get();
  const size_t pending = stream_.avail_in;
  if (pending > 0 && reinterpret_cast<uint8_t*>(stream_.next_in) != start) {
    std::copy_n(reinterpret_cast<uint8_t*>(stream_.next_in), pending, start);
  }
  const size_t got = source_.Read(start + pending, kInputSize - pending);
  if (got == 0) {
    sourceDone_ = true;
    if (source_.Failed()) Fail(Failure::kSource);
  }
  stream_.next_in = reinterpret_cast<char*>(start);
  stream_.avail_in = static_cast<unsigned>(pending + got);
  return got > 0;
}

bool ArchiveReader::HasBzipSignature() {
  while (failure_ == Failure::kNone && stream_.avail_in < 3 && FillInput()) {
  }
  if (failure_ != Failure::kNone || stream_.avail_in < 3) return false;
  const uint8_t* in = reinterpret_cast<const uint8_t*>(stream_.next_in);
  return in[0] == 'B' && in[1] == 'Z' && in[2] == 'h';
}

bool ArchiveReader::Read(uint8_t* out, size_t length) {
  if (failure_ != Failure::kNone) return false;
  stream_.next_out = reinterpret_cast<char*>(out);
  while (length > 0) {
    if (streamEnded_) return Fail(Failure::kTooShort);
    if (stream_.avail_in == 0) FillInput();
    if (failure_ != Failure::kNone) return false;
    const unsigned chunk = static_cast<unsigned>(std::min<size_t>(length, 1u << 30));
    stream_.avail_out = chunk;
    const int result = BZ2_bzDecompress(&stream_);
    length -= chunk - stream_.avail_out;
    if (result == BZ_STREAM_END) {
      streamEnded_ = true;
    } else if (result != BZ_OK) {
      return Fail(Failure::kBzip2, result);
    } else if (stream_.avail_in == 0 && sourceDone_ && stream_.avail_out > 0) {
      return Fail(Failure::kBzip2, BZ_UNEXPECTED_EOF);
    }
  }
  return true;
}

bool ArchiveReader::Skip(uint64_t length) {
  uint8_t scratch[16384];
  while (length > 0) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(length, sizeof scratch));
    if (!Read(scratch, n)) return false;
    length -= n;
  }
  return true;
}

bool ArchiveReader::AtEnd() {
  if (failure_ != Failure::kNone) return false;
  uint8_t extra = 0;
  while (!streamEnded_) {
    if (stream_.avail_in == 0) FillInput();
    if (failure_ != Failure::kNone) return false;
    stream_.next_out = reinterpret_cast<char*>(&extra);
    stream_.avail_out = 1;
    const int result = BZ2_bzDecompress(&stream_);
    if (stream_.avail_out == 0) return Fail(Failure::kBzip2, BZ_OUTBUFF_FULL);
    if (result == BZ_STREAM_END) {
      streamEnded_ = true;
    } else if (result != BZ_OK) {
      return Fail(Failure::kBzip2, result);
    } else if (stream_.avail_in == 0 && sourceDone_) {
      return Fail(Failure::kBzip2, BZ_UNEXPECTED_EOF);
    }
  }
  return true;
}
