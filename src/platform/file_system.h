// Files and folders by UTF-8 name. Either slash is accepted as the separator on every
// platform, so portable code may build paths with "\\" and run unchanged on Linux.
#ifndef SRC_PLATFORM_FILE_SYSTEM_H
#define SRC_PLATFORM_FILE_SYSTEM_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// fopen with a UTF-8 name (_wfopen on Windows); the file may be shared with other processes.
std::FILE* OpenFile(const std::string& path, const char* mode);

bool ReadWholeFile(const std::string& path, std::string& bytes);
// Creates or truncates the file; missing folders are not created.
bool WriteWholeFile(const std::string& path, const void* bytes, std::size_t length);

// Size in bytes, -1 when the file does not exist or cannot be examined.
std::int64_t FileSize(const std::string& path);
bool FileExists(const std::string& path);  // a file or a folder
bool IsFolder(const std::string& path);

bool RemoveFile(const std::string& path);
// Replaces an existing target.
bool RenameFile(const std::string& from, const std::string& to);
// Creates one folder; false when it could not be created (also when it already exists).
bool CreateFolder(const std::string& path);

struct FolderEntry {
    std::string name;  // without the folder
    bool isFolder;
};

// Entries of `folder` whose names match `pattern` ("*" and "?" wildcards, letters in either
// case), without hidden and system entries (Windows attributes; Linux has none). False when
// the folder cannot be read or nothing matches.
bool ListFolder(const std::string& folder, const std::string& pattern,
                std::vector<FolderEntry>& entries);

// The process's current working directory (UTF-8), empty on failure.
std::string WorkingDirectory();
bool ChangeWorkingDirectory(const std::string& path);

}  // namespace platform

#endif
