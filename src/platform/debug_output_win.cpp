#include "platform/debug_output.h"

#include <windows.h>

namespace platform {

void WriteDebugOutput(const std::string& text) { OutputDebugStringA(text.c_str()); }

void WriteDebugOutput(const std::u16string& text) {
    const std::wstring wide(text.begin(), text.end());
    OutputDebugStringW(wide.c_str());
}

}  // namespace platform
