// The version file of one published state of a game edition: its reader, which parses one
// line per call and sorts every packet into present (installed) or missing.
#ifndef UPDATE_VERSION_FILE_H
#define UPDATE_VERSION_FILE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/string.h"

// One packet block of a version file.
struct PacketInfo {
  String hash;  // packet hash, 64 hexadecimal digits
  String url;
  int64_t size = 0;  // bytes, for progress
  bool full = true;  // false only for the kind "patch"
  std::vector<String> files;
};

// Lines end with CR, optionally followed by LF. Lines 0 to 4 are the magic text, the updater
// hash and URL, the update number, the previous version file's name and an ignored line; then
// come packet blocks (a header line, one line per file, an empty line).
class VersionFile {
 public:
  explicit VersionFile(const String& text);

  // Parses the next line. False while more lines follow; true once parsing has ended, with
  // Failed() telling whether the file was bad.
  bool ParseLine();
  // Share of the lines parsed, 0 to 1.
  float Progress() const;

  bool Failed() const { return failed_; }
  // "Bad VersionFile! (reason) line N", N counted from 0.
  const std::u16string& Error() const { return error_; }

  const String& UpdaterHash() const { return updaterHash_; }
  const String& UpdaterUrl() const { return updaterUrl_; }
  const String& UpdaterFileName() const { return updaterFileName_; }
  int32_t UpdateNumber() const { return updateNumber_; }
  const String& PreviousFile() const { return previousFile_; }
  // Packets whose files do not all match the installed ones, and those whose files do, each in
  // file order.
  const std::vector<PacketInfo>& Missing() const { return missing_; }
  const std::vector<PacketInfo>& Present() const { return present_; }

 private:
  // Each returns whether the line was accepted.
  bool ParseHeaderLine(std::string_view line);
  bool ParsePacketLine(std::string_view line);
  void CloseBlock();
  bool Finish();
  // Records the error of the current line; returns false for the line parsers to pass on.
  bool Fail(const char* reason);

  String text_;
  int32_t lineIndex_ = 0;
  int32_t lineCount_ = 0;
  size_t position_ = 0;
  std::optional<PacketInfo> openBlock_;

  String updaterHash_;
  String updaterUrl_;
  String updaterFileName_;
  int32_t updateNumber_ = 0;
  String previousFile_;
  std::vector<PacketInfo> missing_;
  std::vector<PacketInfo> present_;
  bool failed_ = false;
  std::u16string error_;
};

#endif  // UPDATE_VERSION_FILE_H
