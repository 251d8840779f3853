#include "platform/socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

namespace platform {

namespace {

SOCKET Native(SocketHandle socket) { return static_cast<SOCKET>(socket); }

int ClampLength(std::size_t length) {
    return length > 0x7fffffff ? 0x7fffffff : static_cast<int>(length);
}

// select on one socket, in the read or the write set and in the exception set; `wanted`
// tells whether it came back in the read or write set.
int SelectOne(SocketHandle socket, bool forWrite, int timeoutMs, bool& wanted) {
    fd_set chosen;
    fd_set failed;
    FD_ZERO(&chosen);
    FD_ZERO(&failed);
    FD_SET(Native(socket), &chosen);
    FD_SET(Native(socket), &failed);
    const int ms = timeoutMs < 0 ? 0 : timeoutMs;
    timeval wait{ms / 1000, (ms % 1000) * 1000};
    const int ready = select(0, forWrite ? nullptr : &chosen, forWrite ? &chosen : nullptr, &failed, &wait);
    wanted = ready > 0 && FD_ISSET(Native(socket), &chosen);
    return ready;
}

}  // namespace

bool SocketStartup() {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

int SocketCleanup() { return WSACleanup(); }

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
    const SOCKET created = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    return created == INVALID_SOCKET ? kNoSocket : static_cast<SocketHandle>(created);
}

bool SocketSetNonBlocking(SocketHandle socket) {
    u_long on = 1;
    return ioctlsocket(Native(socket), FIONBIO, &on) == 0;
}

ConnectResult SocketConnect(SocketHandle socket, std::uint32_t address, int port) {
    sockaddr_in target;
    std::memset(&target, 0, sizeof target);
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<u_short>(port));
    target.sin_addr.s_addr = address;
    if (connect(Native(socket), reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
        return ConnectResult::Connected;
    }
    return WSAGetLastError() == WSAEWOULDBLOCK ? ConnectResult::Pending : ConnectResult::Failed;
}

ConnectProgress SocketCheckConnect(SocketHandle socket) {
    bool writable = false;
    const int ready = SelectOne(socket, true, 0, writable);
    if (ready == 0) return ConnectProgress::Pending;
    int error = 0;
    int size = sizeof error;
    if (ready < 0 || !writable ||
        getsockopt(Native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                   &size) != 0 ||
        error != 0) {
        return ConnectProgress::Failed;
    }
    return ConnectProgress::Connected;
}

std::int64_t SocketSend(SocketHandle socket, const void* bytes, std::size_t length) {
    const int sent = send(Native(socket), static_cast<const char*>(bytes), ClampLength(length), 0);
    if (sent != SOCKET_ERROR) return sent;
    return WSAGetLastError() == WSAEWOULDBLOCK ? kSocketWouldBlock : kSocketError;
}

std::int64_t SocketReceive(SocketHandle socket, void* buffer, std::size_t capacity) {
    const int received = recv(Native(socket), static_cast<char*>(buffer), ClampLength(capacity), 0);
    if (received != SOCKET_ERROR) return received;
    return WSAGetLastError() == WSAEWOULDBLOCK ? kSocketWouldBlock : kSocketError;
}

bool SocketWait(SocketHandle socket, bool forWrite, int timeoutMs) {
    bool wanted = false;
    return SelectOne(socket, forWrite, timeoutMs, wanted) > 0;
}

int SocketShutdown(SocketHandle socket) { return shutdown(Native(socket), SD_BOTH); }

int SocketDestroy(SocketHandle socket) { return closesocket(Native(socket)); }

int LastSocketError() { return WSAGetLastError(); }

}  // namespace platform
