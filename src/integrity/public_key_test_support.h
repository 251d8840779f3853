// Key files and SSH key blobs for the public-key tests.
#ifndef INTEGRITY_PUBLIC_KEY_TEST_SUPPORT_H
#define INTEGRITY_PUBLIC_KEY_TEST_SUPPORT_H

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace key_testing {

using Bytes = std::vector<uint8_t>;

inline std::string ReadKeysFile(const std::string& name) {
  std::ifstream in(std::string(UPDATER_TEST_KEYS_DIR) + "/" + name, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// The base64 word of an OpenSSH "ssh-rsa BASE64 comment" line.
inline std::string PublicKeyBase64(const std::string& line) {
  std::istringstream words(line);
  std::string type, base64;
  words >> type >> base64;
  return base64;
}

inline std::string Base64(const Bytes& bytes) {
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

inline void AppendField(Bytes& blob, const Bytes& field, uint32_t statedLength) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    blob.push_back(static_cast<uint8_t>(statedLength >> shift));
  }
  blob.insert(blob.end(), field.begin(), field.end());
}

inline Bytes Blob(const Bytes& e, const Bytes& n) {
  Bytes blob;
  const std::string type = "ssh-rsa";
  AppendField(blob, Bytes(type.begin(), type.end()), 7);
  AppendField(blob, e, static_cast<uint32_t>(e.size()));
  AppendField(blob, n, static_cast<uint32_t>(n.size()));
  return blob;
}

inline Bytes Pattern254() {
  Bytes plain(254);
  for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i * 37 + 11);
  return plain;
}

}  // namespace key_testing

#endif
