// The keyed XOR stream that protects game files, packets and configuration files, and the
// process-wide switch that decides which game files are stored scrambled.
#ifndef INTEGRITY_SCRAMBLE_H
#define INTEGRITY_SCRAMBLE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/string.h"

// The keystream of one key. Apply continues where the previous call stopped, so data handled
// in blocks of any size comes out as if it had been scrambled in one piece.
class Scrambler {
 public:
  // The key ignores ASCII letter case and treats "\\" as "/".
  explicit Scrambler(std::string_view key);
  void Apply(uint8_t* bytes, size_t length);

 private:
  uint32_t Draw();

  uint32_t x_[4];
  uint32_t carry_;
  uint32_t output_ = 0;
  unsigned used_ = 4;  // bytes of output_ already used; 4 means draw a new one
};

// Scrambles in place; applying it twice with the same key restores the bytes.
void ScrambleBuffer(std::string_view key, uint8_t* bytes, size_t length);
// A scrambled copy, for texts and other bytes held in a string.
std::string ScrambledCopy(std::string_view key, std::string bytes);

// On by default; "noencryption" turns it off for the run. Only game files and the window
// bitmap follow it: packets and configuration files are always scrambled.
void SetEncryptionEnabled(bool on);
bool EncryptionEnabled();

// The text from the last "." to the end, wherever that "." stands; empty when there is none.
std::string_view ExtensionOf(std::string_view name);
// Whether a game file with this extension is stored scrambled.
bool IsScrambledExtension(std::string_view extension);
bool IsStoredScrambled(std::string_view name);

// Writes a game file in its stored form: backslashes in `name` become "/", the bytes are
// scrambled in place with the name as key unless exempt, and missing folders are created.
// The target is `outputPath`, or `name` (relative to the game folder) when that is empty.
bool WriteGameFile(uint8_t* bytes, size_t length, const String& name,
                   const String& outputPath = String());

// Small files scrambled as a whole with their path as the key (configuration files).
bool ReadScrambledFile(const String& path, String& text);
bool WriteScrambledFile(const String& text, const String& path);

#endif  // INTEGRITY_SCRAMBLE_H
