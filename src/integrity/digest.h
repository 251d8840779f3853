// MD5 and SHA-256 digests of buffers and files, their text forms, the per-run digest cache
// and the packet hash (the XOR of the SHA-256 digests of a packet's files).
#ifndef INTEGRITY_DIGEST_H
#define INTEGRITY_DIGEST_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "base/string.h"

class DigestContext;

using Md5Digest = std::array<uint8_t, 16>;

// A SHA-256 result: the 32 digest bytes followed by 8 bytes that are always zero. Packet
// hashes combine whole results, so the tail takes part in every XOR.
struct Sha256Result {
  static constexpr size_t kSize = 40;
  static constexpr size_t kDigestSize = 32;
  std::array<uint8_t, kSize> bytes{};
  bool operator==(const Sha256Result&) const = default;
};

// Incremental digest over the platform's crypto library, for data that arrives in pieces.
// Result is Md5Digest or Sha256Result.
template <typename Result>
class DigestHasher {
 public:
  DigestHasher();
  ~DigestHasher();
  DigestHasher(const DigestHasher&) = delete;
  DigestHasher& operator=(const DigestHasher&) = delete;
  void Update(const void* bytes, size_t length);
  Result Finish();

 private:
  std::unique_ptr<DigestContext> context_;
};

using Md5Hasher = DigestHasher<Md5Digest>;
using Sha256Hasher = DigestHasher<Sha256Result>;
extern template class DigestHasher<Md5Digest>;
extern template class DigestHasher<Sha256Result>;

Md5Digest Md5Buffer(const void* bytes, size_t length);
// 32 lower-case hexadecimal digits.
String Md5Hex(const void* bytes, size_t length);
// MD5 text of a file's contents; empty when the file cannot be opened or read.
String Md5File(const String& path);
// MD5 text of a file's contents; "0" when the file cannot be opened or read.
String Md5FileText(const String& path);
// As Md5FileText, of the contents in the form they are stored in the game folder under `name`
// (scrambled unless the name's extension is exempt).
String Md5StoredFileText(const String& path, const String& name);

Sha256Result Sha256Buffer(const void* bytes, size_t length);
// Nothing when the file cannot be opened or a read fails: a partial read must never pass as
// a digest.
std::optional<Sha256Result> Sha256File(const String& path);

// Sha256File through the digest cache while the cache is on. Unreadable files are not cached.
std::optional<Sha256Result> CachedFileDigest(const String& path);
void SetDigestCacheEnabled(bool on);
bool DigestCacheEnabled();
void ClearDigestCache();

// 64 lower-case hexadecimal digits of the 32 digest bytes; "0" for nothing.
String DigestText(const std::optional<Sha256Result>& result);

// XORs the digest written as hexadecimal text (pairs of digits, at most 40 bytes) into the
// accumulator.
void CombineDigests(Sha256Result& accumulator, const String& text);
void CombineDigests(Sha256Result& accumulator, const Sha256Result& digest);

// XOR of CachedFileDigest(directory + name) over the names; unreadable files add nothing.
// A directory without a trailing separator gets "/" appended.
Sha256Result CombineFileDigests(const String& directory, std::span<const String> names);

#endif  // INTEGRITY_DIGEST_H
