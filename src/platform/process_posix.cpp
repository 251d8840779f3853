#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace platform {

namespace {

// The command line split as the option parser reads it: blanks, tabs and line ends separate,
// and a token opening with a double quote runs to the closing quote, without the quotes.
std::vector<std::string> SplitCommandLine(const std::string& text) {
    std::vector<std::string> tokens;
    size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++at;
        } else if (c == '"') {
            const size_t close = text.find('"', at + 1);
            const size_t end = close == std::string::npos ? text.size() : close;
            tokens.push_back(text.substr(at + 1, end - at - 1));
            at = end + 1;
        } else {
            const size_t end = text.find_first_of(" \t\r\n", at);
            tokens.push_back(text.substr(at, end == std::string::npos ? end : end - at));
            at = end == std::string::npos ? text.size() : end;
        }
    }
    return tokens;
}

// Like Windows, a bare program name is looked for in the current directory before the PATH.
std::string ProgramPath(const std::string& program) {
    if (program.find('/') == std::string::npos && access(program.c_str(), X_OK) == 0) {
        return "./" + program;
    }
    return program;
}

bool Spawn(const std::string& commandLine, const posix_spawn_file_actions_t* actions, pid_t& pid) {
    std::vector<std::string> tokens = SplitCommandLine(commandLine);
    if (tokens.empty()) return false;
    const std::string program = ProgramPath(tokens[0]);
    std::vector<char*> argv;
    for (std::string& token : tokens) argv.push_back(token.data());
    argv.push_back(nullptr);
    return posix_spawnp(&pid, program.c_str(), actions, nullptr, argv.data(), environ) == 0;
}

class PosixChildProcess : public ChildProcess {
public:
    PosixChildProcess(pid_t pid, int toChild, int fromChild)
        : pid_(pid), toChild_(toChild), fromChild_(fromChild) {}
    ~PosixChildProcess() override {
        close(toChild_);
        close(fromChild_);
        // The child keeps running on its own; its exit status is collected if it has one.
        if (!finished_) waitpid(pid_, nullptr, WNOHANG);
    }

    bool ExitCode(int32_t& code) override {
        if (!finished_) {
            int status = 0;
            const pid_t result = waitpid(pid_, &status, WNOHANG);
            if (result < 0) return false;
            if (result == 0) {
                code = kStillActive;
                return true;
            }
            finished_ = true;
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        code = exitCode_;
        return true;
    }

    int64_t BytesAvailable() override {
        int count = 0;
        return ioctl(fromChild_, FIONREAD, &count) == 0 ? count : -1;
    }

    int64_t Read(char* buffer, std::size_t length) override {
        return read(fromChild_, buffer, length);
    }

    bool Write(const char* bytes, std::size_t length) override {
        while (length > 0) {
            const ssize_t written = write(toChild_, bytes, length);
            if (written <= 0) return false;
            bytes += written;
            length -= static_cast<std::size_t>(written);
        }
        return true;
    }

private:
    pid_t pid_;
    int toChild_;
    int fromChild_;
    bool finished_ = false;
    int32_t exitCode_ = 0;
};

}  // namespace

bool StartDetachedProcess(const std::string& commandLine) {
    pid_t pid = 0;
    return Spawn(commandLine, nullptr, pid);
}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::string& commandLine) {
    int input[2];
    int output[2];
    if (pipe2(input, O_CLOEXEC) != 0) return nullptr;
    if (pipe2(output, O_CLOEXEC) != 0) {
        close(input[0]);
        close(input[1]);
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_adddup2(&actions, output[1], 2);
    pid_t pid = 0;
    const bool started = Spawn(commandLine, &actions, pid);
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    if (!started) {
        close(input[1]);
        close(output[0]);
        return nullptr;
    }
    return std::make_unique<PosixChildProcess>(pid, input[1], output[0]);
}

}  // namespace platform
