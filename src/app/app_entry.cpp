#include "app/app_entry.h"

#include "app/win_updater_app.h"

int32_t AppEntry(int32_t showMode, const String& commandLine, Watchdog* watchdog) {
    WinUpdaterApp app;
    return app.Run(showMode, commandLine, watchdog);
}
