// Helpers shared by the release builder's tests: file contents, options for a build inside a
// scratch folder, and the blocks of a written version file.
#ifndef RELEASE_RELEASE_TEST_SUPPORT_H
#define RELEASE_RELEASE_TEST_SUPPORT_H

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "release/release_options.h"
#include "support/scratch_dir.h"

namespace release_testing {

// `size` bytes that differ for every `seed` and compress about as well as game data mixed
// of text and tables.
inline std::string Content(uint32_t seed, size_t size) {
  std::string bytes(size, '\0');
  uint32_t state = seed * 2654435761u + 1;
  for (char& c : bytes) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>('a' + (state >> 28));
  }
  return bytes;
}

constexpr size_t kMiB = 1024 * 1024;

// A build of the folder `source` into the folder `release`, both inside `dir`, with tag
// "demo", url "srv/dl" and platform "pc"; the previous version file is "template.txt".
inline ReleaseOptions Options(const testing_support::ScratchDir& dir, const std::string& source,
                              const std::string& release) {
  ReleaseOptions options;
  options.oldVersion = String(dir.File("template.txt"));
  options.newVersion = String(dir.File(release + "/version"));
  options.newHashes = String(dir.File(release + "/hashes.txt"));
  options.source = String(dir.File(source) + "/");
  options.target = String(dir.File(release) + "/");
  options.tag = "demo";
  options.url = "srv/dl";
  options.platform = "pc";
  return options;
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string ReadFile(const String& path) {
  return ReadFile(std::filesystem::u8path(path.View()));
}

// Every file below `folder` by its relative name, without the update log that installing
// writes into the current folder.
inline std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
    const std::u8string name = std::filesystem::relative(item.path(), folder).generic_u8string();
    if (item.is_regular_file() && name != u8"updater.log") {
      files[std::string(name.begin(), name.end())] = ReadFile(item.path());
    }
  }
  return files;
}

// The lines of a text whose lines end with CR LF.
inline std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// The packet records of a version file: each the header line followed by the file lines.
inline std::vector<std::vector<std::string>> PacketRecords(const std::string& versionText) {
  const std::vector<std::string> lines = CrLfLines(versionText);
  std::vector<std::vector<std::string>> records;
  bool open = false;
  for (size_t i = 5; i < lines.size(); ++i) {
    if (lines[i].empty()) {
      open = false;
    } else if (open) {
      records.back().push_back(lines[i]);
    } else {
      records.push_back({lines[i]});
      open = true;
    }
  }
  return records;
}

}  // namespace release_testing

#endif  // RELEASE_RELEASE_TEST_SUPPORT_H
