// UTF-8 <-> UTF-16 at the Win32 boundary; used only by the Windows files of the platform layer.
#ifndef SRC_PLATFORM_WIN_TEXT_H
#define SRC_PLATFORM_WIN_TEXT_H

#include <string>

namespace platform {

std::wstring Utf8ToWin(const std::string& text);
std::string WinToUtf8(const std::wstring& text);

}  // namespace platform

#endif
