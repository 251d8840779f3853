#include "platform/file_system.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace platform {

namespace {

// Portable code may use Windows separators; here they mean "/".
std::string NativePath(const std::string& path) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

bool Status(const std::string& path, struct stat& status) {
    return ::stat(NativePath(path).c_str(), &status) == 0;
}

}  // namespace

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(NativePath(path).c_str(), mode);
}

std::int64_t FileSize(const std::string& path) {
    struct stat status {};
    if (!Status(path, status) || S_ISDIR(status.st_mode)) return -1;
    return static_cast<std::int64_t>(status.st_size);
}

bool FileExists(const std::string& path) {
    struct stat status {};
    return Status(path, status);
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return Status(path, status) && S_ISDIR(status.st_mode);
}

bool RemoveFile(const std::string& path) { return ::unlink(NativePath(path).c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
    return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool CreateFolder(const std::string& path) { return ::mkdir(NativePath(path).c_str(), 0777) == 0; }

bool ListFolder(const std::string& folder, const std::string& pattern,
                std::vector<FolderEntry>& entries) {
    entries.clear();
    std::string base = NativePath(folder);
    if (!base.empty() && base.back() != '/') base += '/';
    DIR* listing = ::opendir(base.empty() ? "." : base.c_str());
    if (listing == nullptr) return false;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        // Linux has no hidden or system attribute: a name starting with "." (".config") is an
        // ordinary entry, as on Windows.
        if (name == "." || name == "..") continue;
        if (::fnmatch(pattern.c_str(), name.c_str(), FNM_NOESCAPE | FNM_CASEFOLD) != 0) continue;
        entries.push_back(FolderEntry{name, IsFolder(base + name)});
    }
    ::closedir(listing);
    // Directory order is arbitrary here; sorted names match what NTFS returns.
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return !entries.empty();
}

std::string WorkingDirectory() {
    std::string path(4096, '\0');
    if (::getcwd(path.data(), path.size()) == nullptr) return std::string();
    path.resize(path.find('\0'));
    return path;
}

bool ChangeWorkingDirectory(const std::string& path) {
    return ::chdir(NativePath(path).c_str()) == 0;
}

}  // namespace platform
