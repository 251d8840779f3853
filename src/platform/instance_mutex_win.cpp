#include "platform/instance_mutex.h"

#include <windows.h>

#include "platform/win_text.h"

namespace platform {

namespace {

class NamedMutex : public InstanceMutex {
public:
    explicit NamedMutex(HANDLE handle) : handle_(handle) {}
    ~NamedMutex() override {
        ReleaseMutex(handle_);
        CloseHandle(handle_);
    }

private:
    HANDLE handle_;
};

}  // namespace

std::unique_ptr<InstanceMutex> InstanceMutex::Create(const std::string& name) {
    // A handle to a mutex that already existed is success too.
    HANDLE handle = CreateMutexW(nullptr, TRUE, Utf8ToWin(name).c_str());
    if (handle == nullptr) return nullptr;
    return std::make_unique<NamedMutex>(handle);
}

}  // namespace platform
