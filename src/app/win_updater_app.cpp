#include "app/win_updater_app.h"

#include "base/update_log.h"
#include "platform/clock.h"

WinUpdaterApp::WinUpdaterApp() {
    platform = UPDATER_PLATFORM;
    updaterVersion = 32;
    crashFlag = true;
    statusWindow = std::make_unique<StatusWindow>(*this);
}

WinUpdaterApp::~WinUpdaterApp() { statusWindow.reset(); }

bool WinUpdaterApp::AcquireInstanceMutex() {
    const std::string name = "Updater-" + std::string(game.View()) + "-" + std::string(edition.View());
    for (int attempt = 0; attempt < 11; ++attempt) {
        if (attempt > 0) platform::SleepMilliseconds(1000);
        instanceMutex_ = platform::InstanceMutex::Create(name);
        if (instanceMutex_) return true;
    }
    const char* const message = "Another Updater is still running. Exiting...";
    UpdateLog(message);
    statusWindow->ShowMessage(String(message), true);
    return false;
}

void WinUpdaterApp::ReleaseInstanceMutex() { instanceMutex_.reset(); }
