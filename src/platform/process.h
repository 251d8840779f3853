// Starting other programs: a plain start that is not waited for, and child processes whose
// standard input and output are pipes to this process.
#ifndef SRC_PLATFORM_PROCESS_H
#define SRC_PLATFORM_PROCESS_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// Starts the command line (program first; double-quoted stretches are one argument) with this
// process's environment and current directory. The program is not watched.
bool StartDetachedProcess(const std::string& commandLine);

class ChildProcess {
public:
    // The exit code reported while the child still runs.
    static constexpr int32_t kStillActive = 259;

    // Starts the command line with its standard input read from one pipe and its standard
    // output and error written to another; null when the pipes or the process cannot be made.
    static std::unique_ptr<ChildProcess> Start(const std::string& commandLine);
    virtual ~ChildProcess() = default;

    // The exit code, or kStillActive while the child runs; false when it cannot be asked.
    virtual bool ExitCode(int32_t& code) = 0;
    // Bytes the child has written that can be read without waiting; -1 on failure.
    virtual int64_t BytesAvailable() = 0;
    // Reads up to `length` bytes that BytesAvailable reported; -1 on failure.
    virtual int64_t Read(char* buffer, std::size_t length) = 0;
    virtual bool Write(const char* bytes, std::size_t length) = 0;
};

}  // namespace platform

#endif  // SRC_PLATFORM_PROCESS_H
