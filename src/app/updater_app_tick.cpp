// The status state machine that the window loop steps: it steps the update engine and turns
// its state into texts, progress and messages.
#include <cstdio>

#include "app/transfer_display.h"
#include "app/updater_app.h"
#include "base/text.h"
#include "base/update_log.h"

namespace {

bool IsTransfer(int32_t status) {
    return status == UpdateEngine::kFetchVersion || status == UpdateEngine::kDownloadUpdater ||
           status == UpdateEngine::kDownloadPacket;
}

}  // namespace

void UpdaterApp::Tick() {
    if (tickDepth > 0 || paused) return;
    ++tickDepth;
    if (AdvanceTickState()) EndRun();
    --tickDepth;
}

bool UpdaterApp::AdvanceTickState() {
    switch (tickState) {
        case 1:
            tickState = 2;
            UpdateLog("Status: GAME_UPDATE");
            [[fallthrough]];
        case 2:
            if (!StepGameUpdate()) tickState = 3;
            return false;
        case 3:
            UpdateLog("Status: GAME_UPDATE_DONE");
            if (zorvPathGiven && gameUpdated) {
                tickState = 4;
                UpdateLog("Status: ZORV_UPDATE");
            } else {
                tickState = 6;
            }
            return false;
        case 4:
            if (!StepZorvUpdate()) tickState = 5;
            return false;
        case 5:
            UpdateLog("Status: ZORV_UPDATE_DONE");
            tickState = 6;
            [[fallthrough]];
        case 6:
            UpdateLog("Status: QUIT");
            return true;
        default:
            return true;
    }
}

void UpdaterApp::EndRun() {
    if (gameUpdated && engine) {
        const std::string line = "set versionhash " + engine->VersionHash() + "\n";
        std::fputs(line.c_str(), stdout);
        std::fflush(stdout);
        if (watchdog != nullptr) watchdog->SetParameter("versionhash", String(engine->VersionHash()));
    }
    statusWindow->StopTimer();
    if (!restricted || gameUpdated) PrepareExecute();
    statusWindow->Shutdown();
}

bool UpdaterApp::StepGameUpdate() {
    if (!engine) return true;
    bool result = !engine->Step();
    const int32_t status = engine->Status();
    const bool changed = status != lastEngineState;
    if (changed) UpdateLog(("state " + std::to_string(status)).c_str());
    switch (status) {
        case UpdateEngine::kParsing:
            if (const VersionFile* file = engine->CurrentVersionFile()) {
                if (file->Progress() >= 0) statusWindow->SetProgress(file->Progress());
            }
            break;
        case UpdateEngine::kUpdaterSaved:
            Restart();
            statusWindow->Shutdown();
            break;
        case UpdateEngine::kDownloadUpdater:
            if (changed) {
                if (hidden) statusWindow->Show(true);
                statusWindow->SetStatusText(texts[kTextNewUpdater]);
            }
            ShowTransfer(status);
            break;
        case UpdateEngine::kFetchVersion:
        case UpdateEngine::kDownloadPacket:
            ShowTransfer(status);
            break;
        case UpdateEngine::kDone:
            if (changed) {
                gameUpdated = true;
                result = false;
            }
            break;
        case UpdateEngine::kError:
            if (changed) {
                ReportFailure(true);
                result = false;
            }
            break;
        case UpdateEngine::kOffline:
            if (changed) ReportFailure(!hidden);
            result = false;
            break;
        default:
            break;
    }
    lastEngineState = status;
    return result;
}

void UpdaterApp::ReportFailure(bool show) {
    const std::u16string message = texts[kTextError] + u"\n" + engine->ErrorText();
    if (show) statusWindow->ShowMessage(String(ToUtf8(message)), true);
    UpdateLogWide(message);
}

void UpdaterApp::ShowTransfer(int32_t status) {
    if (!IsTransfer(lastEngineState)) {
        if (status == UpdateEngine::kDownloadPacket && hidden) statusWindow->Show(true);
        if (!engine->NothingPending()) {
            statusWindow->SetStatusText(texts[kTextPackets] + u" " +
                                        FromUtf8(std::to_string(engine->PacketCount())) + u", " +
                                        FromUtf8(std::to_string(engine->Total() / 1024)) + u" KB");
        }
    }
    if (status == UpdateEngine::kFetchVersion) {
        std::u16string text = texts[kTextCheckingVersion];
        if (engine->ChainNumber() > 0) text += u"\n" + FromUtf8(std::to_string(engine->ChainNumber()));
        statusWindow->SetStatusText(text);
    }
    const int32_t second = engine->Elapsed() / 1000;
    if (second != shownSecond_) {
        shownSecond_ = second;
        statusWindow->SetInfoText(
            TransferInfo(texts[kTextRemain], engine->Total(), engine->Done(), engine->Elapsed()));
    }
    statusWindow->SetProgress(TransferProgress(engine->Total(), engine->Done()));
}

// No scene-update client exists in this build, so the scene phase ends at once.
bool UpdaterApp::StepZorvUpdate() { return false; }
