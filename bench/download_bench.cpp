// Download benchmark driver for bench/download.sh.
//   download_bench ours HOST PORT PATH FILE
//       HTTPRequest polled by a loop that waits at most 100 ms for the socket, streaming to FILE;
//   download_bench tick HOST PORT PATH SECONDS
//       one 64 KiB receive per 100 ms tick, for SECONDS, as a loop without readiness waits would.
// Each prints "bytes seconds peak_rss_kib".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "net/http_request.h"
#include "platform/socket.h"

namespace {

using Clock = std::chrono::steady_clock;

long PeakRssKib() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int Ours(const char* host, int port, const char* path, const char* file) {
    RequestOptions options;
    options.bodyFile = file;
    const auto start = Clock::now();
    HTTPRequest request(host, port, path, "", "", 0, true, options);
    while (!request.Poll()) request.WaitReady(100);
    if (request.Failed() || request.StatusCode() != 200) return 1;
    std::printf("%lld %.3f %ld\n", static_cast<long long>(request.DataLength()), Seconds(start), PeakRssKib());
    return 0;
}

int Tick(const char* host, int port, const char* path, double seconds) {
    std::uint32_t address = 0;
    if (!platform::SocketStartup() || !platform::ResolveHost(host, address)) return 1;
    const platform::SocketHandle socket = platform::SocketCreate();
    if (platform::SocketConnect(socket, address, port) != platform::ConnectResult::Connected) return 1;
    platform::SocketSetNonBlocking(socket);
    const std::string request = std::string("GET ") + path + " HTTP/1.0\r\nHost: " + host + "\r\n\r\n";
    platform::SocketSend(socket, request.data(), request.size());
    std::vector<char> block(64 * 1024);
    long long total = 0;
    const auto start = Clock::now();
    while (Seconds(start) < seconds) {
        const std::int64_t got = platform::SocketReceive(socket, block.data(), block.size());
        if (got == 0) break;
        if (got > 0) total += got;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::printf("%lld %.3f %ld\n", total, Seconds(start), PeakRssKib());
    platform::SocketDestroy(socket);
    platform::SocketCleanup();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::string(argv[1]) == "ours") return Ours(argv[2], std::atoi(argv[3]), argv[4], argv[5]);
    if (argc == 6 && std::string(argv[1]) == "tick") {
        return Tick(argv[2], std::atoi(argv[3]), argv[4], std::atof(argv[5]));
    }
    std::fprintf(stderr, "usage: download_bench ours HOST PORT PATH FILE | tick HOST PORT PATH SECONDS\n");
    return 2;
}
