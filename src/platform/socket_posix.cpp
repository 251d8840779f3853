#include "platform/socket.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace platform {

bool SocketStartup() { return true; }

int SocketCleanup() { return 0; }

bool ResolveHost(const char* host, std::uint32_t& address) {
    addrinfo hints;
    std::memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) return false;
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

SocketHandle SocketCreate() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    return fd < 0 ? kNoSocket : fd;
}

bool SocketSetNonBlocking(SocketHandle socket) {
    const int flags = fcntl(static_cast<int>(socket), F_GETFL, 0);
    return flags >= 0 && fcntl(static_cast<int>(socket), F_SETFL, flags | O_NONBLOCK) == 0;
}

ConnectResult SocketConnect(SocketHandle socket, std::uint32_t address, int port) {
    sockaddr_in target;
    std::memset(&target, 0, sizeof target);
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<std::uint16_t>(port));
    target.sin_addr.s_addr = address;
    if (connect(static_cast<int>(socket), reinterpret_cast<const sockaddr*>(&target),
                sizeof target) == 0) {
        return ConnectResult::Connected;
    }
    return errno == EINPROGRESS ? ConnectResult::Pending : ConnectResult::Failed;
}

ConnectProgress SocketCheckConnect(SocketHandle socket) {
    pollfd entry{static_cast<int>(socket), POLLOUT, 0};
    const int ready = poll(&entry, 1, 0);
    if (ready == 0) return ConnectProgress::Pending;
    if (ready < 0) return ConnectProgress::Failed;
    int error = 0;
    socklen_t size = sizeof error;
    if ((entry.revents & POLLOUT) == 0 ||
        getsockopt(static_cast<int>(socket), SOL_SOCKET, SO_ERROR, &error, &size) != 0 ||
        error != 0) {
        return ConnectProgress::Failed;
    }
    return ConnectProgress::Connected;
}

std::int64_t SocketSend(SocketHandle socket, const void* bytes, std::size_t length) {
    // MSG_NOSIGNAL: a peer that has gone away must give an error, not kill the process.
    const ssize_t sent = send(static_cast<int>(socket), bytes, length, MSG_NOSIGNAL);
    if (sent >= 0) return sent;
    return errno == EAGAIN || errno == EWOULDBLOCK ? kSocketWouldBlock : kSocketError;
}

std::int64_t SocketReceive(SocketHandle socket, void* buffer, std::size_t capacity) {
    const ssize_t received = recv(static_cast<int>(socket), buffer, capacity, 0);
    if (received >= 0) return received;
    return errno == EAGAIN || errno == EWOULDBLOCK ? kSocketWouldBlock : kSocketError;
}

bool SocketWait(SocketHandle socket, bool forWrite, int timeoutMs) {
    pollfd entry{static_cast<int>(socket), static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    return poll(&entry, 1, timeoutMs < 0 ? 0 : timeoutMs) > 0;
}

int SocketShutdown(SocketHandle socket) { return shutdown(static_cast<int>(socket), SHUT_RDWR); }

int SocketDestroy(SocketHandle socket) { return close(static_cast<int>(socket)); }

int LastSocketError() { return errno; }

}  // namespace platform
