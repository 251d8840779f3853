#include "integrity/public_key.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "integrity/packed_bytes.h"
#include "integrity/public_key_test_support.h"

namespace {

using namespace key_testing;

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

}  // namespace
