// The digit arithmetic checked against OpenSSL's BIGNUM on random and boundary values.
// OpenSSL is only linked in the Linux build; the Windows build checks the arithmetic through
// the stored sealed-file vectors of the public-key tests.

#include "integrity/multi_precision.h"

#include <gtest/gtest.h>
#include <openssl/bn.h>

#include <memory>
#include <random>
#include <vector>

namespace {

using Digits = std::vector<MpDigit>;
using BnPointer = std::unique_ptr<BIGNUM, decltype(&BN_free)>;

BnPointer ToBn(const Digits& a) {
  std::vector<uint8_t> bytes(a.size() * 4);
  MpEncodeLittleEndian(bytes.data(), bytes.size(), a.data(), static_cast<int>(a.size()));
  return BnPointer(BN_lebin2bn(bytes.data(), static_cast<int>(bytes.size()), nullptr), BN_free);
}

Digits FromBn(const BIGNUM* bn, size_t digits) {
  std::vector<uint8_t> bytes(digits * 4);
  EXPECT_GT(BN_bn2lebinpad(bn, bytes.data(), static_cast<int>(bytes.size())), 0);
  Digits a(digits);
  MpDecodeLittleEndian(a.data(), static_cast<int>(digits), bytes.data(), bytes.size());
  return a;
}

class MultiPrecisionTest : public testing::Test {
 protected:
  Digits Random(size_t digits) {
    Digits a(digits);
    for (MpDigit& digit : a) digit = static_cast<MpDigit>(random_());
    return a;
  }
  // Random values plus the shapes that stress carries and quotient estimates.
  std::vector<Digits> Values(size_t digits) {
    std::vector<Digits> values;
    for (int i = 0; i < 6; ++i) values.push_back(Random(digits));
    values.push_back(Digits(digits, 0xffffffffu));
    Digits top(digits, 0);
    top.back() = 0x80000000u;
    values.push_back(top);
    Digits low = Random(digits);
    low.back() = 1;  // a small top digit needs a large normalising shift
    values.push_back(low);
    return values;
  }

  std::mt19937 random_{20240611};
  std::unique_ptr<BN_CTX, decltype(&BN_CTX_free)> context_{BN_CTX_new(), BN_CTX_free};
};

const size_t kSizes[] = {1, 2, 3, 32, 64, 128};

TEST_F(MultiPrecisionTest, MultiplyMatchesOpenSsl) {
  for (size_t n : kSizes) {
    for (const Digits& a : Values(n)) {
      const Digits b = Random(n);
      Digits product(2 * n);
      MpMultiply(product.data(), a.data(), b.data(), static_cast<int>(n));
      BnPointer expected(BN_new(), BN_free);
      BN_mul(expected.get(), ToBn(a).get(), ToBn(b).get(), context_.get());
      EXPECT_EQ(product, FromBn(expected.get(), 2 * n)) << "digits " << n;
    }
  }
}

TEST_F(MultiPrecisionTest, DivideMatchesOpenSsl) {
  for (size_t n : kSizes) {
    for (const Digits& d : Values(n)) {
      for (const Digits& a : {Random(2 * n), Digits(2 * n, 0xffffffffu), Random(n)}) {
        Digits quotient(a.size());
        Digits remainder(n);
        MpDivide(quotient.data(), remainder.data(), a.data(), static_cast<int>(a.size()), d.data(),
                 static_cast<int>(n));
        BnPointer q(BN_new(), BN_free);
        BnPointer r(BN_new(), BN_free);
        BN_div(q.get(), r.get(), ToBn(a).get(), ToBn(d).get(), context_.get());
        EXPECT_EQ(quotient, FromBn(q.get(), a.size())) << "digits " << n;
        EXPECT_EQ(remainder, FromBn(r.get(), n)) << "digits " << n;
      }
    }
  }
}

TEST_F(MultiPrecisionTest, DivideCorrectsAnOverestimatedQuotientDigit) {
  // The top-two-digit estimate is one too large here and the divisor must be added back.
  const Digits a = {0, 0, 0x80000000u, 0x7fffffffu};
  const Digits d = {1, 0, 0x80000000u};
  Digits quotient(4);
  Digits remainder(3);
  MpDivide(quotient.data(), remainder.data(), a.data(), 4, d.data(), 3);
  EXPECT_EQ(quotient, (Digits{0xfffffffeu, 0, 0, 0}));
  EXPECT_EQ(remainder, (Digits{2, 0xffffffffu, 0x7fffffffu}));
}

TEST_F(MultiPrecisionTest, ModExpMatchesOpenSsl) {
  for (size_t n : {size_t{2}, size_t{32}, size_t{64}, size_t{128}}) {
    for (MpDigit e : {MpDigit{1}, MpDigit{2}, MpDigit{3}, MpDigit{65537}, MpDigit{0xffffffffu},
                      static_cast<MpDigit>(random_())}) {
      Digits m = Random(n);
      m.back() |= 0x80000000u;
      m.front() |= 1;
      const Digits c = Random(n);  // may exceed the modulus
      Digits result(n);
      MpModExp(result.data(), c.data(), &e, 1, m.data(), static_cast<int>(n));
      BnPointer expected(BN_new(), BN_free);
      BnPointer exponent(BN_new(), BN_free);
      BN_set_word(exponent.get(), e);
      BN_mod_exp(expected.get(), ToBn(c).get(), exponent.get(), ToBn(m).get(), context_.get());
      EXPECT_EQ(result, FromBn(expected.get(), n)) << "digits " << n << " e " << e;
    }
  }
}

}  // namespace
