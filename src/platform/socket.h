// TCP sockets over IPv4 for the HTTP client: Winsock on Windows, BSD sockets elsewhere.
// Every call reports failure through its result; the error number comes from LastSocketError.
#ifndef SRC_PLATFORM_SOCKET_H
#define SRC_PLATFORM_SOCKET_H

#include <cstddef>
#include <cstdint>

namespace platform {

using SocketHandle = std::intptr_t;
constexpr SocketHandle kNoSocket = -1;

// Winsock must be started once per user and cleaned up as often; both are no-ops elsewhere.
bool SocketStartup();
int SocketCleanup();  // 0 on success

// First IPv4 address of `host` in network byte order.
bool ResolveHost(const char* host, std::uint32_t& address);

SocketHandle SocketCreate();  // kNoSocket on failure
bool SocketSetNonBlocking(SocketHandle socket);

enum class ConnectResult { Connected, Pending, Failed };
ConnectResult SocketConnect(SocketHandle socket, std::uint32_t address, int port);

enum class ConnectProgress { Pending, Connected, Failed };
// Checks a pending non-blocking connect without waiting.
ConnectProgress SocketCheckConnect(SocketHandle socket);

// Results of SocketSend and SocketReceive besides a positive byte count; receiving 0 means
// the peer closed the connection.
constexpr std::int64_t kSocketWouldBlock = -1;
constexpr std::int64_t kSocketError = -2;
std::int64_t SocketSend(SocketHandle socket, const void* bytes, std::size_t length);
std::int64_t SocketReceive(SocketHandle socket, void* buffer, std::size_t capacity);

// Waits up to timeoutMs for the socket to become readable (or writable with forWrite; an
// error or a closed peer also counts as ready). True when it is ready.
bool SocketWait(SocketHandle socket, bool forWrite, int timeoutMs);

int SocketShutdown(SocketHandle socket);  // 0 on success
int SocketDestroy(SocketHandle socket);   // closes the handle; 0 on success

int LastSocketError();

}  // namespace platform

#endif
