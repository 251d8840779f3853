// Our decryption against OpenSSL's private-key operation. OpenSSL is only linked in the Linux
// build; under Windows the stored sealed file covers the same path.
#include <gtest/gtest.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <memory>
#include <string>
#include <vector>

#include "integrity/packed_bytes.h"
#include "integrity/public_key.h"
#include "integrity/public_key_test_support.h"

namespace {

using namespace key_testing;

using PkeyPointer = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using BnPointer = std::unique_ptr<BIGNUM, decltype(&BN_free)>;

BnPointer Param(const EVP_PKEY* key, const char* name) {
  BIGNUM* value = nullptr;
  EXPECT_EQ(EVP_PKEY_get_bn_param(key, name, &value), 1);
  return BnPointer(value, BN_free);
}

Bytes BigEndian(const BIGNUM* value) {
  Bytes bytes(static_cast<size_t>(BN_num_bytes(value)));
  BN_bn2bin(value, bytes.data());
  return bytes;
}

// Seals with the raw private-key operation, block by block, as the publisher does.
Bytes Seal(const EVP_PKEY* key, const Bytes& plain) {
  const BnPointer n = Param(key, OSSL_PKEY_PARAM_RSA_N);
  const BnPointer d = Param(key, OSSL_PKEY_PARAM_RSA_D);
  const size_t block = static_cast<size_t>(BN_num_bytes(n.get()));
  std::unique_ptr<BN_CTX, decltype(&BN_CTX_free)> context(BN_CTX_new(), BN_CTX_free);
  Bytes sealed;
  for (size_t at = 0; at < plain.size(); at += block - 1) {
    Bytes chunk(plain.begin() + static_cast<long>(at),
                plain.begin() + static_cast<long>(std::min(plain.size(), at + block - 1)));
    BnPointer m(BN_lebin2bn(chunk.data(), static_cast<int>(chunk.size()), nullptr), BN_free);
    BnPointer c(BN_new(), BN_free);
    BN_mod_exp(c.get(), m.get(), d.get(), n.get(), context.get());
    Bytes out(block);
    BN_bn2lebinpad(c.get(), out.data(), static_cast<int>(block));
    sealed.insert(sealed.end(), out.begin(), out.end());
  }
  return sealed;
}

std::string SshBase64(const EVP_PKEY* key) {
  Bytes e = BigEndian(Param(key, OSSL_PKEY_PARAM_RSA_E).get());
  Bytes n = BigEndian(Param(key, OSSL_PKEY_PARAM_RSA_N).get());
  if (n[0] & 0x80) n.insert(n.begin(), 0);
  return Base64(Blob(e, n));
}

TEST(PublicKeyTest, OpensWhatOpenSslSealsWithTheTestKey) {
  const std::string pem = ReadKeysFile("test_key");
  std::unique_ptr<BIO, decltype(&BIO_free)> bio(
      BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())), BIO_free);
  PkeyPointer key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr), EVP_PKEY_free);
  ASSERT_NE(key, nullptr);
  RsaPublicKey publicKey;
  ASSERT_TRUE(publicKey.Load(PublicKeyBase64(ReadKeysFile("test_key.pub"))));
  Bytes plain = Pattern254();
  for (uint8_t& byte : plain) byte = static_cast<uint8_t>(byte * 7 + 1);
  EXPECT_EQ(publicKey.Decrypt(Seal(key.get(), plain).data(), 256), plain);
}

TEST(PublicKeyTest, LargerKeysSealAndOpenVersionTexts) {
  const std::string text = "version text\r\n" + std::string(3000, 'x') + "end of file\r\n";
  const Bytes packed = PackBytes(text.data(), text.size());
  for (unsigned bits : {2048u, 3072u, 4096u}) {
    SCOPED_TRACE(bits);
    PkeyPointer key(EVP_RSA_gen(bits), EVP_PKEY_free);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(LoadPublicKeyText(SshBase64(key.get())));
    EXPECT_EQ(ProcessPublicKey().BlockSize(), bits / 8);
    const Bytes sealed = Seal(key.get(), packed);
    const auto opened = DecryptVersionFile(sealed.data(), sealed.size());
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(UnpackBytes(opened->data(), opened->size()), text);
  }
  LoadPublicKey();
}

}  // namespace
