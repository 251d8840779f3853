#include "platform/system_error.h"

#include <cerrno>
#include <system_error>

namespace platform {

int LastErrorCode() { return errno; }

std::string LastErrorText() { return std::generic_category().message(errno); }

}  // namespace platform
