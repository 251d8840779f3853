#include "update/version_file.h"

#include <algorithm>
#include <limits>

#include "base/text.h"
#include "integrity/digest.h"

namespace {

constexpr int32_t kFirstPacketLine = 5;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The leading decimal digits of `text`, held at the type's maximum instead of overflowing.
template <typename Int>
Int LeadingDecimal(std::string_view text) {
  constexpr Int kMax = std::numeric_limits<Int>::max();
  Int value = 0;
  for (char c : text) {
    if (!IsDigit(c)) break;
    const Int digit = c - '0';
    if (value > (kMax - digit) / 10) return kMax;
    value = value * 10 + digit;
  }
  return value;
}

// Cuts `rest` at its first blank: the part before goes to `field`, the part after stays.
bool TakeField(std::string_view& rest, std::string_view& field) {
  const size_t blank = rest.find(' ');
  if (blank == std::string_view::npos) return false;
  field = rest.substr(0, blank);
  rest.remove_prefix(blank + 1);
  return true;
}

}  // namespace

VersionFile::VersionFile(const String& text) : text_(text) {
  const std::string_view all = text_.View();
  lineCount_ = static_cast<int32_t>(std::count(all.begin(), all.end(), '\r')) + 1;
}

bool VersionFile::ParseLine() {
  const std::string_view all = text_.View();
  size_t start = position_;
  const size_t cr = all.find('\r', start);
  // Without a further CR, a single character left is the LF of the last CR LF.
  if (cr == std::string_view::npos && start + 1 >= all.size()) return Finish();
  if (all[start] == '\n') ++start;  // the LF of a CR LF line end
  const size_t end = cr == std::string_view::npos ? all.size() : cr;
  position_ = cr == std::string_view::npos ? all.size() : cr + 1;
  const std::string_view line = all.substr(start, end - start);

  const bool ok = lineIndex_ < kFirstPacketLine ? ParseHeaderLine(line) : ParsePacketLine(line);
  if (!ok) return true;
  ++lineIndex_;
  return false;
}

bool VersionFile::ParseHeaderLine(std::string_view line) {
  switch (lineIndex_) {
    case 0:
      if (line != "MagicVersionFile") return Fail("no magic");
      break;
    case 1: {
      std::string_view url = line;
      std::string_view hash;
      if (!TakeField(url, hash)) return Fail("no space");
      updaterHash_ = String(hash);
      updaterUrl_ = String(url);
      const size_t slash = url.rfind('/');
      updaterFileName_ = String(slash == std::string_view::npos ? url : url.substr(slash + 1));
      if (updaterFileName_.IsEmpty()) return Fail("no slash");
      break;
    }
    case 2:
      if (line.empty() || !IsDigit(line[0])) return Fail("update number");
      updateNumber_ = LeadingDecimal<int32_t>(line);
      break;
    case 3:
      previousFile_ = String(line);
      break;
    default:
      break;
  }
  return true;
}

bool VersionFile::ParsePacketLine(std::string_view line) {
  if (line.empty()) {
    if (openBlock_) CloseBlock();
    return true;
  }
  if (openBlock_) {
    openBlock_->files.push_back(String(line));
    return true;
  }
  std::string_view rest = line;
  std::string_view hash, url, size;
  if (!TakeField(rest, hash)) return Fail("no paket hash");
  if (!TakeField(rest, url)) return Fail("no paket url");
  if (!TakeField(rest, size)) return Fail("no paket size");
  PacketInfo& packet = openBlock_.emplace();
  packet.hash = String(hash);
  packet.url = String(url);
  packet.size = LeadingDecimal<int64_t>(size);
  packet.full = rest != "patch";
  return true;
}

// A packet counts as installed when the files on disk give exactly its packet hash.
void VersionFile::CloseBlock() {
  PacketInfo packet = std::move(*openBlock_);
  openBlock_.reset();
  const String installed = DigestText(CombineFileDigests(String(), packet.files));
  (installed == packet.hash ? present_ : missing_).push_back(std::move(packet));
}

bool VersionFile::Finish() {
  if (lineIndex_ < kFirstPacketLine) Fail("short file");
  if (openBlock_) {
    openBlock_.reset();
    Fail("end of file");
  }
  return true;
}

bool VersionFile::Fail(const char* reason) {
  failed_ = true;
  error_ = FromUtf8(std::string("Bad VersionFile! (") + reason + ") line " +
                    std::to_string(lineIndex_));
  return false;
}

float VersionFile::Progress() const {
  if (lineCount_ <= 0) return -1.0f;
  return std::clamp(static_cast<float>(lineIndex_) / static_cast<float>(lineCount_), 0.0f, 1.0f);
}
