// The calling thread's last operating-system error (GetLastError / errno) as text.
#ifndef SRC_PLATFORM_SYSTEM_ERROR_H
#define SRC_PLATFORM_SYSTEM_ERROR_H

#include <string>

namespace platform {

int LastErrorCode();
// UTF-8 description of the last error, without a trailing line end.
std::string LastErrorText();

}  // namespace platform

#endif
