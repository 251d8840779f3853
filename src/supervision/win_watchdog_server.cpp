#include "supervision/win_watchdog_server.h"

#include "base/log.h"
#include "base/option_set.h"

void WinWatchdogServer::Setup(const String& name, const String& commandLine,
                              ExitCallback exitCallback) {
    name_ = name;
    commandLine_ = commandLine;
    exitCallback_ = std::move(exitCallback);
}

void WinWatchdogServer::SetParameter(const String& name, const String& value) {
    parameters_.push_back(name);
    parameters_.push_back(value);
}

String WinWatchdogServer::GetParameter(const String& name) const {
    for (size_t i = 0; i + 1 < parameters_.size(); i += 2) {
        if (parameters_[i] == name) return parameters_[i + 1];
    }
    return String();
}

bool WinWatchdogServer::Execute(const String& name, const String& program,
                                const String& arguments, const String& logName) {
    auto record = std::make_unique<ProcessRecord>();
    record->name = name;
    record->program = program;
    record->logName = logName;
    // The first token of the arguments stands for the program; quotes the parser removed are
    // not restored.
    const OptionSet tokens(arguments.Text());
    std::string commandLine(program.View());
    commandLine += ' ';
    for (int32_t index = 2; index < tokens.Count(); ++index) {
        commandLine += tokens.Entry(index).View();
        commandLine += ' ';
    }
    record->process = platform::ChildProcess::Start(commandLine);
    if (!record->process) {
        LogErrorWide(u"WinWatchdogServer: could not create process");
        if (exitCallback_) exitCallback_(program, "TODO", -1000, logName, false);
        return false;
    }
    processes_.push_back(std::move(record));
    return true;
}

// The callback's text argument is the fixed word "TODO" that crash reports carry.
bool WinWatchdogServer::Poll() {
    bool busy = false;
    for (const auto& record : processes_) {
        if (record->finished) continue;
        int32_t code = 0;
        if (record->process->ExitCode(code) && code != platform::ChildProcess::kStillActive) {
            if (code != 0 && exitCallback_) {
                exitCallback_(record->program, "TODO", code, record->logName, false);
            }
            record->finished = true;
            record->exitCode = code;
        } else {
            ReadOutput(*record);
            busy = true;
        }
    }
    return busy;
}

// Takes only what the child has written so far, so a silent child never blocks the server.
void WinWatchdogServer::ReadOutput(ProcessRecord& record) {
    const int64_t available = record.process->BytesAvailable();
    if (available < 0) {
        LogError("could not peek pipe");
        return;
    }
    std::string bytes(static_cast<size_t>(available), '\0');
    if (available > 0 && record.process->Read(bytes.data(), bytes.size()) != available) {
        LogError("could not read from pipe");
        return;
    }
    for (const char c : bytes) {
        if (c == '\r') continue;
        if (c != '\n') {
            record.lineBuffer += c;
            continue;
        }
        if (record.lineBuffer.empty()) {
            LogInfo("got empty line from client");
        } else {
            LogDetail("%s: %s", record.name.Text(), record.lineBuffer.c_str());
        }
        record.lineBuffer.clear();
    }
}
