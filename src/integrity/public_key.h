// The RSA public key that opens version files sealed with the publisher's private key:
// loading it from an SSH "ssh-rsa" blob and the block-by-block public-key transformation.
#ifndef INTEGRITY_PUBLIC_KEY_H
#define INTEGRITY_PUBLIC_KEY_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "integrity/multi_precision.h"

class RsaPublicKey {
 public:
  // Parses the base64 text of an SSH public-key blob (key type, e, n). Keys of up to 4096
  // bits with an exponent of one 32-bit digit load; anything else leaves the key unloaded.
  bool Load(std::string_view base64);
  bool Loaded() const { return modulusDigits_ > 0; }
  int ModulusDigits() const { return modulusDigits_; }
  int ExponentDigits() const { return exponentDigits_; }
  // Bytes per sealed block (the modulus' bytes); each block carries one byte less of data.
  size_t BlockSize() const { return blockSize_; }

  // c^e mod n for each block, the plaintexts concatenated; a last short block is zero-padded
  // at its high end. Nothing for empty input or an unloaded key.
  std::optional<std::vector<uint8_t>> Decrypt(const void* bytes, size_t length) const;

 private:
  MpDigit modulus_[kMpMaxDigits] = {};
  MpDigit exponent_[1] = {};
  int modulusDigits_ = 0;
  int exponentDigits_ = 0;
  size_t blockSize_ = 0;
};

// The process-wide key. LoadPublicKey takes the key built into the program at build time;
// LoadPublicKeyText replaces it with another blob (the publisher tool opens files with the
// key it is given). Both return whether the key loaded.
bool LoadPublicKey();
bool LoadPublicKeyText(std::string_view base64);
const RsaPublicKey& ProcessPublicKey();

// The update engine's step on a downloaded version file: the process key's Decrypt. The
// result is a packed-bytes sequence for UnpackBytes.
std::optional<std::vector<uint8_t>> DecryptVersionFile(const void* bytes, size_t length);

#endif  // INTEGRITY_PUBLIC_KEY_H
