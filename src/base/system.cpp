#include "base/system.h"

#include <limits>

#include "base/allocation.h"
#include "base/log.h"
#include "base/text.h"
#include "platform/clock.h"
#include "platform/file_system.h"

String FixSlashes(const char* path) {
    String fixed(path);
    fixed.ReplaceChar('/', '\\');
    return fixed;
}

int64_t FileSize(const char* path) { return platform::FileSize(path == nullptr ? "" : path); }

std::FILE* OpenFile(const char* path, const char* mode) {
    return platform::OpenFile(path == nullptr ? "" : path, mode);
}

bool System::Load(const char* path, char*& buffer, int32_t& size) {
    const String fixed = FixSlashes(path);
    buffer = nullptr;
    const int64_t fileSize = FileSize(fixed.Text());
    if (fileSize == -1) {
        size = -1;
        LogDetail("System::Load(%s) file does not exist", fixed.Text());
        return false;
    }
    size = 0;
    // The buffer's size is a 32-bit count; a larger file cannot be loaded whole.
    if (fileSize > std::numeric_limits<int32_t>::max()) return false;
    std::FILE* file = OpenFile(fixed.Text(), "rb");
    if (file == nullptr) {
        LogDetail("System::Load(%s) Fopen() failed", fixed.Text());
        return false;
    }
    const auto wanted = static_cast<size_t>(fileSize);
    char* bytes = static_cast<char*>(Allocate(wanted));
    const size_t got = std::fread(bytes, 1, wanted, file);
    const bool closed = std::fclose(file) == 0;
    if (!closed || got != wanted) {
        Release(bytes);
        return false;
    }
    buffer = bytes;
    size = static_cast<int32_t>(fileSize);
    return true;
}

void FoldersToCreate(const char* path, Array<String>& folders) {
    Array<String> components;
    Split(components, FixSlashes(path).Text(), '\\', true, '"');
    String prefix;
    for (int32_t i = 0; i + 1 < components.Count(); ++i) {
        prefix.Append(components.At(i));
        prefix.AppendChar('\\');
        if (components.At(i).FindChar(':') < 0) folders.Append(prefix);
    }
}

bool System::Save(const char* path, const char* bytes, int32_t length) {
    if (bytes == nullptr || length <= 0) return false;
    Array<String> folders;
    FoldersToCreate(path, folders);
    for (int32_t i = 0; i < folders.Count(); ++i) platform::CreateFolder(folders.At(i).Text());
    return platform::WriteWholeFile(FixSlashes(path).Text(), bytes, static_cast<size_t>(length));
}

bool ListFiles(const String& folder, const String& pattern, Array<String>& out, bool recurse) {
    std::vector<platform::FolderEntry> entries;
    if (!platform::ListFolder(folder.Text(), pattern.Text(), entries)) return false;
    for (const platform::FolderEntry& entry : entries) {
        const String path = folder.Concat(String(entry.name));
        if (!entry.isFolder) {
            out.Append(path);
        } else if (recurse && entry.name[0] != '.') {
            ListFiles(path.Concat("\\"), pattern, out, true);
        }
    }
    return true;
}

CriticalSection* NewCriticalSection() { return new CriticalSection(); }
void Enter(CriticalSection* section) { section->Enter(); }
void Leave(CriticalSection* section) { section->Leave(); }

Stopwatch::Stopwatch() : frequency_(platform::HighResolutionFrequency()), slots_(128, 0) {}

long double Stopwatch::Lap(int32_t slot) {
    const auto index = static_cast<uint32_t>(slot);
    if (index > 65536) return 0;
    if (index >= slots_.size()) slots_.resize(slots_.size() + index, 0);
    const int64_t reading = platform::HighResolutionCounter();
    int64_t& stored = slots_[index];
    const int64_t previous = stored;
    stored = reading;
    if (previous == 0) return 0;
    return static_cast<long double>(reading - previous) / static_cast<long double>(frequency_);
}

Stopwatch& ProcessStopwatch() {
    static Stopwatch stopwatch;
    return stopwatch;
}
