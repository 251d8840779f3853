#include "base/update_log.h"

#include <cstdio>
#include <mutex>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace {

// Lines come from the main and the window thread; one lock keeps each line whole.
std::mutex updateLogLock;
bool firstWrite = true;
const char* const kUpdateLogName = "updater.log";

}  // namespace

void UpdateLog(const char* text) {
    const std::lock_guard<std::mutex> guard(updateLogLock);
    std::FILE* file = platform::OpenFile(kUpdateLogName, firstWrite ? "wb" : "ab");
    firstWrite = false;
    if (file == nullptr) return;
    const platform::UtcTime now = platform::CurrentUtcTime();
    std::fprintf(file, "%04i%02i%02i%02i%02i%02i%03i|%s\r\n", now.year, now.month, now.day,
                 now.hour, now.minute, now.second, now.millisecond, text == nullptr ? "" : text);
    std::fclose(file);
}

void UpdateLogWide(const std::u16string& text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (char16_t unit : text) narrow.push_back(unit > 255 ? '?' : static_cast<char>(unit));
    UpdateLog(narrow.c_str());
}
