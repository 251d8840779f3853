// Digests through the system's CNG (BCrypt) providers.
#include <windows.h>
#include <bcrypt.h>

#include "integrity/digest_context.h"

namespace {

// Providers are opened once per process and stay open: opening one is far slower than
// hashing a small buffer.
BCRYPT_ALG_HANDLE Provider(DigestContext::Algorithm algorithm) {
  static BCRYPT_ALG_HANDLE md5 = [] {
    BCRYPT_ALG_HANDLE handle = nullptr;
    BCryptOpenAlgorithmProvider(&handle, BCRYPT_MD5_ALGORITHM, nullptr, 0);
    return handle;
  }();
  static BCRYPT_ALG_HANDLE sha256 = [] {
    BCRYPT_ALG_HANDLE handle = nullptr;
    BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
    return handle;
  }();
  return algorithm == DigestContext::Algorithm::kMd5 ? md5 : sha256;
}

BCRYPT_HASH_HANDLE Hash(void* handle) { return static_cast<BCRYPT_HASH_HANDLE>(handle); }

}  // namespace

DigestContext::DigestContext(Algorithm algorithm) : handle_(nullptr) {
  BCRYPT_HASH_HANDLE hash = nullptr;
  // Without a hash-object buffer the provider allocates its own (Windows 7 and later).
  BCryptCreateHash(Provider(algorithm), &hash, nullptr, 0, nullptr, 0, 0);
  handle_ = hash;
}

DigestContext::~DigestContext() {
  if (handle_ != nullptr) BCryptDestroyHash(Hash(handle_));
}

void DigestContext::Update(const void* bytes, size_t length) {
  const UCHAR* data = static_cast<const UCHAR*>(bytes);
  while (length > 0) {
    const ULONG chunk = length > 0x40000000 ? 0x40000000 : static_cast<ULONG>(length);
    BCryptHashData(Hash(handle_), const_cast<UCHAR*>(data), chunk, 0);
    data += chunk;
    length -= chunk;
  }
}

void DigestContext::Finish(uint8_t* out) {
  DWORD size = 0;
  ULONG written = 0;
  BCryptGetProperty(Hash(handle_), BCRYPT_HASH_LENGTH, reinterpret_cast<PUCHAR>(&size),
                    sizeof size, &written, 0);
  BCryptFinishHash(Hash(handle_), out, size, 0);
}
