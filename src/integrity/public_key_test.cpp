#include "integrity/public_key.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "integrity/packed_bytes.h"

#ifndef _WIN32
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#endif

namespace {

using Bytes = std::vector<uint8_t>;

std::string ReadKeysFile(const std::string& name) {
  std::ifstream in(std::string(UPDATER_TEST_KEYS_DIR) + "/" + name, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// The base64 word of an OpenSSH "ssh-rsa BASE64 comment" line.
std::string PublicKeyBase64(const std::string& line) {
  std::istringstream words(line);
  std::string type, base64;
  words >> type >> base64;
  return base64;
}

std::string Base64(const Bytes& bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (size_t at = 0; at < bytes.size(); at += 3) {
    const size_t count = std::min<size_t>(3, bytes.size() - at);
    uint32_t bits = 0;
    for (size_t i = 0; i < 3; ++i) bits = bits << 8 | (i < count ? bytes[at + i] : 0);
    for (size_t i = 0; i < 4; ++i) {
      text += i <= count ? kAlphabet[(bits >> (18 - 6 * i)) & 63] : '=';
    }
  }
  return text;
}

void AppendField(Bytes& blob, const Bytes& field, uint32_t statedLength) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    blob.push_back(static_cast<uint8_t>(statedLength >> shift));
  }
  blob.insert(blob.end(), field.begin(), field.end());
}

Bytes Blob(const Bytes& e, const Bytes& n) {
  Bytes blob;
  const std::string type = "ssh-rsa";
  AppendField(blob, Bytes(type.begin(), type.end()), 7);
  AppendField(blob, e, static_cast<uint32_t>(e.size()));
  AppendField(blob, n, static_cast<uint32_t>(n.size()));
  return blob;
}

Bytes Pattern254() {
  Bytes plain(254);
  for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i * 37 + 11);
  return plain;
}

TEST(PublicKeyTest, TestKeyLoadsDespiteTheLeadingZeroOfItsModulus) {
  // SSH writes the 1024-bit modulus as 129 bytes; the key must still count 32 digits.
  RsaPublicKey key;
  ASSERT_TRUE(key.Load(PublicKeyBase64(ReadKeysFile("test_key.pub"))));
  EXPECT_EQ(key.ModulusDigits(), 32);
  EXPECT_EQ(key.ExponentDigits(), 1);
  EXPECT_EQ(key.BlockSize(), 128u);
}

TEST(PublicKeyTest, StoredSealedBlocksOpenWithTheTestKey) {
  RsaPublicKey key;
  ASSERT_TRUE(key.Load(PublicKeyBase64(ReadKeysFile("test_key.pub"))));
  const std::string sealed = ReadKeysFile("sealed_254.bin");
  ASSERT_EQ(sealed.size(), 256u);
  EXPECT_EQ(key.Decrypt(sealed.data(), sealed.size()), Pattern254());

  // A last short block counts as zero-padded at its high end.
  std::string padded = sealed.substr(0, 228);
  padded.append(28, '\0');
  const auto shortened = key.Decrypt(sealed.data(), 228);
  ASSERT_TRUE(shortened.has_value());
  EXPECT_EQ(shortened->size(), 254u);
  EXPECT_EQ(shortened, key.Decrypt(padded.data(), padded.size()));
}

TEST(PublicKeyTest, NoInputOrNoKeyDecryptsNothing) {
  RsaPublicKey unloaded;
  const char byte = 1;
  EXPECT_FALSE(unloaded.Decrypt(&byte, 1).has_value());
  RsaPublicKey key;
  ASSERT_TRUE(key.Load(PublicKeyBase64(ReadKeysFile("test_key.pub"))));
  EXPECT_FALSE(key.Decrypt(&byte, 0).has_value());
  EXPECT_FALSE(key.Decrypt(nullptr, 5).has_value());
}

TEST(PublicKeyTest, MalformedBlobsLeaveTheKeyUnloaded) {
  const Bytes modulus(128, 0xc5);
  const Bytes e = {1, 0, 1};
  Bytes secondFieldTooLong;
  AppendField(secondFieldTooLong, Bytes{'s', 's', 'h'}, 3);
  AppendField(secondFieldTooLong, e, 300);
  Bytes thirdFieldTooLong;
  AppendField(thirdFieldTooLong, Bytes{'s'}, 1);
  AppendField(thirdFieldTooLong, e, 3);
  AppendField(thirdFieldTooLong, modulus, 129);
  Bytes topBitLength;
  AppendField(topBitLength, Bytes{'s'}, 0x80000001u);

  struct Case {
    const char* what;
    std::string base64;
    int exponentDigits;
  };
  const Case cases[] = {
      {"second field runs past the blob", Base64(secondFieldTooLong), 0},
      {"third field runs past the blob", Base64(thirdFieldTooLong), 1},
      {"length with the top bit set", Base64(topBitLength), 0},
      {"modulus above 4096 bits", Base64(Blob(e, Bytes(513, 0xc5))), 1},
      {"exponent wider than one digit", Base64(Blob({1, 0, 0, 0, 1}, modulus)), 0},
      {"not base64 at all", std::string(200, '*'), 0},
      {"empty", "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RsaPublicKey key;
    EXPECT_FALSE(key.Load(c.base64));
    EXPECT_EQ(key.ModulusDigits(), 0);
    EXPECT_EQ(key.ExponentDigits(), c.exponentDigits);
  }
  RsaPublicKey wellFormed;
  EXPECT_TRUE(wellFormed.Load(Base64(Blob(e, modulus))));
}

TEST(PublicKeyTest, ProcessKeyLoadsAndRefusesEmptyFiles) {
  EXPECT_TRUE(LoadPublicKey());  // whatever key the build was configured with
  EXPECT_TRUE(ProcessPublicKey().Loaded());
  EXPECT_FALSE(DecryptVersionFile("", 0).has_value());
}

#ifndef _WIN32
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
#endif  // _WIN32

}  // namespace
