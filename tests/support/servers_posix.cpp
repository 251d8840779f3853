#include "support/servers_start.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

namespace testing_support {

namespace {

namespace fs = std::filesystem;

// The launcher lives as long as the pipe to its standard input: it stops the servers when
// this process ends, however it ends.
class Launcher {
public:
    ~Launcher() {
        if (pipe_ != nullptr) pclose(pipe_);
        std::error_code ignored;
        fs::remove(state_, ignored);
    }

    TestServers Start() {
        TestServers servers;
        const fs::path script = fs::path(__FILE__).parent_path() / "start_servers.py";
        state_ = fs::temp_directory_path() /
                 ("updater-servers-" + std::to_string(std::chrono::steady_clock::now()
                                                          .time_since_epoch()
                                                          .count()) +
                  ".txt");
        // The system interpreter when there is one: version-manager shims cost seconds.
        const std::string python = fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
        const std::string command = python + " '" + script.string() + "' --state '" + state_.string() +
                                    "' > /dev/null";
        pipe_ = popen(command.c_str(), "we");
        if (pipe_ == nullptr) {
            servers.error = "could not run " + command;
            return servers;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!fs::exists(state_) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::map<std::string, std::string> entries;
        std::ifstream in(state_);
        for (std::string line; std::getline(in, line);) {
            const std::size_t equals = line.find('=');
            if (equals != std::string::npos) entries[line.substr(0, equals)] = line.substr(equals + 1);
        }
        if (!AssignServers(entries, servers)) servers.error = "the servers did not start: " + command;
        return servers;
    }

private:
    std::FILE* pipe_ = nullptr;
    fs::path state_;
};

}  // namespace

TestServers StartOwnServers() {
    static Launcher launcher;
    return launcher.Start();
}

}  // namespace testing_support
