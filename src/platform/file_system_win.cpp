#include "platform/file_system.h"

#include <windows.h>

#include "platform/win_text.h"

namespace platform {

namespace {

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return GetFileAttributesExW(Utf8ToWin(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

}  // namespace

std::FILE* OpenFile(const std::string& path, const char* mode) {
    const std::string narrowMode = mode;
    const std::wstring wideMode(narrowMode.begin(), narrowMode.end());
    return _wfopen(Utf8ToWin(path).c_str(), wideMode.c_str());
}

std::int64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Attributes(path, data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return -1;
    }
    return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(Utf8ToWin(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Utf8ToWin(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(Utf8ToWin(path).c_str()) != 0; }

bool RenameFile(const std::string& from, const std::string& to) {
    return MoveFileExW(Utf8ToWin(from).c_str(), Utf8ToWin(to).c_str(), MOVEFILE_REPLACE_EXISTING) !=
           0;
}

bool CreateFolder(const std::string& path) {
    return CreateDirectoryW(Utf8ToWin(path).c_str(), nullptr) != 0;
}

bool ListFolder(const std::string& folder, const std::string& pattern,
                std::vector<FolderEntry>& entries) {
    entries.clear();
    std::string search = folder;
    if (!search.empty() && search.back() != '\\' && search.back() != '/') search += '\\';
    WIN32_FIND_DATAW found;
    HANDLE handle = FindFirstFileW(Utf8ToWin(search + pattern).c_str(), &found);
    if (handle == INVALID_HANDLE_VALUE) return false;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0)
            continue;
        entries.push_back(
            FolderEntry{WinToUtf8(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(handle, &found) != 0);
    FindClose(handle);
    return !entries.empty();
}

std::string WorkingDirectory() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return std::string();
    std::wstring path(needed, L'\0');
    const DWORD written = GetCurrentDirectoryW(needed, path.data());
    path.resize(written);
    return WinToUtf8(path);
}

bool ChangeWorkingDirectory(const std::string& path) {
    return SetCurrentDirectoryW(Utf8ToWin(path).c_str()) != 0;
}

}  // namespace platform
