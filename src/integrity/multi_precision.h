// Fixed-size unsigned multi-precision arithmetic for the public-key operation: numbers are
// arrays of 32-bit digits, least significant first, sized by the caller.
#ifndef INTEGRITY_MULTI_PRECISION_H
#define INTEGRITY_MULTI_PRECISION_H

#include <cstddef>
#include <cstdint>

using MpDigit = uint32_t;

// Largest modulus handled: 4096 bits. Products take twice as many digits.
constexpr int kMpMaxDigits = 128;

// Big-endian bytes into `digits` digits; bytes above the digit storage are dropped.
void MpDecodeBigEndian(MpDigit* a, int digits, const uint8_t* bytes, size_t length);
// Little-endian bytes (byte 0 least significant) into `digits` digits, zero-extended.
void MpDecodeLittleEndian(MpDigit* a, int digits, const uint8_t* bytes, size_t length);
// The low `length` bytes of a, little-endian.
void MpEncodeLittleEndian(uint8_t* bytes, size_t length, const MpDigit* a, int digits);

void MpAssignZero(MpDigit* a, int digits);
void MpAssign(MpDigit* a, const MpDigit* b, int digits);
int MpCompare(const MpDigit* a, const MpDigit* b, int digits);
// Number of digits up to the most significant non-zero one (0 for zero).
int MpSignificantDigits(const MpDigit* a, int digits);

// r = a + b, r = a - b over n digits; return the carry / borrow. r may alias a or b.
MpDigit MpAdd(MpDigit* r, const MpDigit* a, const MpDigit* b, int n);
MpDigit MpSubtract(MpDigit* r, const MpDigit* a, const MpDigit* b, int n);
// r = a << bits over n digits (bits < 32); returns the bits shifted out.
MpDigit MpShiftLeft(MpDigit* r, const MpDigit* a, unsigned bits, int n);
// r = a >> bits over n digits (bits < 32); the bits shifted out are dropped.
void MpShiftRight(MpDigit* r, const MpDigit* a, unsigned bits, int n);
// r = a + c * b and r = a - c * b over n digits; return the carry / borrow digit.
MpDigit MpAddDigitMultiple(MpDigit* r, const MpDigit* a, MpDigit c, const MpDigit* b, int n);
MpDigit MpSubtractDigitMultiple(MpDigit* r, const MpDigit* a, MpDigit c, const MpDigit* b,
                                int n);
// r (2n digits) = a * b (n digits each); r must not alias a or b. n <= kMpMaxDigits.
void MpMultiply(MpDigit* r, const MpDigit* a, const MpDigit* b, int n);
// quotient (aDigits digits, may be null) and remainder (dDigits digits) of a / d.
// d must be non-zero; aDigits <= 2 * kMpMaxDigits, dDigits <= kMpMaxDigits.
void MpDivide(MpDigit* quotient, MpDigit* remainder, const MpDigit* a, int aDigits,
              const MpDigit* d, int dDigits);
// r = a * b mod m over n digits.
void MpModMultiply(MpDigit* r, const MpDigit* a, const MpDigit* b, const MpDigit* m, int n);
// r = c^e mod m over n digits (c may be larger than m), e of eDigits digits.
void MpModExp(MpDigit* r, const MpDigit* c, const MpDigit* e, int eDigits, const MpDigit* m,
              int n);

#endif  // INTEGRITY_MULTI_PRECISION_H
