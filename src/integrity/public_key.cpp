#include "integrity/public_key.h"

#include <array>
#include <cstring>
#include <string>

#include "integrity/built_in_key.h"

namespace {

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Groups of four characters; a group with a character outside the alphabet or a misplaced
// "=" gives nothing and is skipped.
std::vector<uint8_t> DecodeBase64(std::string_view text) {
  std::vector<uint8_t> bytes;
  for (size_t at = 0; at + 4 <= text.size(); at += 4) {
    const std::string_view group = text.substr(at, 4);
    int padding = 0;
    if (group[3] == '=') padding = group[2] == '=' ? 2 : 1;
    uint32_t bits = 0;
    bool valid = true;
    for (int i = 0; i < 4 && valid; ++i) {
      const int value = i >= 4 - padding ? 0 : Base64Value(group[i]);
      valid = value >= 0;
      bits = bits << 6 | static_cast<uint32_t>(value);
    }
    if (!valid) continue;
    for (int i = 0; i < 3 - padding; ++i) {
      bytes.push_back(static_cast<uint8_t>(bits >> (16 - 8 * i)));
    }
  }
  return bytes;
}

// One length-prefixed field of the blob: a 32-bit big-endian length, then its bytes.
struct Field {
  const uint8_t* bytes = nullptr;
  size_t length = 0;
};

bool ReadField(const std::vector<uint8_t>& blob, size_t& at, Field& field) {
  if (blob.size() < 4 || at > blob.size() - 4) return false;
  const uint32_t length = static_cast<uint32_t>(blob[at]) << 24 | blob[at + 1] << 16 |
                          blob[at + 2] << 8 | blob[at + 3];
  if ((length & 0x80000000u) != 0 || length > blob.size() - at - 4) return false;
  field.bytes = blob.data() + at + 4;
  field.length = length;
  at += 4 + length;
  return true;
}

// SSH stores positive integers with a leading zero byte when the top bit is set; the digit
// count has to come from the significant bytes, or a 1024-bit modulus would count 33 digits.
Field SignificantBytes(Field field) {
  while (field.length > 0 && field.bytes[0] == 0) {
    ++field.bytes;
    --field.length;
  }
  return field;
}

int DigitsFor(size_t bytes) { return static_cast<int>((bytes * 8 + 31) / 32); }

RsaPublicKey& ProcessKey() {
  static RsaPublicKey key;
  return key;
}

}  // namespace

bool RsaPublicKey::Load(std::string_view base64) {
  *this = RsaPublicKey();
  const std::vector<uint8_t> blob = DecodeBase64(base64);
  size_t at = 0;
  Field type;
  Field e;
  Field n;
  if (!ReadField(blob, at, type) || !ReadField(blob, at, e)) return false;
  e = SignificantBytes(e);
  if (e.length == 0 || e.length > 4) return false;
  MpDecodeBigEndian(exponent_, 1, e.bytes, e.length);
  exponentDigits_ = 1;
  if (!ReadField(blob, at, n)) return false;
  n = SignificantBytes(n);
  // At least two bytes, so that every block carries data.
  if (n.length < 2 || n.length > kMpMaxDigits * sizeof(MpDigit)) return false;
  MpDecodeBigEndian(modulus_, kMpMaxDigits, n.bytes, n.length);
  modulusDigits_ = DigitsFor(n.length);
  blockSize_ = n.length;
  return true;
}

std::optional<std::vector<uint8_t>> RsaPublicKey::Decrypt(const void* bytes,
                                                          size_t length) const {
  if (bytes == nullptr || length == 0 || !Loaded()) return std::nullopt;
  const uint8_t* input = static_cast<const uint8_t*>(bytes);
  const size_t dataSize = blockSize_ - 1;
  const size_t blocks = (length + blockSize_ - 1) / blockSize_;
  std::vector<uint8_t> output(blocks * dataSize);
  MpDigit c[kMpMaxDigits];
  MpDigit m[kMpMaxDigits];
  std::array<uint8_t, kMpMaxDigits * sizeof(MpDigit)> plain;
  for (size_t block = 0; block < blocks; ++block) {
    const size_t at = block * blockSize_;
    MpDecodeLittleEndian(c, modulusDigits_, input + at, std::min(blockSize_, length - at));
    MpModExp(m, c, exponent_, exponentDigits_, modulus_, modulusDigits_);
    MpEncodeLittleEndian(plain.data(), blockSize_, m, modulusDigits_);
    // The block's top byte is zero for a genuine file; it is not part of the data.
    std::memcpy(output.data() + block * dataSize, plain.data(), dataSize);
  }
  return output;
}

bool LoadPublicKey() { return ProcessKey().Load(kBuiltInPublicKey); }

bool LoadPublicKeyText(std::string_view base64) { return ProcessKey().Load(base64); }

const RsaPublicKey& ProcessPublicKey() { return ProcessKey(); }

std::optional<std::vector<uint8_t>> DecryptVersionFile(const void* bytes, size_t length) {
  return ProcessKey().Decrypt(bytes, length);
}
