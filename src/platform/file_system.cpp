#include "platform/file_system.h"

namespace platform {

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr) return false;
    char block[65536];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
    const bool failed = std::ferror(file) != 0;
    return (std::fclose(file) == 0) && !failed;
}

bool WriteWholeFile(const std::string& path, const void* bytes, std::size_t length) {
    std::FILE* file = OpenFile(path, "wb");
    if (file == nullptr) return false;
    const bool written = length == 0 || std::fwrite(bytes, 1, length, file) == length;
    return (std::fclose(file) == 0) && written;
}

}  // namespace platform
