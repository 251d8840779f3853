#include "tools/publish_keys.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>

#include "integrity/multi_precision.h"
#include "integrity/packed_bytes.h"
#include "integrity/public_key.h"
#include "platform/file_system.h"
#include "tools/publish_flags.h"

namespace {

using PkeyPointer = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using PkeyContextPointer = std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)>;
using BioPointer = std::unique_ptr<BIO, decltype(&BIO_free)>;
using BnPointer = std::unique_ptr<BIGNUM, decltype(&BN_free)>;

constexpr unsigned kMinimumBits = 1024;
// The largest modulus the updater's fixed-size arithmetic handles.
constexpr unsigned kMaximumBits = kMpMaxDigits * 32;

// An SSH string field: a 32-bit big-endian length and the bytes.
void AppendSshString(std::string& blob, const std::string& bytes) {
  for (int shift = 24; shift >= 0; shift -= 8) blob += static_cast<char>(bytes.size() >> shift);
  blob += bytes;
}

// SSH's mpint is OpenSSL's MPI form: a length, then big-endian bytes with a leading zero
// when the top bit is set.
void AppendSshInteger(std::string& blob, const EVP_PKEY* key, const char* param) {
  BIGNUM* value = nullptr;
  EVP_PKEY_get_bn_param(key, param, &value);
  BnPointer owned(value, BN_free);
  std::string mpi(static_cast<size_t>(BN_bn2mpi(value, nullptr)), '\0');
  BN_bn2mpi(value, reinterpret_cast<unsigned char*>(mpi.data()));
  blob += mpi;
}

std::string OpenSshLine(const EVP_PKEY* key, const std::string& comment) {
  std::string blob;
  AppendSshString(blob, "ssh-rsa");
  AppendSshInteger(blob, key, OSSL_PKEY_PARAM_RSA_E);
  AppendSshInteger(blob, key, OSSL_PKEY_PARAM_RSA_N);
  std::string base64(4 * ((blob.size() + 2) / 3) + 1, '\0');
  const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(base64.data()),
                                     reinterpret_cast<const unsigned char*>(blob.data()),
                                     static_cast<int>(blob.size()));
  base64.resize(static_cast<size_t>(length));
  return "ssh-rsa " + base64 + " " + comment + "\n";
}

std::string PrivateKeyPem(EVP_PKEY* key) {
  BioPointer bio(BIO_new(BIO_s_mem()), BIO_free);
  PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr);
  char* data = nullptr;
  const long length = BIO_get_mem_data(bio.get(), &data);
  return std::string(data, static_cast<size_t>(length));
}

// Only the owner may read the private key; the file is restricted before the key goes in.
bool WritePrivateFile(const std::string& path, const std::string& text) {
  if (!platform::WriteWholeFile(path, "", 0)) return false;
  std::error_code ignored;
  using std::filesystem::perms;
  std::filesystem::permissions(std::filesystem::u8path(path),
                               perms::owner_read | perms::owner_write, ignored);
  return platform::WriteWholeFile(path, text.data(), text.size());
}

PkeyPointer ReadPrivateKey(const std::string& pem) {
  BioPointer bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())), BIO_free);
  PkeyPointer key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr), EVP_PKEY_free);
  if (key != nullptr && !EVP_PKEY_is_a(key.get(), "RSA")) key.reset();
  return key;
}

// The raw private-key operation on one block: little-endian data of blockSize - 1 bytes in,
// little-endian result of blockSize bytes out.
bool SealBlock(EVP_PKEY_CTX* context, const uint8_t* data, size_t blockSize, std::string& out) {
  std::vector<uint8_t> bigEndian(blockSize, 0);
  for (size_t i = 0; i + 1 < blockSize; ++i) bigEndian[blockSize - 1 - i] = data[i];
  std::vector<uint8_t> result(blockSize);
  size_t resultLength = result.size();
  if (EVP_PKEY_sign(context, result.data(), &resultLength, bigEndian.data(), blockSize) != 1 ||
      resultLength != blockSize) {
    return false;
  }
  out.append(result.rbegin(), result.rend());
  return true;
}

// The base64 blob of an OpenSSH "ssh-rsa BASE64 [comment]" line; empty for anything else.
std::string PublicKeyBlob(const std::string& line) {
  std::istringstream words(line);
  std::string type;
  std::string base64;
  words >> type >> base64;
  return type == "ssh-rsa" ? base64 : std::string();
}

}  // namespace

int KeygenCommand(const std::vector<std::string>& args) {
  const char* usage = "keygen [--bits N] --out NAME";
  std::map<std::string, std::string> flags;
  if (!ParseFlags(args, {"--bits", "--out"}, flags) || !HasAll(flags, {"--out"})) {
    return Usage(usage);
  }
  const std::string bitsText = FlagOr(flags, "--bits", "1024");
  unsigned bits = 0;
  const auto parsed = std::from_chars(bitsText.data(), bitsText.data() + bitsText.size(), bits);
  if (parsed.ec != std::errc() || parsed.ptr != bitsText.data() + bitsText.size() ||
      bits < kMinimumBits || bits > kMaximumBits) {
    std::fprintf(stderr, "keygen: --bits must be a number from %u to %u\n", kMinimumBits,
                 kMaximumBits);
    return kExitUsage;
  }
  const std::string name = flags["--out"];
  const std::string publicName = name + ".pub";
  for (const std::string& path : {name, publicName}) {
    if (platform::FileExists(path)) return Fail("keygen", "'" + path + "' exists; not overwritten");
  }
  // The updater's key holds the public exponent in one 32-bit digit; OpenSSL's default of
  // 65537 fits.
  PkeyPointer key(EVP_RSA_gen(bits), EVP_PKEY_free);
  if (key == nullptr) return Fail("keygen", "key generation failed");
  if (!WritePrivateFile(name, PrivateKeyPem(key.get()))) {
    return Fail("keygen", "cannot write '" + name + "'");
  }
  const std::string comment = std::filesystem::u8path(name).filename().string();
  const std::string line = OpenSshLine(key.get(), comment);
  if (!platform::WriteWholeFile(publicName, line.data(), line.size())) {
    return Fail("keygen", "cannot write '" + publicName + "'");
  }
  return 0;
}

int SealCommand(const std::vector<std::string>& args) {
  const char* usage = "seal --key NAME --in TEXT --out FILE";
  std::map<std::string, std::string> flags;
  if (!ParseFlags(args, {"--key", "--in", "--out"}, flags) ||
      !HasAll(flags, {"--key", "--in", "--out"})) {
    return Usage(usage);
  }
  const std::string& keyPath = flags["--key"];
  std::string pem;
  if (!platform::ReadWholeFile(keyPath, pem)) {
    return Fail("seal", "cannot read key '" + keyPath + "'");
  }
  const PkeyPointer key = ReadPrivateKey(pem);
  if (key == nullptr) return Fail("seal", "'" + keyPath + "' is not a PEM RSA private key");
  const size_t blockSize = static_cast<size_t>(EVP_PKEY_get_size(key.get()));
  if (EVP_PKEY_get_bits(key.get()) > static_cast<int>(kMaximumBits)) {
    return Fail("seal", "'" + keyPath + "' has more bits than the updater can use");
  }

  std::string text;
  if (!platform::ReadWholeFile(flags["--in"], text)) {
    return Fail("seal", "cannot read '" + flags["--in"] + "'");
  }
  std::vector<uint8_t> packed = PackBytes(text.data(), text.size());
  if (packed.empty()) return Fail("seal", "cannot compress '" + flags["--in"] + "'");
  // The last block is filled with zeros; the updater ignores what follows the bzip2 stream.
  const size_t dataSize = blockSize - 1;
  packed.resize((packed.size() + dataSize - 1) / dataSize * dataSize, 0);

  PkeyContextPointer context(EVP_PKEY_CTX_new(key.get(), nullptr), EVP_PKEY_CTX_free);
  if (context == nullptr || EVP_PKEY_sign_init(context.get()) != 1 ||
      EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_NO_PADDING) != 1) {
    return Fail("seal", "cannot use '" + keyPath + "'");
  }
  std::string sealed;
  for (size_t at = 0; at < packed.size(); at += dataSize) {
    if (!SealBlock(context.get(), packed.data() + at, blockSize, sealed)) {
      return Fail("seal", "the private-key operation failed with '" + keyPath + "'");
    }
  }
  if (!platform::WriteWholeFile(flags["--out"], sealed.data(), sealed.size())) {
    return Fail("seal", "cannot write '" + flags["--out"] + "'");
  }
  return 0;
}

int UnsealCommand(const std::vector<std::string>& args) {
  const char* usage = "unseal --pub NAME.pub --in FILE";
  std::map<std::string, std::string> flags;
  if (!ParseFlags(args, {"--pub", "--in"}, flags) || !HasAll(flags, {"--pub", "--in"})) {
    return Usage(usage);
  }
  const std::string& publicPath = flags["--pub"];
  const std::string& in = flags["--in"];
  std::string line;
  if (!platform::ReadWholeFile(publicPath, line)) {
    return Fail("unseal", "cannot read key '" + publicPath + "'");
  }
  if (!LoadPublicKeyText(PublicKeyBlob(line))) {
    return Fail("unseal", "'" + publicPath +
                              "' is not an OpenSSH ssh-rsa public key of at most 4096 bits");
  }
  std::string sealed;
  if (!platform::ReadWholeFile(in, sealed)) return Fail("unseal", "cannot read '" + in + "'");
  // The same two steps as the updater's, so a file that opens here opens there.
  const auto decrypted = DecryptVersionFile(sealed.data(), sealed.size());
  if (!decrypted) return Fail("unseal", "no data decrypted from '" + in + "'");
  const auto text = UnpackBytes(decrypted->data(), decrypted->size());
  if (!text) {
    return Fail("unseal", "'" + in + "' was not sealed with the private half of '" + publicPath +
                              "' (unzip error)");
  }
  std::fwrite(text->data(), 1, text->size(), stdout);
  return 0;
}
