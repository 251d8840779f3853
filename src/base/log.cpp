#include "base/log.h"

#include <algorithm>
#include <cstdarg>
#include <string_view>
#include <vector>

#include "base/system.h"
#include "base/text.h"
#include "platform/clock.h"
#include "platform/debug_output.h"
#include "platform/file_system.h"

namespace {

// Larger logs are appended to without reading them back.
constexpr int64_t kHistoryLimit = 209715200;
// Old logs are read back in pieces of at most this many characters.
constexpr size_t kHistoryReadUnits = 1023;

const unsigned char kByteOrderMark[2] = {0xFF, 0xFE};

// Channels and sinks live until the process ends (never destroyed, so code running during
// static destruction may still log).
std::vector<LogChannel*>& ChannelList() {
    static auto* list = new std::vector<LogChannel*>();
    return *list;
}

std::vector<LogSink*>& SinkList() {
    static auto* list = new std::vector<LogSink*>();
    return *list;
}

struct SystemChannels {
    LogChannel main{"default", 2};
    LogChannel net{"net", 1};
    LogChannel objectSystem{"objectsystem", 0};
};

SystemChannels& Channels() {
    static auto* channels = new SystemChannels();
    return *channels;
}

// Creates the channels during static initialisation, in their fixed order.
[[maybe_unused]] const SystemChannels& kChannelsAtStart = Channels();

CriticalSection* LogLock() {
    static CriticalSection* lock = NewCriticalSection();
    return lock;
}

// Seconds since the first line, summed line by line; guarded by the log lock.
long double elapsedSeconds = 0;

void WriteBytes(std::FILE* file, const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), file);
}

void WriteWide(std::FILE* file, const std::u16string& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    WriteBytes(file, bytes);
}

std::FILE* CreateFresh(const String& name, bool wide) {
    std::FILE* file = platform::OpenFile(name.Text(), "wb");
    if (file != nullptr && wide) {
        std::fwrite(kByteOrderMark, 1, sizeof kByteOrderMark, file);
        std::fflush(file);
    }
    return file;
}

// Finds a UTF-16LE code unit sequence, given as bytes, at an even byte offset.
size_t FindUnits(std::string_view bytes, std::string_view units, size_t from = 0) {
    for (size_t at = from; (at = bytes.find(units, at)) != std::string_view::npos; ++at) {
        if (at % 2 == 0) return at;
    }
    return std::string::npos;
}

const std::string_view kLineFeed("\n\0", 2);
const std::string_view kByteOrderMarkUnit("\xFF\xFE", 2);
const std::string_view kRunMarker("S\0t\0a\0r\0t\0i\0n\0g\0 \0S\0y\0s\0t\0e\0m\0", 30);

// Reads a UTF-16LE file in pieces that end after a line feed or after kHistoryReadUnits
// characters, whichever comes first. Pieces stay raw bytes: history keeping only looks for
// markers and writes them back unchanged.
class Utf16PieceReader {
public:
    explicit Utf16PieceReader(std::FILE* file) : file_(file) {}

    bool Next(std::string& piece) {
        piece.clear();
        const size_t limit = 2 * kHistoryReadUnits;
        while (piece.size() < limit) {
            if (bytes_.size() - position_ < 2 && !Fill()) break;
            const size_t available = (bytes_.size() - position_) & ~size_t{1};
            const size_t wanted = std::min(limit - piece.size(), available);
            const std::string_view window = std::string_view(bytes_).substr(0, position_ + wanted);
            const size_t lineFeed = FindUnits(window, kLineFeed, position_);
            const bool lineEnds = lineFeed != std::string::npos;
            const size_t take = lineEnds ? lineFeed - position_ + 2 : wanted;
            piece.append(bytes_, position_, take);
            position_ += take;
            if (lineEnds) break;
        }
        return !piece.empty();
    }

private:
    bool Fill() {
        bytes_.erase(0, position_);  // keeps an odd byte waiting for its partner
        position_ = 0;
        char block[65536];
        bytes_.append(block, std::fread(block, 1, sizeof block, file_));
        return bytes_.size() >= 2;
    }

    std::FILE* file_;
    std::string bytes_;
    size_t position_ = 0;
};

String ArchiveName() {
    const platform::UtcTime now = platform::CurrentUtcTime();
    char name[32];
    std::snprintf(name, sizeof name, "%04i%02i%02i.log", now.year, now.month, now.day);
    return String(name);
}

std::FILE* OpenArchive() {
    const String name = ArchiveName();
    const bool existed = platform::FileExists(name.Text());
    std::FILE* archive = platform::OpenFile(name.Text(), "ab");
    if (archive != nullptr && !existed)
        std::fwrite(kByteOrderMark, 1, sizeof kByteOrderMark, archive);
    return archive;
}

// Keeps the last two runs (a run begins with a "Starting System" line) in the log and moves
// older runs to the daily archive. Null when the archive is needed but cannot be opened.
std::FILE* OpenKeepingHistory(const String& name) {
    std::FILE* old = platform::OpenFile(name.Text(), "rb");
    if (old == nullptr) return CreateFresh(name, true);
    Utf16PieceReader reader(old);
    std::string runs[2];
    int newest = -1;
    int buffered = 0;
    std::FILE* archive = nullptr;
    std::string piece;
    while (reader.Next(piece)) {
        size_t start = 0;
        while (piece.compare(start, 2, kByteOrderMarkUnit) == 0) start += 2;
        piece.erase(0, start);
        if (FindUnits(piece, kRunMarker) != std::string::npos) {
            newest = (newest + 1) % 2;
            if (buffered == 2) {
                if (archive == nullptr) archive = OpenArchive();
                if (archive == nullptr) {
                    std::fclose(old);
                    return nullptr;
                }
                WriteBytes(archive, runs[newest]);
            }
            runs[newest].clear();
            buffered = std::min(buffered + 1, 2);
        }
        if (newest >= 0) runs[newest] += piece;
    }
    if (archive != nullptr) std::fclose(archive);
    std::fclose(old);
    std::FILE* file = CreateFresh(name, true);
    if (file == nullptr) return nullptr;
    if (buffered == 2) WriteBytes(file, runs[(newest + 1) % 2]);
    if (newest >= 0) WriteBytes(file, runs[newest]);
    std::fflush(file);
    return file;
}

std::FILE* OpenLogFile(const String& name, bool keepHistory, bool wide) {
    const int64_t size = platform::FileSize(name.Text());
    if (!keepHistory || size < 0) return CreateFresh(name, wide);
    if (size > kHistoryLimit) {
        std::FILE* file = platform::OpenFile(name.Text(), "ab");
        if (file == nullptr) return nullptr;
        WriteWide(file, u"======= GAME LOG TOO LARGE =======\n");
        std::fflush(file);
        return file;
    }
    return OpenKeepingHistory(name);
}

std::u16string ToWide(const char* text) {
    std::u16string wide;
    if (!LatinToWide(wide, text)) Utf8ToWide(wide, text);
    return wide;
}

std::u16string FormatNarrow(const char* format, va_list args) {
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) return ToWide(format);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(length));
    return ToWide(text.c_str());
}

void AppendPadded(std::u16string& out, const std::u16string& text, int width, bool left) {
    const size_t padding = width > 0 && static_cast<size_t>(width) > text.size()
                               ? static_cast<size_t>(width) - text.size()
                               : 0;
    if (!left) out.append(padding, u' ');
    out += text;
    if (left) out.append(padding, u' ');
}

// Integer arguments by their length modifier ("h" and "hh" read an int), widened to 64 bits.
long long SignedArgument(const std::string& length, va_list& args) {
    if (length == "ll" || length == "j") return va_arg(args, long long);
    if (length == "l" || length == "z" || length == "t") return va_arg(args, long);
    return va_arg(args, int);
}

unsigned long long UnsignedArgument(const std::string& length, va_list& args) {
    if (length == "ll" || length == "j") return va_arg(args, unsigned long long);
    if (length == "l" || length == "z" || length == "t") return va_arg(args, unsigned long);
    return va_arg(args, unsigned);
}

// printf rules on a wide format, where "%s" takes a wide text and "%hs" an 8-bit one. Numbers
// are formatted by the narrow printf, which gives the same digits.
std::u16string FormatWide(const char16_t* format, va_list arguments) {
    va_list args;  // a local copy can be handed on by reference
    va_copy(args, arguments);
    std::u16string out;
    for (const char16_t* p = format; *p != 0; ++p) {
        if (*p != u'%') {
            out.push_back(*p);
            continue;
        }
        std::string spec = "%";
        const char16_t* start = p++;
        while (*p != 0 && std::u16string_view(u"-+ #0").find(*p) != std::u16string_view::npos) {
            spec.push_back(static_cast<char>(*p++));
        }
        int width = 0;
        if (*p == u'*') {
            width = va_arg(args, int);
            spec += std::to_string(width);
            ++p;
        }
        for (; *p >= u'0' && *p <= u'9'; ++p) {
            width = width * 10 + (*p - u'0');
            spec.push_back(static_cast<char>(*p));
        }
        if (*p == u'.') {
            spec.push_back(static_cast<char>(*p++));
            if (*p == u'*') {
                spec += std::to_string(va_arg(args, int));
                ++p;
            }
            for (; *p >= u'0' && *p <= u'9'; ++p) spec.push_back(static_cast<char>(*p));
        }
        std::string length;
        while (*p != 0 && std::u16string_view(u"hlLzjt").find(*p) != std::u16string_view::npos) {
            length.push_back(static_cast<char>(*p++));
        }
        const bool left = spec.find('-') != std::string::npos;
        const char16_t conversion = *p;
        char number[512];
        number[0] = '\0';
        const std::string numberSpec = spec;  // integers are formatted at 64 bits
        spec += length;
        spec.push_back(static_cast<char>(conversion));
        switch (conversion) {
            case u'%':
                out.push_back(u'%');
                break;
            case u's':
                if (length == "h") {
                    const char* text = va_arg(args, const char*);
                    AppendPadded(out, ToWide(text == nullptr ? "(null)" : text), width, left);
                } else {
                    const char16_t* text = va_arg(args, const char16_t*);
                    AppendPadded(out, text == nullptr ? u"(null)" : text, width, left);
                }
                break;
            case u'c':
                AppendPadded(out, std::u16string(1, static_cast<char16_t>(va_arg(args, int))),
                             width, left);
                break;
            case u'd':
            case u'i':
                std::snprintf(number, sizeof number, (numberSpec + "lld").c_str(),
                              SignedArgument(length, args));
                break;
            case u'u':
            case u'x':
            case u'X':
            case u'o':
                std::snprintf(number, sizeof number,
                              (numberSpec + "ll" + static_cast<char>(conversion)).c_str(),
                              UnsignedArgument(length, args));
                break;
            case u'f':
            case u'F':
            case u'e':
            case u'E':
            case u'g':
            case u'G':
                if (length == "L") {
                    std::snprintf(number, sizeof number, spec.c_str(), va_arg(args, long double));
                } else {
                    std::snprintf(number, sizeof number, spec.c_str(), va_arg(args, double));
                }
                break;
            case u'p':
                std::snprintf(number, sizeof number, "%p", va_arg(args, void*));
                break;
            default:  // not a conversion: keep the text as it stands
                out.append(start, conversion == 0 ? p : p + 1);
                break;
        }
        for (const char* n = number; *n != 0; ++n) out.push_back(static_cast<unsigned char>(*n));
        if (conversion == 0) break;
    }
    va_end(args);
    return out;
}

LogSink* ResolveSink(LogChannel& channel) {
    std::vector<LogSink*>& sinks = SinkList();
    if (channel.sinkName.IsEmpty()) return sinks.empty() ? nullptr : sinks[0];
    for (size_t i = 1; i < sinks.size(); ++i) {
        if (sinks[i] != nullptr && sinks[i]->Name() == channel.sinkName) return sinks[i];
    }
    if (sinks.empty() || sinks[0] == nullptr) return nullptr;
    LogSink* created =
        sinks[0]->CreateSink(channel.sinkName, channel.keepHistory, channel.wideSink);
    if (created != nullptr) sinks.push_back(created);
    return created;
}

std::u16string BuildLine(const LogChannel& channel, const std::u16string& message) {
    elapsedSeconds += ProcessStopwatch().Lap(0);
    if (!channel.timestamps) return message + u"\r\n";
    const platform::UtcTime now = platform::CurrentUtcTime();
    char stamp[96];
    std::snprintf(stamp, sizeof stamp, "%04i%02i%02i%02i%02i%02i%03i(%3.3f)|", now.year, now.month,
                  now.day, now.hour, now.minute, now.second, now.millisecond,
                  static_cast<double>(elapsedSeconds));
    std::u16string line = ToWide(stamp);
    if (&channel != &MainChannel()) line += ToWide(channel.name.Text());
    return line + u"|" + message + u"\r\n";
}

// The whole write (level test, formatting, sink resolution, writing) happens under the lock,
// so lines from different threads never interleave.
template <typename Format>
void Write(LogChannel& channel, int32_t level, Format format) {
    CriticalSection* lock = LogLock();
    Enter(lock);
    if (level <= channel.level) {
        const std::u16string message = format();
        if (channel.sink == nullptr) channel.sink = ResolveSink(channel);
        if (channel.sink != nullptr) {
            const std::u16string line = BuildLine(channel, message);
            if (channel.wideSink) {
                channel.sink->WriteLine(line);
                if (channel.debugOutput) platform::WriteDebugOutput(line);
            } else {
                const std::string narrow = ToUtf8(line);
                channel.sink->WriteLine(narrow);
                if (channel.debugOutput) platform::WriteDebugOutput(narrow);
            }
        }
    }
    Leave(lock);
}

#define UPDATER_WRITE_NARROW(channel, level, format)                       \
    do {                                                                   \
        va_list args;                                                      \
        va_start(args, format);                                            \
        Write(channel, level, [&] { return FormatNarrow(format, args); }); \
        va_end(args);                                                      \
    } while (false)

}  // namespace

FileLogSink::FileLogSink(const String& name, bool wide, std::FILE* file)
    : name_(name), wide_(wide), file_(file) {}

FileLogSink* FileLogSink::Open(const String& fileName, bool keepHistory, bool wide) {
    std::FILE* file = OpenLogFile(fileName, keepHistory, wide);
    return file == nullptr ? nullptr : new FileLogSink(fileName, wide, file);
}

FileLogSink::~FileLogSink() { std::fclose(file_); }

void FileLogSink::WriteLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

void FileLogSink::WriteLine(const std::u16string& line) {
    if (!wide_) {
        WriteLine(ToUtf8(line));
        return;
    }
    WriteWide(file_, line);
    std::fflush(file_);
}

LogSink* FileLogSink::CreateSink(const String& fileName, bool keepHistory, bool wide) {
    return Open(fileName, keepHistory, wide);
}

LogChannel::LogChannel(const char* channelName, int32_t channelLevel)
    : level(channelLevel), index(static_cast<int32_t>(ChannelList().size())), name(channelName) {
    ChannelList().push_back(this);
}

LogChannel& MainChannel() { return Channels().main; }
LogChannel& NetChannel() { return Channels().net; }
LogChannel& ObjectSystemChannel() { return Channels().objectSystem; }

bool OpenLog(const char* fileName) {
    CriticalSection* lock = LogLock();
    Enter(lock);
    SinkList().push_back(FileLogSink::Open(String(fileName), true, true));
    Leave(lock);
    return true;
}

void CloseLog() {
    CriticalSection* lock = LogLock();
    Enter(lock);
    for (LogSink* sink : SinkList()) delete sink;
    SinkList().clear();
    for (LogChannel* channel : ChannelList()) channel->sink = nullptr;
    Leave(lock);
}

void LogError(const char* format, ...) { UPDATER_WRITE_NARROW(MainChannel(), 0, format); }
void LogInfo(const char* format, ...) { UPDATER_WRITE_NARROW(MainChannel(), 2, format); }
void LogDetail(const char* format, ...) { UPDATER_WRITE_NARROW(MainChannel(), 3, format); }
void LogErrorTo(LogChannel& channel, const char* format, ...) {
    UPDATER_WRITE_NARROW(channel, 0, format);
}
void LogInfoTo(LogChannel& channel, const char* format, ...) {
    UPDATER_WRITE_NARROW(channel, 2, format);
}

void LogErrorWide(const char16_t* format, ...) {
    va_list args;
    va_start(args, format);
    Write(MainChannel(), 0, [&] { return FormatWide(format, args); });
    va_end(args);
}
