#include "platform/process.h"

#include <windows.h>

#include <vector>

#include "platform/win_text.h"

namespace platform {

namespace {

class WinChildProcess : public ChildProcess {
public:
    WinChildProcess(HANDLE process, HANDLE toChild, HANDLE fromChild)
        : process_(process), toChild_(toChild), fromChild_(fromChild) {}
    ~WinChildProcess() override {
        CloseHandle(toChild_);
        CloseHandle(fromChild_);
        CloseHandle(process_);
    }

    bool ExitCode(int32_t& code) override {
        DWORD value = 0;
        if (!GetExitCodeProcess(process_, &value)) return false;
        code = static_cast<int32_t>(value);
        return true;
    }

    int64_t BytesAvailable() override {
        DWORD count = 0;
        if (!PeekNamedPipe(fromChild_, nullptr, 0, nullptr, &count, nullptr)) return -1;
        return count;
    }

    int64_t Read(char* buffer, std::size_t length) override {
        DWORD read = 0;
        if (!ReadFile(fromChild_, buffer, static_cast<DWORD>(length), &read, nullptr)) return -1;
        return read;
    }

    bool Write(const char* bytes, std::size_t length) override {
        DWORD written = 0;
        return WriteFile(toChild_, bytes, static_cast<DWORD>(length), &written, nullptr) &&
               written == length && FlushFileBuffers(toChild_);
    }

private:
    HANDLE process_;
    HANDLE toChild_;
    HANDLE fromChild_;
};

// The parent's own copy of a pipe end, not inherited by the child.
bool OwnCopy(HANDLE handle, HANDLE& copy) {
    return DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, FALSE,
                           DUPLICATE_SAME_ACCESS);
}

}  // namespace

bool StartDetachedProcess(const std::string& commandLine) {
    std::wstring line = Utf8ToWin(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outputRead = nullptr, outputWrite = nullptr, inputRead = nullptr, inputWrite = nullptr;
    if (!CreatePipe(&outputRead, &outputWrite, &inherit, 0)) return nullptr;
    if (!CreatePipe(&inputRead, &inputWrite, &inherit, 0)) {
        CloseHandle(outputRead);
        CloseHandle(outputWrite);
        return nullptr;
    }
    const HANDLE created[] = {outputRead, outputWrite, inputRead, inputWrite};
    auto closeAll = [&created] {
        for (HANDLE handle : created) CloseHandle(handle);
    };

    std::wstring line = Utf8ToWin(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inputRead;
    startup.hStdOutput = outputWrite;
    startup.hStdError = outputWrite;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &info)) {
        closeAll();
        return nullptr;
    }
    CloseHandle(info.hThread);
    HANDLE toChild = nullptr, fromChild = nullptr;
    const bool copied = OwnCopy(inputWrite, toChild) && OwnCopy(outputRead, fromChild);
    closeAll();
    if (!copied) {
        if (toChild != nullptr) CloseHandle(toChild);
        CloseHandle(info.hProcess);
        return nullptr;
    }
    return std::make_unique<WinChildProcess>(info.hProcess, toChild, fromChild);
}

}  // namespace platform
