#include "platform/instance_mutex.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {

namespace {

std::string LockFolder() {
    for (const char* variable : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const char* folder = std::getenv(variable);
        if (folder != nullptr && *folder != '\0') return folder;
    }
    return "/tmp";
}

class LockFile : public InstanceMutex {
public:
    explicit LockFile(int fd) : fd_(fd) {}
    // The file stays: another instance may still hold it open.
    ~LockFile() override { close(fd_); }

private:
    int fd_;
};

}  // namespace

std::unique_ptr<InstanceMutex> InstanceMutex::Create(const std::string& name) {
    const std::string path = LockFolder() + "/" + name;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    return std::make_unique<LockFile>(fd);
}

}  // namespace platform
