#include <windows.h>

#include "app/app_entry.h"
#include "app/framework_main.h"

// The GUI entry point; the command line is read as wide text inside FrameworkMain.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return FrameworkMain(AppEntry, "watchdog.log"); }
