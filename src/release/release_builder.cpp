#include "release/release_builder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "base/system.h"
#include "base/text.h"
#include "integrity/digest.h"
#include "integrity/hash_list.h"
#include "platform/file_system.h"
#include "release/packet_jobs.h"
#include "release/release_entries.h"

namespace {

// Unchanged files are packed into install packets of about this many bytes.
constexpr int64_t kInstallPacketBytes = 3 * 1024 * 1024;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string Quoted(const String& path) { return "'" + std::string(path.View()) + "'"; }

// The first `count` lines of `text`; a line ends at CR LF, CR or LF.
std::vector<std::string_view> FirstLines(std::string_view text, size_t count) {
  std::vector<std::string_view> lines;
  while (!text.empty() && lines.size() < count) {
    const size_t end = text.find_first_of("\r\n");
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    const size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
    text.remove_prefix(next);
  }
  return lines;
}

// The text after the last "/" or backslash.
std::string_view BaseName(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The packets of a release in order, the patch packet first, with the XOR of the digests of
// each packet's files.
struct PacketPlan {
  std::vector<PacketJob> jobs;
  std::vector<Sha256Result> hashes;

  void Open(String packetName) {
    jobs.emplace_back().packetName = std::move(packetName);
    hashes.emplace_back();
  }
  void Add(const ReleaseEntry& entry) {
    jobs.back().entries.push_back({entry.name, entry.size});
    CombineDigests(hashes.back(), entry.hash);
  }
};

class ReleaseBuild {
 public:
  ReleaseBuild(const ReleaseOptions& options, std::u16string& errorText)
      : options_(options), errorText_(errorText) {}

  bool Run(String& report, unsigned workers);

 private:
  bool FirstRelease() const;
  bool WriteNewHashList(const std::vector<ReleaseEntry>& entries);
  bool WriteVersionHeader(bool firstRelease);
  PacketPlan PlanPackets(const std::vector<ReleaseEntry>& entries) const;
  String KindName(const char* kind) const;
  void WriteRecord(const PacketJob& packet, const Sha256Result& hash, const char* kindWord);
  bool Fail(const std::string& text) {
    errorText_ = FromUtf8(text);
    return false;
  }

  const ReleaseOptions& options_;
  std::u16string& errorText_;
  File version_;
};

bool ReleaseBuild::Run(String& report, unsigned workers) {
  const bool firstRelease = FirstRelease();
  ReleaseEntries entries(options_.source, firstRelease);
  String error;
  if (!entries.AddPrevious(options_.oldHashes, error)) return Fail(std::string(error.View()));
  entries.AddSourceFiles();
  if (!WriteNewHashList(entries.Entries())) return false;
  if (!WriteVersionHeader(firstRelease)) return false;

  PacketPlan plan = PlanPackets(entries.Entries());
  WritePackets(options_.source, options_.target, plan.jobs, workers);
  // Records follow in packet order; a failed packet is recorded with size 0 and ends the
  // build, so no install packet follows a failed patch packet.
  for (size_t i = 0; i < plan.jobs.size(); ++i) {
    const PacketJob& job = plan.jobs[i];
    WriteRecord(job, plan.hashes[i], i == 0 ? "patch" : "install");
    if (job.size == 0) return Fail(std::string(job.error.View()));
  }

  const bool written = std::ferror(version_.get()) == 0;
  if (std::fclose(version_.release()) != 0 || !written) {
    return Fail("File Error: Could not write to new_version " + Quoted(options_.newVersion));
  }
  report = String("versionhash " + std::string(options_.newVersion.View()) + " " +
                  std::string(Md5File(options_.newVersion).View()) + "\n");
  return true;
}

bool ReleaseBuild::FirstRelease() const {
  return options_.oldHashes.IsEmpty() || FileSize(options_.oldHashes.Text()) <= 0;
}

bool ReleaseBuild::WriteNewHashList(const std::vector<ReleaseEntry>& entries) {
  std::vector<HashListEntry> list;
  list.reserve(entries.size());
  for (const ReleaseEntry& entry : entries) list.push_back({entry.hash, entry.name});
  if (!WriteHashList(options_.newHashes, list)) {
    return Fail("File Error: Could not write to new_hashes " + Quoted(options_.newHashes));
  }
  return true;
}

// Lines 0 to 4 of the new version file: the updater line of the previous release, the update
// number, the previous version file's published name and an empty line.
bool ReleaseBuild::WriteVersionHeader(bool firstRelease) {
  version_.reset(platform::OpenFile(std::string(options_.newVersion.View()), "wb"));
  if (!version_) {
    return Fail("File Error: Could not write to new_version " + Quoted(options_.newVersion));
  }
  std::string old;
  const bool read = platform::ReadWholeFile(std::string(options_.oldVersion.View()), old);
  // The copied lines get CR LF whatever the old file used: the updater reads lines ending
  // in CR, and a template saved with plain line feeds would otherwise be one long line.
  const std::vector<std::string_view> lines = FirstLines(old, 3);
  // Without the previous update number the new file could not be read either.
  if (!read || lines.size() < (firstRelease ? 2u : 3u)) {
    return Fail("File Error: Could not read old_version " + Quoted(options_.oldVersion));
  }
  std::string header = std::string(lines[0]) + "\r\n" + std::string(lines[1]) + "\r\n";
  if (firstRelease) {
    header += "0\r\n\r\n";
  } else {
    const long long previous = std::strtoll(std::string(lines[2]).c_str(), nullptr, 10);
    header += std::to_string(previous + 1) + "\r\n";
    header += std::string(BaseName(options_.oldVersion.View())) + ".txt.bin\r\n";
  }
  header += "\r\n";
  std::fputs(header.c_str(), version_.get());
  return true;
}

String ReleaseBuild::KindName(const char* kind) const {
  return String(std::string(kind) + std::string(options_.platform.View()));
}

// The patch packet of the changed files comes first, also when it is empty; the unchanged
// files follow in install packets of at least kInstallPacketBytes, except for the last.
PacketPlan ReleaseBuild::PlanPackets(const std::vector<ReleaseEntry>& entries) const {
  PacketPlan plan;
  plan.Open(PacketName(options_.tag, options_.module, KindName("patch_").Concat(".tqa")));
  for (const ReleaseEntry& entry : entries) {
    if (entry.changed) plan.Add(entry);
  }
  int64_t total = 0;
  bool open = false;
  for (const ReleaseEntry& entry : entries) {
    if (entry.changed) continue;
    if (!open) {
      String counter;
      FormatZeroPadded(counter, static_cast<int32_t>(plan.jobs.size()), 2);
      plan.Open(PacketName(options_.tag, options_.module,
                           KindName("install_").Concat("_").Concat(counter).Concat(".tqa")));
      open = true;
    }
    plan.Add(entry);
    total += std::max<int64_t>(FileSize(options_.source.Concat(entry.name).Text()), 0);
    if (total >= kInstallPacketBytes) {
      open = false;
      total = 0;
    }
  }
  return plan;
}

void ReleaseBuild::WriteRecord(const PacketJob& packet, const Sha256Result& hash,
                               const char* kindWord) {
  std::string record = std::string(DigestText(hash).View()) + " " +
                       std::string(options_.url.View()) + "/" +
                       std::string(packet.packetName.View()) + " " +
                       std::to_string(packet.size) + " " + kindWord + "\r\n";
  for (const PacketEntry& entry : packet.entries) record += std::string(entry.name.View()) + "\r\n";
  record += "\r\n";
  std::fputs(record.c_str(), version_.get());
}

}  // namespace

bool BuildRelease(const ReleaseOptions& options, std::u16string& errorText, String& report,
                  unsigned workers) {
  return ReleaseBuild(options, errorText).Run(report, workers);
}
