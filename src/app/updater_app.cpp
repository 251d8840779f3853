#include "app/updater_app.h"

#include "app/app_texts.h"
#include "base/text.h"
#include "base/update_log.h"
#include "integrity/public_key.h"
#include "platform/clock.h"
#include "release/release_builder.h"
#include "release/release_options.h"
#include "release/updater_hash.h"
#include "supervision/start_program.h"
#include "supervision/win_watchdog_server.h"
#include "update/deactivation_check.h"
#include "update/install_mode.h"
#include "update/updater_renewal.h"

namespace {

UpdaterApp* current = nullptr;

}  // namespace

UpdaterApp* UpdaterApp::Current() { return current; }

UpdaterApp::UpdaterApp()
    : crashUrl("http://" UPDATER_CRASH_URL "/errorHandler.aspx?"), updateServer(UPDATER_SERVER) {
    current = this;
}

UpdaterApp::~UpdaterApp() {
    engine.reset();
    statusWindow.reset();
    if (current == this) current = nullptr;
}

std::string UpdaterApp::BuildArguments(const std::string& base) const {
    return options ? base + ArgumentText(*options) : base;
}

UpdateSettings UpdaterApp::Settings() const {
    UpdateSettings settings;
    ParseServerAddress(updateServer, settings.host, settings.port);
    settings.game = game;
    settings.edition = edition;
    settings.platform = platform;
    settings.modules = modules;
    settings.test = test;
    settings.local = local;
    if (localPath) settings.localPath = String(*localPath);
    settings.noHash = noHash;
    if (installation) settings.installation = String(*installation);
    if (exePath) settings.exePath = String(*exePath);
    return settings;
}

void UpdaterApp::LoadTexts() {
    static constexpr const char* kKeys[kTextCount] = {
        "error",      "checking version...", "new updater",   "play",
        "packets",    "skip",                "remain",        "failed temp file",
        "failed updater", "zorv check",      "zorv download", "extracting",
        "cancel"};
    for (int i = 0; i < kTextCount; ++i) texts[i] = AppText(kKeys[i], language.Text());
}

int32_t UpdaterApp::Run(int32_t showMode, const String& commandLine, Watchdog* endpoint) {
    watchdog = endpoint;
    if (watchdog != nullptr && watchdog->IsServer()) {
        static_cast<WinWatchdogServer*>(watchdog)->Setup("server", commandLine, nullptr);
        if (!RenewUpdater(commandLine)) {
            UpdateLog("UpgradeUpdater");
            return kExitOk;
        }
    }
    if (!Init(commandLine)) {
        UpdateLog("return error RETURN_INIT");
        return kExitInitFailed;
    }
    std::string value;
    if (options->HasFlag("release") || options->GetText("hash", value) != 0 ||
        options->GetText("install", value) != 0) {
        return kExitOk;
    }
    if (watchdog != nullptr && watchdog->IsServer()) {
        String name;
        String parameter;
        for (int32_t index = 0; options->NextPair(index, name, parameter);) {
            watchdog->SetParameter(name, parameter);
        }
    }
    int32_t exitCode = kExitOk;
    if (windowMode) {
        if (CheckDeactivated()) return kExitOk;
        if (!statusWindow->Init(showMode, language, appTitle, !restricted, !hidden)) {
            ReleaseInstanceMutex();
            UpdateLog("init window error");
            return kExitInitFailed;
        }
        statusWindow->Show(!hidden);
        statusWindow->SetStatusText(texts[kTextCheckingVersion]);
        statusWindow->SetButtonText(texts[kTextSkip]);
        tickState = 1;
        RunWindowLoop();
        exitCode = statusWindow->GetExitCode();
        Finish();
        UpdateLog(("return " + std::to_string(exitCode)).c_str());
    }
    if (watchdog != nullptr && watchdog->IsServer()) {
        auto* server = static_cast<WinWatchdogServer*>(watchdog);
        while (polling && server->Poll()) platform::SleepMilliseconds(100);
    }
    return exitCode;
}

void UpdaterApp::RunWindowLoop() {
    for (;;) {
        const bool closed = !statusWindow->Pump();
        if (skipRequested && (!restricted || gameUpdated)) {
            statusWindow->StopTimer();
            PrepareExecute();
            statusWindow->Shutdown();
        }
        if (closed) break;
        Tick();
        const bool parsing = engine && engine->Status() == UpdateEngine::kParsing && !paused;
        // Waiting on the engine's connection lets data in as soon as it arrives; the tick
        // stays the upper bound.
        if (!parsing && !(engine && engine->WaitForRequest(100))) {
            platform::SleepMilliseconds(100);
        }
    }
}

bool UpdaterApp::Init(const String& commandLine) {
    UpdateLog("init");
    const OptionSet tokens(commandLine.Text());
    std::string path;
    if (tokens.FirstPlain(path) != 0) exePath = path;
    LoadPublicKey();
    if (!BuildEffectiveOptions(commandLine)) return false;
    if (!ApplyOptions(std::move(options))) return false;
    LoadTexts();
    if (hash) {
        WriteUpdaterHash();
    } else if (install) {
        InstallPacketFile(String(*install), errorText);
    } else if (release) {
        BuildRelease();
    } else {
        if (!AcquireInstanceMutex()) return false;
        UpdateLog("connect");
        engine = std::make_unique<UpdateEngine>(Settings());
        return true;
    }
    if (errorText.empty()) return true;
    if (CurrentFrontEnd() != nullptr) CurrentFrontEnd()->LastErrorMessage(errorText);
    return false;
}

void UpdaterApp::WriteUpdaterHash() { ::WriteUpdaterHash(String(*hash), errorText); }

void UpdaterApp::BuildRelease() {
    ReleaseOptions releaseOptions;
    String report;
    if (ReadReleaseOptions(*options, releaseOptions, errorText) &&
        ::BuildRelease(releaseOptions, errorText, report)) {
        statusWindow->Printf(FromUtf8(report.View()));
    }
}

void UpdaterApp::Finish() {
    engine.reset();
    OnStop();
    ReleaseInstanceMutex();
    if (programToStart.empty()) return;
    platform::SleepMilliseconds(500);
    StartProgram(programToStart, programArguments, execute && programToStart == *execute,
                 watchdog);
}

void UpdaterApp::Restart() {
    programToStart = engine->FileName().View();
    UpdateLog(("restart " + programToStart).c_str());
    programArguments = BuildArguments(programArguments);
}

void UpdaterApp::PrepareExecute() {
    if (!execute) return;
    programToStart = *execute;
    programArguments = BuildArguments(programArguments);
}

bool UpdaterApp::RenewUpdater(const String& commandLine) {
    RenewalSettings settings;
    settings.targetName = UPDATER_EXE_NAME;
    settings.startProgram = [this](const std::string& program, const std::string& arguments) {
        return StartProgram(program, arguments, false, watchdog) == 0;
    };
    settings.reportError = [](const std::u16string& message) {
        if (CurrentFrontEnd() != nullptr) CurrentFrontEnd()->LastErrorMessage(message);
    };
    const RenewalResult result = ::RenewUpdater(commandLine, settings);
    if (result.deleteRequested) kickstart = false;
    return result.continueRun;
}

bool UpdaterApp::CheckDeactivated() {
    if (!restricted) return false;
    std::u16string notice;
    if (!FetchDeactivationNotice(Settings(), notice)) return false;
    if (CurrentFrontEnd() != nullptr) CurrentFrontEnd()->ShowMessage(String(ToUtf8(notice)), false);
    return true;
}
