// WinWatchdogServer: starts programs as children connected by pipes and watches them until
// they end, reporting abnormal ends to an exit callback.
#ifndef SUPERVISION_WIN_WATCHDOG_SERVER_H
#define SUPERVISION_WIN_WATCHDOG_SERVER_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/string.h"
#include "platform/process.h"
#include "supervision/watchdog.h"

class WinWatchdogServer : public Watchdog {
public:
    // program, text, exit code, log name, quiet.
    using ExitCallback =
        std::function<void(const String&, const String&, int32_t, const String&, bool)>;

    void SetParameter(const String& name, const String& value) override;
    String GetParameter(const String& name) const override;
    bool Execute(const String& name, const String& program, const String& arguments,
                 const String& logName) override;
    bool IsServer() const override { return true; }

    void Setup(const String& name, const String& commandLine, ExitCallback exitCallback);
    // One supervision step: notices children that ended and takes what they wrote. True while
    // a child runs.
    bool Poll();

private:
    struct ProcessRecord {
        String name;
        String program;
        String logName;
        std::unique_ptr<platform::ChildProcess> process;
        bool finished = false;
        int32_t exitCode = 0;
        std::string lineBuffer;
    };

    void ReadOutput(ProcessRecord& record);

    String name_;
    String commandLine_;
    ExitCallback exitCallback_;
    std::vector<String> parameters_;  // name, value, name, value, ...
    std::vector<std::unique_ptr<ProcessRecord>> processes_;
};

#endif  // SUPERVISION_WIN_WATCHDOG_SERVER_H
