#include "integrity/packed_bytes.h"

#include <bzlib.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr size_t kHeaderSize = 5;
constexpr char kMarker = '1';
// Output grows from this size as the stream actually produces data, so a forged length
// field cannot make us allocate more than the stream really holds.
constexpr size_t kFirstOutputSize = 64 * 1024;

uint32_t ReadLittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

std::vector<uint8_t> PackBytes(const void* bytes, size_t length) {
  if (length > UINT32_MAX / 2) return {};
  // bzip2 never grows data by more than 1 % plus 600 bytes; this leaves ample room.
  unsigned int compressedSize = static_cast<unsigned int>(800 + length + length / 5);
  std::vector<uint8_t> packed(kHeaderSize + compressedSize);
  char* source = const_cast<char*>(static_cast<const char*>(bytes));
  if (BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(packed.data() + kHeaderSize),
                               &compressedSize, source, static_cast<unsigned int>(length), 9, 0,
                               30) != BZ_OK) {
    return {};
  }
  packed[0] = kMarker;
  for (int i = 0; i < 4; ++i) packed[1 + i] = static_cast<uint8_t>(length >> (8 * i));
  packed.resize(kHeaderSize + compressedSize);
  return packed;
}

std::optional<std::string> UnpackBytes(const void* bytes, size_t length) {
  const uint8_t* packed = static_cast<const uint8_t*>(bytes);
  if (packed == nullptr || length <= 7) return std::nullopt;
  if (packed[0] != kMarker || std::memcmp(packed + kHeaderSize, "BZh", 3) != 0) return std::nullopt;
  const size_t stated = ReadLittleEndian32(packed + 1);

  bz_stream stream{};
  if (BZ2_bzDecompressInit(&stream, 0, 0) != BZ_OK) return std::nullopt;
  const uint8_t* input = packed + kHeaderSize;
  size_t inputLeft = length - kHeaderSize;
  std::string output;
  size_t produced = 0;
  int status = BZ_OK;
  while (status == BZ_OK) {
    if (produced == output.size() && output.size() < stated) {
      output.resize(std::min(stated, std::max(2 * output.size(), kFirstOutputSize)));
    }
    if (stream.avail_in == 0 && inputLeft > 0) {
      const size_t chunk = std::min<size_t>(inputLeft, UINT_MAX);
      stream.next_in = const_cast<char*>(reinterpret_cast<const char*>(input));
      stream.avail_in = static_cast<unsigned int>(chunk);
      input += chunk;
      inputLeft -= chunk;
    }
    const unsigned int inputBefore = stream.avail_in;
    const size_t room = std::min<size_t>(output.size() - produced, UINT_MAX);
    stream.next_out = output.data() + produced;
    stream.avail_out = static_cast<unsigned int>(room);
    status = BZ2_bzDecompress(&stream);
    produced += room - stream.avail_out;
    // No progress: the input ended early or the data is longer than the stated length.
    if (status == BZ_OK && stream.avail_in == inputBefore && stream.avail_out == room) break;
  }
  BZ2_bzDecompressEnd(&stream);
  if (status != BZ_STREAM_END) return std::nullopt;
  output.resize(produced);
  return output;
}
