// WinUpdaterApp: the updater application of this build, with its status window and the
// instance mutex of a game edition.
#ifndef APP_WIN_UPDATER_APP_H
#define APP_WIN_UPDATER_APP_H

#include <memory>

#include "app/updater_app.h"
#include "platform/instance_mutex.h"

class WinUpdaterApp : public UpdaterApp {
public:
    WinUpdaterApp();
    ~WinUpdaterApp() override;

    // Up to 11 attempts, 1000 ms apart, to create the mutex "Updater-" + game + "-" + edition.
    bool AcquireInstanceMutex() override;
    void ReleaseInstanceMutex() override;

private:
    std::unique_ptr<platform::InstanceMutex> instanceMutex_;
};

#endif  // APP_WIN_UPDATER_APP_H
