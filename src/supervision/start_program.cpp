#include "supervision/start_program.h"

#include "base/log.h"
#include "base/text.h"
#include "platform/process.h"
#include "ui/front_end.h"

int32_t StartProgram(const std::string& program, const std::string& arguments, bool supervised,
                     Watchdog* watchdog) {
    if (program.empty()) return 3;
    LogInfo("startProgramm %s, %s, %i", program.c_str(), arguments.c_str(), supervised ? 1 : 0);
    if (supervised) {
        LogInfo("executing %s %s", program.c_str(), arguments.c_str());
        // A failed supervised start is reported by the watchdog itself.
        if (watchdog != nullptr) {
            watchdog->Execute("game", String(program), String(arguments), "game.log");
        }
        return 0;
    }
    if (platform::StartDetachedProcess(program + arguments)) return 0;
    if (CurrentFrontEnd() != nullptr) {
        CurrentFrontEnd()->LastErrorMessage(FromUtf8(program.substr(0, program.find(' '))));
    }
    return 1;
}
