#include "update/update_engine.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <optional>
#include <utility>

#include "base/text.h"
#include "base/update_log.h"
#include "integrity/digest.h"
#include "integrity/packed_bytes.h"
#include "integrity/packet.h"
#include "integrity/public_key.h"
#include "net/proxy_settings.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "update/executable_file.h"
#include "update/update_texts.h"

namespace {

// Sealed version files are small; anything far larger is not one.
constexpr int64_t kMaxVersionFileBytes = 32 * 1024 * 1024;

// Varies with every call, so repeated requests pass caches and saved files do not collide.
String RandomText() {
  const int64_t counter = platform::HighResolutionCounter();
  char text[32];
  std::snprintf(text, sizeof text, "%" PRIx32 "%" PRIx32 "%" PRIx32, platform::TickMilliseconds(),
                static_cast<uint32_t>(counter), static_cast<uint32_t>(static_cast<uint64_t>(counter) >> 32));
  return String(text);
}

// The part after the last "/"; empty when there is none.
String LastPathElement(const String& url) {
  const int32_t slash = url.FindLastChar('/');
  return slash < 0 ? String() : url.Tail(slash + 1);
}

}  // namespace

UpdateEngine::UpdateEngine(const UpdateSettings& settings)
    : settings_(settings),
      fileName_(settings.exePath),
      ownHash_(DigestText(CachedFileDigest(settings.exePath))),
      versionPath_(VersionFilePath(settings)),
      startTick_(platform::TickMilliseconds()),
      lastTick_(startTick_) {
  download_.useProxy = ReadProxySettings(download_.proxyHost, download_.proxyPort);
}

UpdateEngine::~UpdateEngine() {
  download_.request.reset();
  RemoveDownloadFile();
  ClearDigestCache();
  SetDigestCacheEnabled(false);
}

bool UpdateEngine::Step() {
  lastTick_ = platform::TickMilliseconds();
  bool ended = false;
  switch (download_.status) {
    case kStart: ended = StepStart(); break;
    case kFetchVersion: ended = settings_.local ? StepReadLocal() : StepFetchVersion(); break;
    case kParsing: ended = StepParse(); break;
    case kDownloadUpdater: ended = StepDownloadUpdater(); break;
    case kPacketsQueued: ended = StepQueued(); break;
    case kNextPacket: ended = StepNextPacket(); break;
    case kDownloadPacket: ended = StepDownloadPacket(); break;
    default: break;
  }
  return ended || download_.status == kError;
}

int64_t UpdateEngine::Total() const {
  if (download_.status == kDownloadUpdater) {
    return download_.request ? std::max<int64_t>(download_.request->ContentLength(), 1) : 1;
  }
  return std::max<int64_t>(totalBytes_, 1);
}

int64_t UpdateEngine::Done() const {
  return doneBytes_ + (download_.request ? download_.request->BytesReceived() : 0);
}

bool UpdateEngine::WaitForRequest(int timeoutMs) const {
  if (!download_.request || download_.request->Done()) return false;
  download_.request->WaitReady(timeoutMs);
  return true;
}

bool UpdateEngine::StepStart() {
  if (settings_.host.IsEmpty()) {
    download_.status = kError;
    return true;
  }
  SetDigestCacheEnabled(true);
  if (settings_.local) {
    download_.status = kFetchVersion;
  } else {
    FetchVersionFile(true);
  }
  return false;
}

bool UpdateEngine::StepReadLocal() {
  const std::string path(settings_.localPath.View());
  const std::u16string widePath = FromUtf8(path);
  if (!platform::FileExists(path)) {
    Fail(u"local file not found: " + widePath);
    return true;
  }
  std::string text;
  if (!platform::ReadWholeFile(path, text)) {
    Fail(u"read error from local file: " + widePath);
    return true;
  }
  firstFile_ = true;
  versionFile_ = std::make_unique<VersionFile>(String(text));
  download_.status = kParsing;
  return false;
}

bool UpdateEngine::StepFetchVersion() {
  const int outcome = PollRestarting("no connection");
  if (outcome == kStillRunning) return false;
  if (outcome == kDownloadFailed) return true;

  const HTTPRequest& request = *download_.request;
  const std::optional<std::vector<uint8_t>> decrypted =
      DecryptVersionFile(request.Data(), static_cast<size_t>(request.DataLength()));
  download_.request.reset();
  if (!decrypted) {
    Fail(u"no data decrypted");
    return true;
  }
  const std::optional<std::string> text = UnpackBytes(decrypted->data(), decrypted->size());
  if (!text) {
    Fail(u"unzip error");
    return true;
  }
  firstFile_ = filesFetched_ == 0;
  versionFile_ = std::make_unique<VersionFile>(String(*text));
  ++filesFetched_;
  download_.status = kParsing;
  return false;
}

bool UpdateEngine::StepParse() {
  if (!versionFile_) {
    Fail(u"version check error");
    return true;
  }
  if (!versionFile_->ParseLine()) return false;
  const std::unique_ptr<VersionFile> parsed = std::move(versionFile_);
  Evaluate(*parsed, firstFile_);
  return false;
}

void UpdateEngine::Evaluate(const VersionFile& file, bool first) {
  UpdateLog(("version " + std::to_string(file.UpdateNumber())).c_str());
  if (file.Failed()) {
    Fail(file.Error());
    return;
  }
  if (first) {
    versionHash_ = std::string(settings_.game.View()) + "." + std::to_string(file.UpdateNumber());
    for (const String& module : settings_.modules) versionHash_ += "." + std::string(module.View());
    if (!settings_.noHash && file.UpdaterHash() != ownHash_) {
      // ownHash now names the updater that is wanted: the download must match it.
      download_.status = kDownloadUpdater;
      ownHash_ = file.UpdaterHash();
      fileName_ = file.UpdaterFileName();
      StartFileDownload(file.UpdaterUrl(), -1);
      return;
    }
  }
  if (file.Missing().empty()) {
    QueueInstalledChain();
    return;
  }
  history_.push_back(file);
  // Update numbers fall along the chain; a file that does not continue that order would
  // let a faulty chain be walked for ever, so it counts as the oldest one.
  const bool older = first || file.UpdateNumber() < chainNumber_;
  if (!file.PreviousFile().IsEmpty() && file.UpdateNumber() != 0 && older) {
    if (settings_.local) {
      download_.status = kPacketsQueued;  // nothing older can be fetched
    } else {
      chainNumber_ = file.UpdateNumber();
      versionPath_ = RemoteFolder(settings_).Concat(file.PreviousFile());
      FetchVersionFile(false);
    }
    return;
  }
  // The oldest file is reached without finding the installed state: everything the newest
  // file lists as missing is installed.
  for (const PacketInfo& packet : history_.front().Missing()) {
    if (packet.full) download_.corruptInstallation = true;
    pending_.push_back(packet);
  }
  download_.status = kPacketsQueued;
}

// The installed state is known: each newer file's patch leads on from it, oldest first.
void UpdateEngine::QueueInstalledChain() {
  for (const VersionFile& newer : history_) {
    const PacketInfo* packet = &newer.Missing().front();
    if (packet->full) {
      download_.corruptInstallation = true;
      // The release builder lists the patch first, so this is the file's patch packet.
      if (!newer.Present().empty()) packet = &newer.Present().front();
    }
    pending_.push_front(*packet);
  }
  download_.status = kPacketsQueued;
}

// The hardware report goes with the first request of a run only.
void UpdateEngine::FetchVersionFile(bool first) {
  download_.status = kFetchVersion;
  requestOptions_ = RequestOptions();
  requestOptions_.maxBodyLength = kMaxVersionFileBytes;
  DownloadUrl(download_, HostAndPort(settings_).Concat(versionPath_).Concat(RequestQuery(first)),
              requestOptions_);
}

bool UpdateEngine::StepDownloadUpdater() {
  const int outcome = PollRestarting("fail down updater");
  if (outcome == kStillRunning) return false;
  download_.request.reset();
  if (outcome == kDownloadOk) SaveUpdater();
  RemoveDownloadFile();
  return outcome == kDownloadFailed;
}

// The new updater is kept, and later started, only when it is the one the version file names.
void UpdateEngine::SaveUpdater() {
  const String downloaded(requestOptions_.bodyFile);
  if (DigestText(Sha256File(downloaded)) != ownHash_) {
    UpdateLog("updater hash mismatch");
    Fail(UpdateText("fail down updater"));
    return;
  }
  fileName_ = RandomText().Concat("_").Concat(fileName_);
  const std::string target(fileName_.View());
  if (!platform::RenameFile(requestOptions_.bodyFile, target) || !MakeExecutable(target)) {
    platform::RemoveFile(target);
    Fail(download_.errorText + UpdateText("fail file update") + FromUtf8(target));
    return;
  }
  download_.status = kUpdaterSaved;
}

bool UpdateEngine::StepQueued() {
  ClearDigestCache();
  SetDigestCacheEnabled(false);
  totalBytes_ = 0;
  for (const PacketInfo& packet : pending_) {
    totalBytes_ += std::max<int64_t>(packet.size, 0);
    ++packetCount_;
  }
  return StepNextPacket();
}

bool UpdateEngine::StepNextPacket() {
  if (pending_.empty()) {
    download_.status = kDone;
    return false;
  }
  download_.status = kDownloadPacket;
  const PacketInfo& packet = pending_.front();
  fileName_ = LastPathElement(packet.url);
  // The declared size bounds the download, so a wrong or hostile server cannot fill the disk.
  StartFileDownload(packet.url, std::max<int64_t>(packet.size, 0));
  return false;
}

bool UpdateEngine::StepDownloadPacket() {
  const int outcome = PollDownload("no connection");
  if (outcome == kStillRunning) return false;
  const int64_t length = outcome == kDownloadOk ? download_.request->DataLength() : 0;
  download_.request.reset();
  if (outcome == kDownloadOk) {
    download_.status = kNextPacket;
    doneBytes_ += length;
    InstallPacket();
    pending_.pop_front();
  }
  RemoveDownloadFile();
  if (outcome == kDownloadRetry) return StepNextPacket();  // the same packet again
  return outcome == kDownloadFailed;
}

int UpdateEngine::PollDownload(const char* missingTextKey) {
  if (!download_.request) {
    Fail(UpdateText(missingTextKey));
    return kDownloadFailed;
  }
  if (!download_.request->Poll()) return kStillRunning;
  return CheckDownload(download_);
}

void UpdateEngine::InstallPacket() {
  const PacketInfo& packet = pending_.front();
  UpdateLog(String("paket ").Concat(fileName_).Text());
  PacketCheck check;
  check.hash = packet.hash;
  check.files = packet.files;
  std::u16string error;
  if (!InstallPacketFromFile(String(requestOptions_.bodyFile), fileName_, &check, error)) {
    Fail(error + u"\nArchive: " + FromUtf8(fileName_.View()));
  }
}

int UpdateEngine::PollRestarting(const char* missingTextKey) {
  const int outcome = PollDownload(missingTextKey);
  if (outcome != kDownloadRetry) return outcome;
  DownloadUrl(download_, download_.url, requestOptions_);
  return kStillRunning;
}

void UpdateEngine::Fail(std::u16string text) {
  download_.errorText = std::move(text);
  download_.status = kError;
}

void UpdateEngine::StartFileDownload(const String& url, int64_t maxLength) {
  RemoveDownloadFile();
  requestOptions_ = RequestOptions();
  requestOptions_.maxBodyLength = maxLength;
  requestOptions_.bodyFile = "~" + std::string(RandomText().View()) + ".download";
  DownloadUrl(download_, url, requestOptions_);
}

void UpdateEngine::RemoveDownloadFile() {
  if (requestOptions_.bodyFile.empty()) return;
  platform::RemoveFile(requestOptions_.bodyFile);
  requestOptions_.bodyFile.clear();
}

String UpdateEngine::RequestQuery(bool withHardware) const {
  String query("?r=");
  query.Append(RandomText());
  if (withHardware && !settings_.hardwareReport.IsEmpty()) {
    String encoded;
    UrlEncode(encoded, settings_.hardwareReport.Text());
    query.Append("&d=");
    query.Append(encoded);
  }
  if (!settings_.installation.IsEmpty()) {
    query.Append("&i=");
    query.Append(settings_.installation);
  }
  return query;
}
