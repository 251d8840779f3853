// UpdaterApp: the application object of one updater process. It picks the job of this start
// from the command line and the configuration, runs it and returns the process exit code.
#ifndef APP_UPDATER_APP_H
#define APP_UPDATER_APP_H

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/option_set.h"
#include "base/string.h"
#include "ui/front_end.h"
#include "ui/status_window.h"
#include "update/update_engine.h"
#include "update/update_settings.h"
#include "supervision/watchdog.h"

// Process exit codes.
constexpr int32_t kExitOk = 0;
constexpr int32_t kExitInitFailed = 4;

class UpdaterApp : public FrontEndOwner {
public:
    // The 13 texts of the application, in this order, looked up by LoadTexts.
    enum Text {
        kTextError, kTextCheckingVersion, kTextNewUpdater, kTextPlay, kTextPackets, kTextSkip,
        kTextRemain, kTextFailedTempFile, kTextFailedUpdater, kTextZorvCheck, kTextZorvDownload,
        kTextExtracting, kTextCancel, kTextCount
    };

    UpdaterApp();
    virtual ~UpdaterApp();
    UpdaterApp(const UpdaterApp&) = delete;
    UpdaterApp& operator=(const UpdaterApp&) = delete;

    // The application of this process while it exists, else null.
    static UpdaterApp* Current();

    virtual void Tick();
    void RequestSkip() override { skipRequested = true; }
    void SetPaused(bool value) override { paused = value; }
    virtual int32_t Run(int32_t showMode, const String& commandLine, Watchdog* watchdog);
    virtual bool Init(const String& commandLine);
    virtual void Finish();
    virtual void OnStop() {}
    // Takes the option set and copies it into the fields; false when the configuration is
    // unusable.
    virtual bool ApplyOptions(std::unique_ptr<OptionSet> set);
    virtual void LoadTexts();
    // False when a renewed updater was started (or renewal failed) and this process ends.
    virtual bool RenewUpdater(const String& commandLine);
    // True when the server's deactivation notice was shown and this process ends.
    virtual bool CheckDeactivated();
    virtual void BuildRelease();
    virtual void WriteUpdaterHash();
    virtual void Restart();
    virtual void PrepareExecute();
    virtual bool StepGameUpdate();
    virtual bool StepZorvUpdate();
    virtual bool AcquireInstanceMutex() = 0;
    virtual void ReleaseInstanceMutex() = 0;

    // base + every token of the effective option text, each after a blank, in double quotes
    // when it holds a blank.
    std::string BuildArguments(const std::string& base) const;
    // The update server and game as the engine and the deactivation check need them.
    UpdateSettings Settings() const;
    // Reads the configuration and the command line into options (Init's first steps).
    bool BuildEffectiveOptions(const String& commandLine);

    // The fields are the application's state, read by its front-end and its tests.
    String game;
    String edition;
    String platform;
    String zorvPath;
    bool zorvPathGiven = false;
    bool noHash = false;
    bool local = false;
    bool test = false;
    bool restricted = false;
    bool kickstart = false;
    bool hidden = false;
    bool polling = true;
    std::optional<std::string> installation;
    std::optional<std::string> localPath;
    std::vector<String> modules;
    int32_t updaterVersion = 0;
    std::unique_ptr<StatusWindow> statusWindow;
    std::unique_ptr<UpdateEngine> engine;
    Watchdog* watchdog = nullptr;
    std::unique_ptr<OptionSet> options;
    bool windowMode = true;
    int32_t tickDepth = 0;
    std::atomic<bool> paused = false;
    bool crashFlag = false;
    String configName = "gameconfig.bin";
    bool release = false;
    std::optional<std::string> install;
    std::optional<std::string> execute;
    std::optional<std::string> hash;
    String gameLogFile = "game.log";
    String crashUrl;
    std::optional<std::string> exePath;
    std::optional<std::string> updaterName;
    String language;
    std::string programToStart;
    std::string programArguments;
    int32_t lastEngineState = 1;
    std::u16string errorText;
    std::array<std::u16string, kTextCount> texts;
    int32_t tickState = 0;
    bool gameUpdated = false;
    bool legacyConfig = false;
    String appTitle = "Larkspire";
    String updateServer;  // host[:port] of the update server; the build's default until set
    std::atomic<bool> skipRequested = false;

private:
    // Moves Tick's state on; true when the run is to end now.
    bool AdvanceTickState();
    // Reports the version hash, prepares the game's start and closes the window.
    void EndRun();
    void ShowTransfer(int32_t status);
    void ReportFailure(bool show);
    void RunWindowLoop();

    // The whole second of elapsed time that the remaining-time line was last built for.
    int32_t shownSecond_ = 0;
};

#endif  // APP_UPDATER_APP_H
