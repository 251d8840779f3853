// The platform's digest primitive behind the MD5 and SHA-256 hashers.
#ifndef INTEGRITY_DIGEST_CONTEXT_H
#define INTEGRITY_DIGEST_CONTEXT_H

#include <cstddef>
#include <cstdint>

class DigestContext {
 public:
  enum class Algorithm { kMd5, kSha256 };

  explicit DigestContext(Algorithm algorithm);
  ~DigestContext();
  DigestContext(const DigestContext&) = delete;
  DigestContext& operator=(const DigestContext&) = delete;

  void Update(const void* bytes, size_t length);
  // Writes the 16 or 32 digest bytes; the context takes no more data afterwards.
  void Finish(uint8_t* out);

 private:
  void* handle_;
};

#endif  // INTEGRITY_DIGEST_CONTEXT_H
