// UpdateEngine: brings the game folder (the current directory) up to the newest published
// state. A state machine without a thread of its own: the owner calls Step about every 100 ms,
// and without pause while a version file is being parsed.
#ifndef UPDATE_UPDATE_ENGINE_H
#define UPDATE_UPDATE_ENGINE_H

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "base/string.h"
#include "net/download.h"
#include "update/update_settings.h"
#include "update/version_file.h"

class UpdateEngine {
 public:
  enum : int32_t {
    kStart = 0,
    kOffline = 1,
    kFetchVersion = 2,
    kPacketsQueued = 3,
    kDownloadUpdater = 4,
    kUpdaterSaved = 5,
    kDownloadPacket = 6,
    kNextPacket = 7,
    kDone = 8,
    kError = 9,
    kParsing = 10,
  };

  explicit UpdateEngine(const UpdateSettings& settings);
  // Switches the digest cache off and removes a download file left behind.
  virtual ~UpdateEngine();
  UpdateEngine(const UpdateEngine&) = delete;
  UpdateEngine& operator=(const UpdateEngine&) = delete;

  // One step; true when the run has just ended in failure (status 1 or 9) and on every step
  // in status 9.
  virtual bool Step();
  virtual int32_t Status() const { return download_.status; }
  virtual bool NothingPending() const { return pending_.empty(); }
  // The file being downloaded; after status 5 the saved new updater, to be started.
  virtual const String& FileName() const { return fileName_; }
  // game.updateNumber[.module...] of the newest version file.
  virtual const std::string& VersionHash() const { return versionHash_; }
  virtual const std::u16string& ErrorText() const { return download_.errorText; }
  // Bytes of the whole transfer (at least 1) and those done so far.
  virtual int64_t Total() const;
  virtual int64_t Done() const;
  // Milliseconds from construction to the last Step.
  virtual int32_t Elapsed() const { return static_cast<int32_t>(lastTick_ - startTick_); }
  // The version file being parsed, for its progress; null outside status 10.
  virtual const VersionFile* CurrentVersionFile() const { return versionFile_.get(); }

  int32_t PacketCount() const { return packetCount_; }
  // Update number of the older version file being fetched; 0 for the first.
  int32_t ChainNumber() const { return chainNumber_; }
  bool CorruptInstallation() const { return download_.corruptInstallation; }
  // Waits at most timeoutMs until the download under way can make progress, so the caller's
  // loop waits on the network instead of sleeping. False at once when no download runs.
  bool WaitForRequest(int timeoutMs) const;

 private:
  bool StepStart();
  bool StepReadLocal();
  bool StepFetchVersion();
  bool StepParse();
  bool StepDownloadUpdater();
  bool StepQueued();
  bool StepNextPacket();
  bool StepDownloadPacket();

  // The download's outcome once it has finished (see CheckDownload), kStillRunning before;
  // without a download the run fails with the text of missingTextKey.
  static constexpr int kStillRunning = -1;
  int PollDownload(const char* missingTextKey);
  // As PollDownload, but a download to be retried starts again at once, with the body limits it
  // started with, and counts as still running.
  int PollRestarting(const char* missingTextKey);
  void Evaluate(const VersionFile& file, bool first);
  void QueueInstalledChain();
  void FetchVersionFile(bool first);
  void SaveUpdater();
  void InstallPacket();
  void Fail(std::u16string text);
  // Downloads to a temporary file in the game folder; a limit below 0 means none.
  void StartFileDownload(const String& url, int64_t maxLength);
  void RemoveDownloadFile();
  String RequestQuery(bool withHardware) const;

  UpdateSettings settings_;
  DownloadFields download_;
  RequestOptions requestOptions_;  // of the download under way
  String fileName_;
  String ownHash_;
  std::string versionHash_;
  String versionPath_;
  bool firstFile_ = false;
  std::unique_ptr<VersionFile> versionFile_;
  int32_t filesFetched_ = 0;
  int32_t chainNumber_ = 0;
  std::vector<VersionFile> history_;
  std::deque<PacketInfo> pending_;
  int32_t packetCount_ = 0;
  int64_t totalBytes_ = 1;
  int64_t doneBytes_ = 0;
  uint32_t startTick_;
  uint32_t lastTick_;
};

#endif  // UPDATE_UPDATE_ENGINE_H
