#include "integrity/scramble.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <string>
#include <utility>

#include "base/update_log.h"
#include "platform/file_system.h"

namespace {

// Extensions that programs and the local-install archives load directly, so never scrambled.
constexpr std::array<std::string_view, 7> kExemptExtensions = {
    ".exe", ".dll", ".icns", ".plist", ".dylib", ".tqa", ".zip"};

std::atomic<bool> encryptionEnabled{true};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

uint32_t KeySeed(std::string_view key) {
  uint32_t h = 5381;
  for (char c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '\\') c = '/';
    h = h * 33 + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
  }
  return h;
}

}  // namespace

Scrambler::Scrambler(std::string_view key) {
  uint32_t s = KeySeed(key);
  uint32_t* state[5] = {&x_[0], &x_[1], &x_[2], &x_[3], &carry_};
  for (uint32_t* value : state) {
    s = s * 29943829u - 1u;
    *value = s;
  }
  for (int i = 0; i < 19; ++i) Draw();
}

uint32_t Scrambler::Draw() {
  const uint64_t sum = 2111111111ull * x_[3] + 1492ull * x_[2] + 1776ull * x_[1] +
                       5115ull * x_[0] + carry_;
  x_[3] = x_[2];
  x_[2] = x_[1];
  x_[1] = x_[0];
  carry_ = static_cast<uint32_t>(sum >> 32);
  x_[0] = static_cast<uint32_t>(sum);
  return x_[0];
}

void Scrambler::Apply(uint8_t* bytes, size_t length) {
  size_t i = 0;
  // Finish the output a previous call left part-used.
  for (; i < length && used_ < 4; ++i, ++used_) bytes[i] ^= static_cast<uint8_t>(output_ >> (8 * used_));
  for (; i + 4 <= length; i += 4) {
    const uint32_t r = Draw();
    bytes[i] ^= static_cast<uint8_t>(r);
    bytes[i + 1] ^= static_cast<uint8_t>(r >> 8);
    bytes[i + 2] ^= static_cast<uint8_t>(r >> 16);
    bytes[i + 3] ^= static_cast<uint8_t>(r >> 24);
  }
  if (i < length) {
    output_ = Draw();
    used_ = 0;
    for (; i < length; ++i, ++used_) bytes[i] ^= static_cast<uint8_t>(output_ >> (8 * used_));
  }
}

void ScrambleBuffer(std::string_view key, uint8_t* bytes, size_t length) {
  Scrambler(key).Apply(bytes, length);
}

std::string ScrambledCopy(std::string_view key, std::string bytes) {
  ScrambleBuffer(key, reinterpret_cast<uint8_t*>(bytes.data()), bytes.size());
  return bytes;
}

void SetEncryptionEnabled(bool on) { encryptionEnabled = on; }

bool EncryptionEnabled() { return encryptionEnabled; }

std::string_view ExtensionOf(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

bool IsScrambledExtension(std::string_view extension) {
  if (!encryptionEnabled || extension.empty()) return false;
  for (std::string_view exempt : kExemptExtensions) {
    if (EqualsIgnoringCase(extension, exempt)) return false;
  }
  return true;
}

bool IsStoredScrambled(std::string_view name) { return IsScrambledExtension(ExtensionOf(name)); }

bool WriteGameFile(uint8_t* bytes, size_t length, const String& name, const String& outputPath) {
  String forwardSlashes = name;
  forwardSlashes.ReplaceChar('\\', '/');
  const std::string storedName(forwardSlashes.View());
  if (IsStoredScrambled(storedName)) {
    UpdateLog(("scrambling file " + storedName).c_str());
    ScrambleBuffer(storedName, bytes, length);
  }
  const std::string target = outputPath.IsEmpty() ? storedName : std::string(outputPath.View());
  // A folder that cannot be created shows up as a failed write below.
  for (size_t slash = target.find('/'); slash != std::string::npos;
       slash = target.find('/', slash + 1)) {
    if (slash > 0) platform::CreateFolder(target.substr(0, slash));
  }
  std::FILE* file = platform::OpenFile(target, "wb");
  if (file == nullptr) return length == 0;
  const bool written = length == 0 || std::fwrite(bytes, 1, length, file) == length;
  return std::fclose(file) == 0 && written;
}

bool ReadScrambledFile(const String& path, String& text) {
  std::string bytes;
  if (!platform::ReadWholeFile(std::string(path.View()), bytes)) return false;
  text = String(ScrambledCopy(path.View(), std::move(bytes)));
  return true;
}

bool WriteScrambledFile(const String& text, const String& path) {
  const std::string bytes = ScrambledCopy(path.View(), std::string(text.View()));
  std::FILE* file = platform::OpenFile(std::string(path.View()), "wb");
  if (file == nullptr) {
    UpdateLog("could not write config file:");
    return false;
  }
  const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
