// Thin system services of the framework: whole-file reading and writing, file sizes, folder
// listing, critical sections and lap timing. Paths may use either slash.
#ifndef SRC_BASE_SYSTEM_H
#define SRC_BASE_SYSTEM_H

#include <cstdint>
#include <cstdio>
#include <vector>

#include "base/array.h"
#include "base/string.h"
#include "platform/critical_section.h"

// Copy of the path with every "/" replaced by "\\".
String FixSlashes(const char* path);

// Size in bytes, or -1 when the file does not exist or cannot be examined. 64-bit so that
// files above 2 GiB are not misread.
int64_t FileSize(const char* path);

// fopen with a UTF-8 name; null on failure.
std::FILE* OpenFile(const char* path, const char* mode);

class System {
public:
    // Reads a whole file into a new buffer that the caller frees with Release. An empty file
    // gives size 0 and a one-byte buffer. On failure buffer is null and size 0 (or -1 when
    // the file does not exist).
    static bool Load(const char* path, char*& buffer, int32_t& size);
    // Writes a whole file, creating missing folders first. False for null or empty input.
    static bool Save(const char* path, const char* bytes, int32_t length);
};

// The folders System::Save creates before writing `path`, outermost first; drive
// components ("C:") are skipped.
void FoldersToCreate(const char* path, Array<String>& folders);

// Appends folder + name for every file matching pattern; with recurse, descends into
// matching sub-folders whose names do not begin with ".". The folder must end with a
// separator. False when nothing matches.
bool ListFiles(const String& folder, const String& pattern, Array<String>& out, bool recurse);

using CriticalSection = platform::CriticalSection;

// Never destroyed: the locks built on it live for the whole run.
CriticalSection* NewCriticalSection();
void Enter(CriticalSection* section);
void Leave(CriticalSection* section);

// Lap timing on the high-resolution counter, one reading per slot. Not locked.
class Stopwatch {
public:
    Stopwatch();
    // Seconds since the previous call on the slot; 0 on the first call and for slots above
    // 65536 (negative ones included).
    long double Lap(int32_t slot);

private:
    int64_t frequency_;
    std::vector<int64_t> slots_;
};

// The process-wide stopwatch; the framework log uses its slot 0.
Stopwatch& ProcessStopwatch();

#endif  // SRC_BASE_SYSTEM_H
