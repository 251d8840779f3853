#include "platform/command_line.h"

#include <windows.h>

#include "platform/win_text.h"

namespace platform {

std::string ProcessCommandLine() { return WinToUtf8(GetCommandLineW()); }

}  // namespace platform
