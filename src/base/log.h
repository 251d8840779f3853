// The framework log: named channels with levels, writing timestamped UTF-16 lines through
// shared file sinks (and to the debugger output). Every write happens under one process lock.
#ifndef SRC_BASE_LOG_H
#define SRC_BASE_LOG_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/string.h"

class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void WriteLine(const std::string& line) = 0;
    virtual void WriteLine(const std::u16string& line) = 0;
    // A sink of the same kind for another file; null when it cannot be opened.
    virtual LogSink* CreateSink(const String& fileName, bool keepHistory, bool wide) = 0;
    virtual const String& Name() const = 0;
};

class FileLogSink : public LogSink {
public:
    // Opens the file, with history keeping when asked (the last two runs stay in the file,
    // older ones go to the daily archive yyyymmdd.log); null when that fails.
    static FileLogSink* Open(const String& fileName, bool keepHistory, bool wide);
    ~FileLogSink() override;

    void WriteLine(const std::string& line) override;
    void WriteLine(const std::u16string& line) override;
    LogSink* CreateSink(const String& fileName, bool keepHistory, bool wide) override;
    const String& Name() const override { return name_; }

private:
    FileLogSink(const String& name, bool wide, std::FILE* file);

    String name_;
    bool wide_;
    std::FILE* file_;
};

// A message (level 0 error, 2 information, 3 detail) is written when its level is not above
// the channel's level.
class LogChannel {
public:
    LogChannel(const char* name, int32_t level);
    LogChannel(const LogChannel&) = delete;
    LogChannel& operator=(const LogChannel&) = delete;

    int32_t level;
    int32_t index;  // position in the process-wide channel list
    bool debugOutput = true;
    bool timestamps = true;
    String name;
    String sinkName;  // empty: the default sink
    bool keepHistory = true;
    bool wideSink = true;
    LogSink* sink = nullptr;  // not owned; resolved on first use
};

// The channels of this system, created during static initialisation in this order.
LogChannel& MainChannel();          // "default", level 2; its lines carry no channel name
LogChannel& NetChannel();           // "net", level 1
LogChannel& ObjectSystemChannel();  // "objectsystem", level 0

#define UPDATER_LOG_FORMAT(format_index, first_arg) \
    __attribute__((format(gnu_printf, format_index, first_arg)))

// Opens the default sink (history keeping, UTF-16). Always true: a log that cannot be opened
// is silently absent.
bool OpenLog(const char* fileName);
// Destroys every sink and forgets every channel's resolved sink.
void CloseLog();

void LogError(const char* format, ...) UPDATER_LOG_FORMAT(1, 2);
// A wide format: "%s" takes a char16_t text, "%hs" an 8-bit one; numbers as in printf.
void LogErrorWide(const char16_t* format, ...);
void LogInfo(const char* format, ...) UPDATER_LOG_FORMAT(1, 2);
void LogDetail(const char* format, ...) UPDATER_LOG_FORMAT(1, 2);
void LogErrorTo(LogChannel& channel, const char* format, ...) UPDATER_LOG_FORMAT(2, 3);
void LogInfoTo(LogChannel& channel, const char* format, ...) UPDATER_LOG_FORMAT(2, 3);

#endif  // SRC_BASE_LOG_H
