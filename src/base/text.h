// Conversions between the system's text forms (String, UTF-8/ASCII std::string, UTF-16
// std::u16string) and the small helpers that cut, pad, encode and join texts.
#ifndef SRC_BASE_TEXT_H
#define SRC_BASE_TEXT_H

#include <cstdint>
#include <string>
#include <string_view>

#include "base/array.h"
#include "base/string.h"

// Each conversion returns true when no character had to be replaced by "?". A null text
// counts as empty. The String forms leave the target unchanged on a false result.

// One byte per code unit; code units from 0x80 up (surrogates included) become "?".
bool WideToAscii(std::string& out, const char16_t* text);
bool WideToAscii(std::string& out, std::u16string_view text);
bool WideToAsciiString(String& out, const char16_t* text);

// Each code unit encoded on its own; a surrogate code unit becomes "?".
bool WideToUtf8(std::string& out, const char16_t* text);
bool WideToUtf8(std::string& out, std::u16string_view text);
bool WideToUtf8String(String& out, const char16_t* text);

// Bytes below 0x80 and the German letters of Latin-1 (Ä Ö Ü ß ä ö ü); other bytes become "?".
bool LatinToWide(std::u16string& out, const char* text);

// Sequences beyond the 16-bit range, surrogate values and malformed bytes become "?"; a
// sequence cut off by the end of the text is dropped silently.
bool Utf8ToWide(std::u16string& out, const char* text);
bool Utf8ToWide(std::u16string& out, std::string_view text);

// Lossy shorthands for code that has nowhere to report a replacement.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

// Decimal with leading zeros to `width` digits (at most 16; a minus sign counts as a digit,
// so -7 at width 3 is "-07").
void FormatZeroPadded(String& out, int32_t value, int width);

// Letters, digits and - _ . ! ~ * ' ( ) stay; every other byte becomes %XX (upper case).
void UrlEncode(String& out, const char* text);

// Removes leading and trailing blanks (0x20 only).
void TrimSpaces(String& out, const char* text);

// Concatenates the texts in order, without separator; null entries are skipped.
void JoinTexts(String& out, const Array<const char*>& list);

// Appends the fields of `text` to `out`. Every delimiter ends a field, so a text ending in a
// delimiter yields an empty last field. With `skipRepeated`, runs of delimiters after the
// first field count as one. A field starting with `quote` (unless NUL) runs to the next
// quote; anything between that quote and the next delimiter is dropped.
void Split(Array<String>& out, const char* text, char delimiter, bool skipRepeated, char quote = '\0');

// Re-entrant strtok over a writable text: pass the text first, then null to continue from
// `*cursor`. A token starting with a double quote runs until a delimiter that directly follows
// a double quote; its quotes are removed. Returns null when no token is left.
char* Tokenize(char* text, const char* delimiters, char** cursor);

#endif  // SRC_BASE_TEXT_H
