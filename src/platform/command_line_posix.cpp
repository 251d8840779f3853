#include "platform/command_line.h"

#include <fstream>
#include <iterator>

namespace platform {

std::string ProcessCommandLine() {
    // The kernel keeps argv as NUL-terminated strings, one after the other.
    std::ifstream file("/proc/self/cmdline", std::ios::binary);
    const std::string arguments((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
    std::string line;
    for (size_t start = 0; start < arguments.size();) {
        size_t end = arguments.find('\0', start);
        if (end == std::string::npos) end = arguments.size();
        const std::string argument = arguments.substr(start, end - start);
        if (!line.empty()) line += ' ';
        if (argument.empty() || argument.find_first_of(" \t") != std::string::npos) {
            line += '"' + argument + '"';
        } else {
            line += argument;
        }
        start = end + 1;
    }
    return line;
}

}  // namespace platform
