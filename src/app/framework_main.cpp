#include "app/framework_main.h"

#include <cfenv>
#include <memory>

#include "base/log.h"
#include "base/option_set.h"
#include "integrity/digest.h"
#include "platform/command_line.h"
#include "supervision/win_watchdog_server.h"

String MagicAccessValue() {
    // Stored little-endian whatever the machine, so the value is the same everywhere.
    constexpr uint32_t kConstant = 0x4B52414C;
    const uint8_t bytes[4] = {static_cast<uint8_t>(kConstant), static_cast<uint8_t>(kConstant >> 8),
                              static_cast<uint8_t>(kConstant >> 16),
                              static_cast<uint8_t>(kConstant >> 24)};
    return Md5Hex(bytes, sizeof(bytes));
}

String CheckedCommandLine(const String& commandLine) {
    const OptionSet options(commandLine.Text());
    String magic;
    if (options.GetString("magic", magic) == 0 || magic == MagicAccessValue()) return commandLine;
    std::string first;
    if (options.FirstPlain(first) == 0) return "exe";
    return String(first);
}

int32_t FrameworkMain(ApplicationEntry entry, const char* logFileName) {
    // Round to nearest with every floating-point exception masked.
    std::fesetenv(FE_DFL_ENV);
    OpenLog(logFileName);
    // This line starts a run: the log's history keeping counts runs by it.
    LogInfo("Starting System");
    auto watchdog = std::make_unique<WinWatchdogServer>();
    const String commandLine = CheckedCommandLine(String(platform::ProcessCommandLine()));
    const int32_t result = entry(1, commandLine, watchdog.get());
    watchdog.reset();
    CloseLog();
    return result;
}
