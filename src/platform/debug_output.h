// Text for an attached debugger (OutputDebugString on Windows; nothing elsewhere).
#ifndef SRC_PLATFORM_DEBUG_OUTPUT_H
#define SRC_PLATFORM_DEBUG_OUTPUT_H

#include <string>

namespace platform {

void WriteDebugOutput(const std::string& text);
void WriteDebugOutput(const std::u16string& text);

}  // namespace platform

#endif
