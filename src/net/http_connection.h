// HTTPConnection: one HTTP/1.0 exchange over a TCP connection to a web server or through an
// HTTP proxy (falling back to a direct connection when the proxy fails), following redirects.
#ifndef SRC_NET_HTTP_CONNECTION_H
#define SRC_NET_HTTP_CONNECTION_H

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "net/connection.h"
#include "net/reply_reader.h"
#include "platform/socket.h"

// Per-request limits and where the body goes.
struct RequestOptions {
    static constexpr int kDefaultInactivityTimeoutMs = 30000;

    // No progress (connecting, sending or receiving) for this long fails the request.
    int inactivityTimeoutMs = kDefaultInactivityTimeoutMs;
    // A longer body fails the request; < 0: no limit.
    std::int64_t maxBodyLength = -1;
    // UTF-8 file name that receives the body instead of memory; empty: memory.
    std::string bodyFile;
};

class HTTPConnection : public Connection {
public:
    HTTPConnection(bool persistent, bool nonBlocking, const RequestOptions& options = {});
    ~HTTPConnection() override;
    HTTPConnection(const HTTPConnection&) = delete;
    HTTPConnection& operator=(const HTTPConnection&) = delete;

    // Starts sending (connecting first if needed). A non-blocking connection sends what the
    // socket takes and carries on with the rest on the next call while the state stays
    // Connected; a blocking one waits until all is out.
    bool SendHttpRequest(const String& body) override;
    // Takes everything the socket has (up to kMaxBytesPerCall); body bytes go to `out`, or to
    // the body file. True once the exchange has finished.
    bool Receive(ByteBuffer& out) override;
    bool PollConnect() override;
    void Close() override;
    void CloseNow() override;
    std::int32_t StatusCode() const override;
    String StatusText() const override { return String(); }
    std::int64_t BytesReceived() const override { return bytesReceived_; }
    std::int64_t ContentLength() const override;

    // Body bytes delivered so far (to memory or to the file).
    std::int64_t BodyLength() const { return reader_.BodyLength(); }
    bool ProxyFailed() const { return proxyFailed_; }
    // Waits up to timeoutMs until the socket can make progress in the current state; true
    // when it can (or when there is no socket to wait for).
    bool WaitReady(int timeoutMs) const;

    // The request bytes for the current target, proxy and body.
    std::string BuildRequest(const String& body) const;

    static constexpr std::size_t kReceiveBlock = 64 * 1024;
    static constexpr std::size_t kMaxBytesPerCall = 8 * 1024 * 1024;
    static constexpr int kMaxRedirects = 10;

private:
    class BodySink;

    bool SocketOpen(bool useProxy, bool blocking);
    bool OpenFailed(bool viaProxy, const char* message, bool closeSocket);
    void ConnectPoll();
    void SendPending();
    bool ReceiveStep(ByteBuffer& out);
    bool FinishReply(ByteBuffer& out);
    bool Redirect(const String& url);
    void SocketClose();
    void StartReply();
    void Progress();
    bool TimedOut();

    platform::SocketHandle socket_ = platform::kNoSocket;
    bool persistent_;
    bool nonBlocking_;
    bool proxyFailed_ = false;
    bool attemptViaProxy_ = false;  // the pending connection goes through the proxy
    String body_;
    RequestOptions options_;

    std::string outgoing_;  // request bytes not yet sent
    std::size_t sent_ = 0;
    ReplyReader reader_;
    std::unique_ptr<BodySink> sink_;
    std::int64_t bytesReceived_ = 0;
    int redirects_ = 0;
    std::vector<std::uint8_t> scratch_;
    std::chrono::steady_clock::time_point lastProgress_;
};

#endif  // SRC_NET_HTTP_CONNECTION_H
