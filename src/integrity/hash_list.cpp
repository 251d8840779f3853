#include "integrity/hash_list.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "base/update_log.h"
#include "integrity/scramble.h"
#include "platform/file_system.h"

namespace {

constexpr size_t kBlockSize = 1 << 20;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// The next token of `line` at or after `pos`, separated by spaces, CR or LF.
std::string_view NextToken(std::string_view line, size_t& pos) {
  constexpr std::string_view kSeparators = " \r\n";
  const size_t start = line.find_first_not_of(kSeparators, pos);
  if (start == std::string_view::npos) {
    pos = line.size();
    return {};
  }
  size_t end = line.find_first_of(kSeparators, start);
  if (end == std::string_view::npos) end = line.size();
  pos = end;
  return line.substr(start, end - start);
}

String SyntaxError(const char* what, const String& path, int line) {
  return String(std::string("Syntax Error: no ") + what + " found in old_hashes '" +
                std::string(path.View()) + "' at line " + std::to_string(line));
}

}  // namespace

std::optional<Sha256Result> FileHashForList(const String& path, const String& name) {
  std::unique_ptr<std::FILE, FileCloser> file(platform::OpenFile(std::string(path.View()), "rb"));
  if (!file) return std::nullopt;
  // The file is hashed in blocks, scrambled as it goes, so large files need no large buffer.
  std::unique_ptr<Scrambler> scrambler;
  if (IsStoredScrambled(name.View())) {
    UpdateLog((std::string("scrambling file for hashing: ") + path.Text()).c_str());
    scrambler = std::make_unique<Scrambler>(name.View());
  }
  std::unique_ptr<uint8_t[]> block(new uint8_t[kBlockSize]);
  Sha256Hasher hasher;
  size_t got = 0;
  while ((got = std::fread(block.get(), 1, kBlockSize, file.get())) > 0) {
    if (scrambler) scrambler->Apply(block.get(), got);
    hasher.Update(block.get(), got);
  }
  if (std::ferror(file.get())) return std::nullopt;
  return hasher.Finish();
}

bool ReadHashList(const String& path, std::vector<HashListEntry>& entries, String& error) {
  entries.clear();
  error = String();
  std::string text;
  if (!platform::ReadWholeFile(std::string(path.View()), text)) return true;
  std::string_view rest(text);
  for (int lineNumber = 1; !rest.empty(); ++lineNumber) {
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    size_t pos = 0;
    const std::string_view hash = NextToken(line, pos);
    if (hash.empty()) {
      error = SyntaxError("hash", path, lineNumber);
      return false;
    }
    const std::string_view name = NextToken(line, pos);
    if (name.empty()) {
      error = SyntaxError("filename", path, lineNumber);
      return false;
    }
    entries.push_back({String(hash), String(name)});
  }
  return true;
}

String HashListLine(const HashListEntry& entry) {
  return String(std::string(entry.hash.View()) + " " + std::string(entry.name.View()) + "\r\n");
}

bool WriteHashList(const String& path, const std::vector<HashListEntry>& entries) {
  std::string text;
  for (const HashListEntry& entry : entries) text += HashListLine(entry).View();
  return platform::WriteWholeFile(std::string(path.View()), text.data(), text.size());
}
