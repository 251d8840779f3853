#include "platform/debug_output.h"

namespace platform {

// There is no debugger output channel here; the log files carry everything.
void WriteDebugOutput(const std::string&) {}
void WriteDebugOutput(const std::u16string&) {}

}  // namespace platform
