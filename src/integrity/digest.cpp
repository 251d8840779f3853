#include "integrity/digest.h"

#include <cstdio>
#include <string>
#include <type_traits>
#include <unordered_map>

#include "base/update_log.h"
#include "integrity/digest_context.h"
#include "integrity/scramble.h"
#include "platform/file_system.h"

namespace {

// Large blocks keep the per-call overhead far below the hashing cost on big files.
constexpr size_t kFileBlockSize = 1 << 20;

String HexText(const uint8_t* bytes, size_t length) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(2 * length, '0');
  for (size_t i = 0; i < length; ++i) {
    text[2 * i] = kDigits[bytes[i] >> 4];
    text[2 * i + 1] = kDigits[bytes[i] & 0x0f];
  }
  return String(text);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Feeds a whole file to `hasher`, through `scrambler` when there is one; false when it cannot
// be opened or a read fails.
template <typename Hasher>
bool HashFile(const String& path, Hasher& hasher, Scrambler* scrambler = nullptr) {
  std::FILE* file = platform::OpenFile(std::string(path.View()), "rb");
  if (file == nullptr) return false;
  std::setvbuf(file, nullptr, _IONBF, 0);  // blocks go straight into our buffer
  std::unique_ptr<uint8_t[]> block(new uint8_t[kFileBlockSize]);
  size_t got = 0;
  while ((got = std::fread(block.get(), 1, kFileBlockSize, file)) > 0) {
    if (scrambler != nullptr) scrambler->Apply(block.get(), got);
    hasher.Update(block.get(), got);
  }
  const bool failed = std::ferror(file) != 0;
  return std::fclose(file) == 0 && !failed;
}

uint8_t* DigestBytes(Md5Digest& digest) { return digest.data(); }
uint8_t* DigestBytes(Sha256Result& result) { return result.bytes.data(); }

// Empty when the file cannot be opened or read.
String Md5OfFile(const String& path, Scrambler* scrambler) {
  Md5Hasher hasher;
  if (!HashFile(path, hasher, scrambler)) return String();
  const Md5Digest digest = hasher.Finish();
  return HexText(digest.data(), digest.size());
}

struct DigestCache {
  bool enabled = false;
  std::unordered_map<std::string, Sha256Result> entries;
};

DigestCache& Cache() {
  static DigestCache cache;
  return cache;
}

}  // namespace

template <typename Result>
DigestHasher<Result>::DigestHasher()
    : context_(std::make_unique<DigestContext>(std::is_same_v<Result, Md5Digest>
                                                   ? DigestContext::Algorithm::kMd5
                                                   : DigestContext::Algorithm::kSha256)) {}

template <typename Result>
DigestHasher<Result>::~DigestHasher() = default;

template <typename Result>
void DigestHasher<Result>::Update(const void* bytes, size_t length) {
  context_->Update(bytes, length);
}

template <typename Result>
Result DigestHasher<Result>::Finish() {
  Result result{};
  context_->Finish(DigestBytes(result));
  return result;
}

template class DigestHasher<Md5Digest>;
template class DigestHasher<Sha256Result>;

Md5Digest Md5Buffer(const void* bytes, size_t length) {
  Md5Hasher hasher;
  hasher.Update(bytes, length);
  return hasher.Finish();
}

String Md5Hex(const void* bytes, size_t length) {
  const Md5Digest digest = Md5Buffer(bytes, length);
  return HexText(digest.data(), digest.size());
}

String Md5File(const String& path) { return Md5OfFile(path, nullptr); }

String Md5FileText(const String& path) {
  String text = Md5File(path);
  return text.IsEmpty() ? String("0") : text;
}

String Md5StoredFileText(const String& path, const String& name) {
  if (!IsStoredScrambled(name.View())) return Md5FileText(path);
  Scrambler scrambler(name.View());
  String text = Md5OfFile(path, &scrambler);
  if (text.IsEmpty()) return String("0");
  UpdateLog(String("scrambling file for hashing: ").Concat(path).Text());
  return text;
}

Sha256Result Sha256Buffer(const void* bytes, size_t length) {
  Sha256Hasher hasher;
  hasher.Update(bytes, length);
  return hasher.Finish();
}

std::optional<Sha256Result> Sha256File(const String& path) {
  Sha256Hasher hasher;
  if (!HashFile(path, hasher)) return std::nullopt;
  return hasher.Finish();
}

std::optional<Sha256Result> CachedFileDigest(const String& path) {
  DigestCache& cache = Cache();
  if (!cache.enabled) return Sha256File(path);
  const std::string key(path.View());
  const auto found = cache.entries.find(key);
  if (found != cache.entries.end()) return found->second;
  std::optional<Sha256Result> result = Sha256File(path);
  if (result) cache.entries.emplace(key, *result);
  return result;
}

void SetDigestCacheEnabled(bool on) { Cache().enabled = on; }

bool DigestCacheEnabled() { return Cache().enabled; }

void ClearDigestCache() { Cache().entries.clear(); }

String DigestText(const std::optional<Sha256Result>& result) {
  if (!result) return String("0");
  return HexText(result->bytes.data(), Sha256Result::kDigestSize);
}

void CombineDigests(Sha256Result& accumulator, const String& text) {
  Sha256Result digest;
  const std::string_view digits = text.View();
  for (size_t i = 0; i < digest.bytes.size() && 2 * i + 1 < digits.size(); ++i) {
    const int high = HexValue(digits[2 * i]);
    const int low = HexValue(digits[2 * i + 1]);
    if (high < 0 || low < 0) break;
    digest.bytes[i] = static_cast<uint8_t>(high << 4 | low);
  }
  CombineDigests(accumulator, digest);
}

void CombineDigests(Sha256Result& accumulator, const Sha256Result& digest) {
  for (size_t i = 0; i < accumulator.bytes.size(); ++i) accumulator.bytes[i] ^= digest.bytes[i];
}

Sha256Result CombineFileDigests(const String& directory, std::span<const String> names) {
  Sha256Result accumulator;
  String prefix = directory;
  if (!prefix.IsEmpty() && prefix.View().back() != '/' && prefix.View().back() != '\\') {
    prefix.AppendChar('/');
  }
  for (const String& name : names) {
    if (const std::optional<Sha256Result> digest = CachedFileDigest(prefix.Concat(name))) {
      CombineDigests(accumulator, *digest);
    }
  }
  return accumulator;
}
