// Digests through OpenSSL's EVP interface, which uses the CPU's SHA instructions when present.
#include <openssl/evp.h>

#include "integrity/digest_context.h"

namespace {

// Fetched once per process: a fetch per hasher would cost more than hashing a small buffer.
const EVP_MD* Fetch(DigestContext::Algorithm algorithm) {
  static const EVP_MD* md5 = EVP_MD_fetch(nullptr, "MD5", nullptr);
  static const EVP_MD* sha256 = EVP_MD_fetch(nullptr, "SHA256", nullptr);
  return algorithm == DigestContext::Algorithm::kMd5 ? md5 : sha256;
}

EVP_MD_CTX* Evp(void* handle) { return static_cast<EVP_MD_CTX*>(handle); }

}  // namespace

DigestContext::DigestContext(Algorithm algorithm) : handle_(EVP_MD_CTX_new()) {
  EVP_DigestInit_ex(Evp(handle_), Fetch(algorithm), nullptr);
}

DigestContext::~DigestContext() { EVP_MD_CTX_free(Evp(handle_)); }

void DigestContext::Update(const void* bytes, size_t length) {
  if (length > 0) EVP_DigestUpdate(Evp(handle_), bytes, length);
}

void DigestContext::Finish(uint8_t* out) {
  unsigned int size = 0;
  EVP_DigestFinal_ex(Evp(handle_), out, &size);
}
