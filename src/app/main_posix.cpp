#include "app/app_entry.h"
#include "app/framework_main.h"

// The command line is read back from the system inside FrameworkMain, as on Windows.
int main() { return FrameworkMain(AppEntry, "watchdog.log"); }
