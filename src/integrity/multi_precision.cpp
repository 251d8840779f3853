#include "integrity/multi_precision.h"

#include <algorithm>
#include <bit>

namespace {

constexpr int kDigitBits = 32;

}  // namespace

void MpDecodeBigEndian(MpDigit* a, int digits, const uint8_t* bytes, size_t length) {
  MpAssignZero(a, digits);
  for (size_t j = 0; j < length; ++j) {  // j counts bytes from the least significant end
    size_t digit = j / 4;
    if (digit >= static_cast<size_t>(digits)) break;
    a[digit] |= static_cast<MpDigit>(bytes[length - 1 - j]) << (8 * (j % 4));
  }
}

void MpDecodeLittleEndian(MpDigit* a, int digits, const uint8_t* bytes, size_t length) {
  MpAssignZero(a, digits);
  for (size_t j = 0; j < length && j / 4 < static_cast<size_t>(digits); ++j) {
    a[j / 4] |= static_cast<MpDigit>(bytes[j]) << (8 * (j % 4));
  }
}

void MpEncodeLittleEndian(uint8_t* bytes, size_t length, const MpDigit* a, int digits) {
  for (size_t j = 0; j < length; ++j) {
    bytes[j] = j / 4 < static_cast<size_t>(digits) ? static_cast<uint8_t>(a[j / 4] >> (8 * (j % 4)))
                                                   : 0;
  }
}

void MpAssignZero(MpDigit* a, int digits) { std::fill(a, a + digits, 0u); }

void MpAssign(MpDigit* a, const MpDigit* b, int digits) { std::copy(b, b + digits, a); }

int MpCompare(const MpDigit* a, const MpDigit* b, int digits) {
  for (int i = digits - 1; i >= 0; --i) {
    if (a[i] != b[i]) return a[i] > b[i] ? 1 : -1;
  }
  return 0;
}

int MpSignificantDigits(const MpDigit* a, int digits) {
  while (digits > 0 && a[digits - 1] == 0) --digits;
  return digits;
}

MpDigit MpAdd(MpDigit* r, const MpDigit* a, const MpDigit* b, int n) {
  uint64_t carry = 0;
  for (int i = 0; i < n; ++i) {
    uint64_t sum = static_cast<uint64_t>(a[i]) + b[i] + carry;
    r[i] = static_cast<MpDigit>(sum);
    carry = sum >> kDigitBits;
  }
  return static_cast<MpDigit>(carry);
}

MpDigit MpSubtract(MpDigit* r, const MpDigit* a, const MpDigit* b, int n) {
  MpDigit borrow = 0;
  for (int i = 0; i < n; ++i) {
    MpDigit ai = a[i];
    MpDigit bi = b[i];
    MpDigit diff = ai - bi - borrow;
    borrow = (ai < bi || (ai == bi && borrow)) ? 1 : 0;
    r[i] = diff;
  }
  return borrow;
}

// Widening to 64 bits keeps a shift by 0 defined, so no digit is ever shifted by 32.
MpDigit MpShiftLeft(MpDigit* r, const MpDigit* a, unsigned bits, int n) {
  MpDigit carry = 0;
  for (int i = 0; i < n; ++i) {
    const uint64_t wide = static_cast<uint64_t>(a[i]) << bits;
    r[i] = static_cast<MpDigit>(wide) | carry;
    carry = static_cast<MpDigit>(wide >> kDigitBits);
  }
  return carry;
}

void MpShiftRight(MpDigit* r, const MpDigit* a, unsigned bits, int n) {
  MpDigit carry = 0;
  for (int i = n - 1; i >= 0; --i) {
    const uint64_t wide = (static_cast<uint64_t>(a[i]) << kDigitBits) >> bits;
    r[i] = static_cast<MpDigit>(wide >> kDigitBits) | carry;
    carry = static_cast<MpDigit>(wide);
  }
}

MpDigit MpAddDigitMultiple(MpDigit* r, const MpDigit* a, MpDigit c, const MpDigit* b, int n) {
  uint64_t carry = 0;
  for (int i = 0; i < n; ++i) {
    // (2^32 - 1)^2 + 2 * (2^32 - 1) still fits in 64 bits.
    uint64_t sum = static_cast<uint64_t>(c) * b[i] + a[i] + carry;
    r[i] = static_cast<MpDigit>(sum);
    carry = sum >> kDigitBits;
  }
  return static_cast<MpDigit>(carry);
}

MpDigit MpSubtractDigitMultiple(MpDigit* r, const MpDigit* a, MpDigit c, const MpDigit* b,
                                int n) {
  uint64_t borrow = 0;
  for (int i = 0; i < n; ++i) {
    uint64_t product = static_cast<uint64_t>(c) * b[i] + borrow;
    MpDigit low = static_cast<MpDigit>(product);
    borrow = product >> kDigitBits;
    MpDigit ai = a[i];
    r[i] = ai - low;
    if (ai < low) ++borrow;  // cannot overflow: a full high digit implies low == 0
  }
  return static_cast<MpDigit>(borrow);
}

void MpMultiply(MpDigit* r, const MpDigit* a, const MpDigit* b, int n) {
  MpAssignZero(r, 2 * n);
  int bDigits = MpSignificantDigits(b, n);
  for (int i = 0; i < n; ++i) {
    if (a[i] != 0) r[i + bDigits] = MpAddDigitMultiple(r + i, r + i, a[i], b, bDigits);
  }
}

// Long division with the divisor normalised so its top digit has the high bit set; each
// quotient digit is estimated from the top two dividend digits and corrected at most twice
// before the multiply-subtract, and once after it.
void MpDivide(MpDigit* quotient, MpDigit* remainder, const MpDigit* a, int aDigits,
              const MpDigit* d, int dDigits) {
  const int t = MpSignificantDigits(d, dDigits);
  const unsigned shift = static_cast<unsigned>(std::countl_zero(d[t - 1]));
  MpDigit v[kMpMaxDigits];
  MpShiftLeft(v, d, shift, t);

  MpDigit u[2 * kMpMaxDigits + 1];
  const int uDigits = std::max(aDigits, t);
  MpAssignZero(u, uDigits + 1);
  u[aDigits] = MpShiftLeft(u, a, shift, aDigits);
  if (quotient != nullptr) MpAssignZero(quotient, aDigits);

  const uint64_t base = uint64_t{1} << kDigitBits;
  for (int j = aDigits - t; j >= 0; --j) {
    uint64_t top = (static_cast<uint64_t>(u[j + t]) << kDigitBits) | u[j + t - 1];
    uint64_t qhat = top / v[t - 1];
    uint64_t rhat = top % v[t - 1];
    while (qhat >= base ||
           (t >= 2 && qhat * v[t - 2] > ((rhat << kDigitBits) | u[j + t - 2]))) {
      --qhat;
      rhat += v[t - 1];
      if (rhat >= base) break;
    }
    MpDigit borrow = MpSubtractDigitMultiple(u + j, u + j, static_cast<MpDigit>(qhat), v, t);
    MpDigit high = u[j + t];
    u[j + t] = high - borrow;
    if (high < borrow) {  // the estimate was one too large: add the divisor back
      --qhat;
      u[j + t] += MpAdd(u + j, u + j, v, t);
    }
    if (quotient != nullptr) quotient[j] = static_cast<MpDigit>(qhat);
  }
  MpAssignZero(remainder, dDigits);
  MpShiftRight(remainder, u, shift, t);
}

void MpModMultiply(MpDigit* r, const MpDigit* a, const MpDigit* b, const MpDigit* m, int n) {
  MpDigit product[2 * kMpMaxDigits];
  MpMultiply(product, a, b, n);
  MpDivide(nullptr, r, product, 2 * n, m, n);
}

// Left-to-right exponentiation two bits at a time with c, c^2 and c^3 precomputed.
void MpModExp(MpDigit* r, const MpDigit* c, const MpDigit* e, int eDigits, const MpDigit* m,
              int n) {
  MpDigit powers[3][kMpMaxDigits];
  MpDivide(nullptr, powers[0], c, n, m, n);
  MpModMultiply(powers[1], powers[0], powers[0], m, n);
  MpModMultiply(powers[2], powers[1], powers[0], m, n);

  MpDigit t[kMpMaxDigits];
  MpAssignZero(t, n);
  t[0] = 1;
  const int top = MpSignificantDigits(e, eDigits);
  for (int i = top - 1; i >= 0; --i) {
    MpDigit bits = e[i];
    int pairs = kDigitBits / 2;
    if (i == top - 1) {
      while (pairs > 0 && (bits >> (kDigitBits - 2)) == 0) {
        bits <<= 2;
        --pairs;
      }
    }
    for (; pairs > 0; --pairs, bits <<= 2) {
      MpModMultiply(t, t, t, m, n);
      MpModMultiply(t, t, t, m, n);
      MpDigit pair = bits >> (kDigitBits - 2);
      if (pair != 0) MpModMultiply(t, t, powers[pair - 1], m, n);
    }
  }
  MpAssign(r, t, n);
}
