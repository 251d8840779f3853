#include "net/http_connection.h"

#include <algorithm>
#include <cinttypes>
#include <climits>
#include <cstdlib>

#include "base/log.h"
#include "platform/file_system.h"

// Receives the body of a 200 reply: into the caller's buffer, or into the body file, which
// holds a body only once the reply has completed (it is removed otherwise).
class HTTPConnection::BodySink : public BodyOutput {
public:
    explicit BodySink(const std::string& fileName) : fileName_(fileName) {}
    // A body file still open here was cut short.
    ~BodySink() override {
        if (file_ == nullptr) return;
        std::fclose(file_);
        platform::RemoveFile(fileName_);
    }

    void Begin(ByteBuffer& out, std::int64_t expected) {
        out_ = &out;
        expected_ = expected;
    }

    bool Write(const std::uint8_t* bytes, std::size_t length) override {
        if (!fileName_.empty()) {
            if (file_ == nullptr) file_ = platform::OpenFile(fileName_, "wb");
            return file_ != nullptr && std::fwrite(bytes, 1, length, file_) == length;
        }
        const std::int64_t needed = std::int64_t{out_->Count()} + static_cast<std::int64_t>(length);
        if (needed > INT32_MAX) return false;
        if (needed > out_->Capacity()) {
            // Room for the declared length at once (within reason), else doubling.
            constexpr std::int64_t kMaxHint = 64 * 1024 * 1024;
            std::int64_t room = std::max<std::int64_t>(needed, std::int64_t{out_->Capacity()} * 2);
            room = std::max(room, std::min(expected_, kMaxHint));
            out_->Reserve(static_cast<std::int32_t>(std::min<std::int64_t>(room, INT32_MAX)), true);
        }
        out_->AppendRange(bytes, static_cast<std::int32_t>(length));
        return true;
    }

    // Ends the body: keeps it (an empty body still gives an empty file) or throws it away.
    bool Finish(bool keep) {
        if (fileName_.empty()) {
            if (!keep && out_ != nullptr) out_->Clear();
            return true;
        }
        if (keep && file_ == nullptr) file_ = platform::OpenFile(fileName_, "wb");
        const bool opened = file_ != nullptr;
        const bool closed = opened && std::fclose(file_) == 0;
        file_ = nullptr;
        if (keep && closed) return true;
        if (opened) platform::RemoveFile(fileName_);
        return false;
    }

private:
    std::string fileName_;
    std::FILE* file_ = nullptr;
    ByteBuffer* out_ = nullptr;
    std::int64_t expected_ = 0;
};

namespace {

// Closing goes on after a failed step; each failure is only logged.
void LogCloseStep(const char* step, int result) {
    if (result == 0) return;
    LogErrorTo(NetChannel(), "HTTPConnection::SocketClose: error on %s, %i", step, result);
    LogErrorTo(NetChannel(), "HTTPConnection: Network Error %i, retry %s", platform::LastSocketError(), "no");
}

}  // namespace

HTTPConnection::HTTPConnection(bool persistent, bool nonBlocking, const RequestOptions& options)
    : persistent_(persistent),
      nonBlocking_(nonBlocking),
      options_(options),
      reader_(options.maxBodyLength),
      sink_(std::make_unique<BodySink>(options.bodyFile)),
      lastProgress_(std::chrono::steady_clock::now()) {}

HTTPConnection::~HTTPConnection() { SocketClose(); }

std::int32_t HTTPConnection::StatusCode() const { return reader_.Status(); }

std::int64_t HTTPConnection::ContentLength() const {
    return std::max<std::int64_t>(reader_.ContentLength(), 0);
}

std::string HTTPConnection::BuildRequest(const String& body) const {
    const std::string hostAndPort =
        std::string(host.View()) + (port != 80 ? ":" + std::to_string(port) : std::string());
    const bool post = !body.IsEmpty();
    std::string request = post ? "POST " : "GET ";
    if (!proxyHost.IsEmpty() || (post && persistent_)) request += "http://" + hostAndPort;
    request += path.View();
    request += post && persistent_ ? " HTTP/1.1\r\nHost: " : " HTTP/1.0\r\nHost: ";
    request += hostAndPort + "\r\n";
    if (post) {
        request += "Content-Type: application/x-www-form-urlencoded\r\n";
        request += "Content-Length: " + std::to_string(body.Length()) + "\r\n";
    }
    request += "\r\n";
    request += body.View();
    return request;
}

void HTTPConnection::Progress() { lastProgress_ = std::chrono::steady_clock::now(); }

bool HTTPConnection::TimedOut() {
    const auto idle = std::chrono::steady_clock::now() - lastProgress_;
    if (idle < std::chrono::milliseconds(options_.inactivityTimeoutMs)) return false;
    LogErrorTo(NetChannel(), "HTTPConnection: Error, no progress for %i ms, giving up",
               options_.inactivityTimeoutMs);
    return true;
}

bool HTTPConnection::OpenFailed(bool viaProxy, const char* message, bool closeSocket) {
    if (viaProxy) proxyFailed_ = true;
    LogErrorTo(NetChannel(), "%s", message);
    if (closeSocket) {
        SocketClose();
    } else {
        platform::SocketCleanup();
    }
    state = kFailed;
    return false;
}

bool HTTPConnection::SocketOpen(bool useProxy, bool blocking) {
    if (!blocking && state == kConnecting) return true;
    if (socket_ != platform::kNoSocket) {
        LogErrorTo(NetChannel(), "HTTPConnection::SocketOpen: Error, socket already exists");
        SocketClose();  // dropping it unclosed would leak the handle
    }
    if (!platform::SocketStartup()) {
        LogErrorTo(NetChannel(), "HTTPConnection::SocketOpen: Error, WSAStartup failed");
        state = kFailed;
        return false;
    }
    const bool viaProxy = !proxyHost.IsEmpty() && proxyPort > 0 && !proxyFailed_ && useProxy;
    attemptViaProxy_ = viaProxy;
    if (viaProxy) {
        LogInfoTo(NetChannel(), "HTTPConnection::SocketOpen: Proxy %s:%d", proxyHost.Text(), proxyPort);
    }
    const int targetPort = viaProxy ? proxyPort : port;
    std::uint32_t address = 0;
    // An unresolvable proxy counts as a failed proxy, so the direct route is still tried.
    if (!platform::ResolveHost(viaProxy ? proxyHost.Text() : host.Text(), address)) {
        return OpenFailed(viaProxy, "HTTPConnection::SocketOpen: Error, could not resolve host", false);
    }
    socket_ = platform::SocketCreate();
    if (socket_ == platform::kNoSocket) {
        return OpenFailed(false, "HTTPConnection::SocketOpen: Error, socket creation failed", false);
    }
    if (!platform::SocketSetNonBlocking(socket_)) {
        return OpenFailed(viaProxy, "HTTPConnection::SocketOpen: Error, could not set socket unblocked",
                          true);
    }
    Progress();
    platform::ConnectResult result = targetPort > 0 && targetPort < 65536
                                         ? platform::SocketConnect(socket_, address, targetPort)
                                         : platform::ConnectResult::Failed;
    if (result == platform::ConnectResult::Pending && blocking) {
        const bool ready = platform::SocketWait(socket_, true, options_.inactivityTimeoutMs);
        result = ready && platform::SocketCheckConnect(socket_) == platform::ConnectProgress::Connected
                     ? platform::ConnectResult::Connected
                     : platform::ConnectResult::Failed;
    }
    if (result == platform::ConnectResult::Pending) {
        state = kConnecting;
        return true;
    }
    if (result == platform::ConnectResult::Failed) {
        if (!blocking) {
            return OpenFailed(viaProxy, "HTTPConnection::SocketOpen: Error, could not connect to socket",
                              true);
        }
        if (viaProxy) proxyFailed_ = true;
        LogErrorTo(NetChannel(), "HTTPConnection::SocketOpen: Error, could not connect to socket, %d",
                   platform::LastSocketError());
        SocketClose();
        state = kFailed;
        return false;
    }
    LogInfoTo(NetChannel(), "HTTPConnection::SocketOpen: socket opened");
    state = kConnected;
    return true;
}

void HTTPConnection::ConnectPoll() {
    if (state != kConnecting) return;
    platform::ConnectProgress progress = platform::SocketCheckConnect(socket_);
    if (progress == platform::ConnectProgress::Pending) {
        if (!TimedOut()) return;
        progress = platform::ConnectProgress::Failed;
    }
    if (progress == platform::ConnectProgress::Connected) {
        LogInfoTo(NetChannel(), "HTTPConnection::SocketOpen: socket opened");
        Progress();
        state = kConnected;
        return;
    }
    LogInfoTo(NetChannel(), "HTTPConnection::SocketOpen: could not open");
    if (attemptViaProxy_) proxyFailed_ = true;
    SocketClose();
    state = kFailed;
}

bool HTTPConnection::PollConnect() {
    if (state != kConnected && state != kConnecting) {
        if (!SocketOpen(true, false) && proxyFailed_) SocketOpen(false, false);
    }
    if (state == kConnecting) {
        const bool throughProxy = attemptViaProxy_;
        ConnectPoll();
        if (state == kFailed && throughProxy) SocketOpen(false, false);
    }
    return state != kFailed;
}

bool HTTPConnection::SendHttpRequest(const String& body) {
    if (state == kRequestSent) return false;
    if (state != kConnected) {
        if (!SocketOpen(true, true) && proxyFailed_) SocketOpen(false, true);
        if (state != kConnected) {
            state = kFailed;
            return false;
        }
    }
    if (outgoing_.empty()) {
        body_ = body;
        outgoing_ = BuildRequest(body);
        sent_ = 0;
        StartReply();
    }
    SendPending();
    return true;
}

void HTTPConnection::SendPending() {
    while (sent_ < outgoing_.size()) {
        const std::int64_t count =
            platform::SocketSend(socket_, outgoing_.data() + sent_, outgoing_.size() - sent_);
        if (count > 0) {
            sent_ += static_cast<std::size_t>(count);
            Progress();
            continue;
        }
        if (count == platform::kSocketWouldBlock && !TimedOut()) {
            if (nonBlocking_) return;  // the rest goes out on the next call
            platform::SocketWait(socket_, true, options_.inactivityTimeoutMs);
            continue;
        }
        if (count != platform::kSocketWouldBlock) {
            LogErrorTo(NetChannel(), "HTTPConnection::SocketSend: Error, send failed");
            LogErrorTo(NetChannel(), "HTTPConnection: Network Error %i, retry %s",
                       platform::LastSocketError(), "yes");
        }
        SocketClose();
        state = kFailed;
        return;
    }
    outgoing_.clear();
    state = kRequestSent;
}

void HTTPConnection::StartReply() {
    reader_ = ReplyReader(options_.maxBodyLength);
    bytesReceived_ = 0;
}

bool HTTPConnection::Receive(ByteBuffer& out) {
    if (!ReceiveStep(out)) return false;
    if (state == kFailed) return true;
    if (persistent_) {
        state = kConnected;
    } else {
        SocketClose();
    }
    return true;
}

bool HTTPConnection::ReceiveStep(ByteBuffer& out) {
    if (socket_ == platform::kNoSocket) return true;
    if (scratch_.empty()) scratch_.resize(kReceiveBlock);
    sink_->Begin(out, reader_.ContentLength());
    std::size_t taken = 0;
    while (taken < kMaxBytesPerCall) {
        const std::int64_t count = platform::SocketReceive(socket_, scratch_.data(), scratch_.size());
        if (count == platform::kSocketWouldBlock) break;
        if (count == platform::kSocketError) {
            LogErrorTo(NetChannel(), "HTTPConnection: socket error, closing");
            sink_->Finish(false);
            SocketClose();
            state = kFailed;
            return true;
        }
        if (count == 0) {
            SocketClose();
            reader_.PeerClosed();
            break;
        }
        Progress();
        taken += static_cast<std::size_t>(count);
        bytesReceived_ += count;
        const ReplyReader::State read =
            reader_.Feed(scratch_.data(), static_cast<std::size_t>(count), *sink_);
        if (read == ReplyReader::State::Complete || read == ReplyReader::State::Failed) break;
    }
    if (reader_.GetState() == ReplyReader::State::Complete) return FinishReply(out);
    if (reader_.GetState() == ReplyReader::State::Failed || socket_ == platform::kNoSocket ||
        TimedOut()) {
        sink_->Finish(false);
        SocketClose();
        state = kFailed;
        return true;
    }
    return false;
}

bool HTTPConnection::FinishReply(ByteBuffer& out) {
    const int status = reader_.Status();
    if (status == 200) {
        if (!sink_->Finish(true)) {
            LogErrorTo(NetChannel(), "HTTPConnection: Error, could not store the reply body");
            SocketClose();
            state = kFailed;
        }
        return true;
    }
    sink_->Finish(false);
    out.Clear();
    if (reader_.ClosedInHeader()) return true;
    if (status == 301 || status == 302) {
        LogInfoTo(NetChannel(), "HTTPConnection: HTTP Response code %i", status);
        // A redirect that cannot start, or one too many, ends the exchange with its status.
        if (++redirects_ > kMaxRedirects) return true;
        return !Redirect(reader_.Location());
    }
    LogErrorTo(NetChannel(), "HTTPConnection: HTTP Response code %i", status);
    return true;
}

bool HTTPConnection::Redirect(const String& url) {
    if (url.IsEmpty()) return false;
    String newHost = host;
    std::int32_t newPort = port;
    String newPath;
    const int32_t query = path.FindChar('?');
    const String oldPath = query > 0 ? path.Substring(0, query - 1) : path;
    if (url.StartsWithNoCase("http://")) {
        const String rest = url.Tail(7);
        const int32_t slash = rest.FindChar('/');
        newHost = slash < 0 ? rest : rest.Substring(0, slash - 1);
        newPath = slash < 0 ? String("/") : rest.Tail(slash);
        newPort = 80;
        const int32_t colon = newHost.FindChar(':');
        if (colon >= 0) {
            const String portText = newHost.Tail(colon + 1);
            if (!portText.IsEmpty()) {
                char* end = nullptr;
                const long value = std::strtol(portText.Text(), &end, 10);
                if (*end != '\0' || value <= 0 || value > 65535) return false;
                newPort = static_cast<std::int32_t>(value);
            }
            newHost = colon > 0 ? newHost.Substring(0, colon - 1) : String();
        }
        if (newHost.IsEmpty()) return false;  // "http:///x" names no server
    } else if (url.Text()[0] == '/') {
        newPath = url;
    } else {
        const int32_t lastSlash = oldPath.FindLastChar('/');
        newPath = (lastSlash >= 0 ? oldPath.Substring(0, lastSlash) : String()).Concat(url);
    }
    // The old query goes along, so the server still sees the request's parameters.
    if (query > 0) {
        newPath.Append(newPath.FindChar('?') >= 0 ? "&" : "?");
        newPath.Append(path.Tail(query + 1));
    }

    const String oldProxyHost = proxyHost;
    const std::int32_t oldProxyPort = proxyPort;
    SocketClose();
    SetTarget(newHost, newPort, newPath);
    SetProxy(oldProxyHost, oldProxyPort);
    outgoing_.clear();
    StartReply();
    if (nonBlocking_) {
        PollConnect();
        return state != kFailed;
    }
    return SendHttpRequest(body_);
}

void HTTPConnection::Close() { SocketClose(); }

void HTTPConnection::CloseNow() { SocketClose(); }

void HTTPConnection::SocketClose() {
    if (socket_ == platform::kNoSocket) return;
    LogCloseStep("shutdown", platform::SocketShutdown(socket_));
    LogCloseStep("closing socket", platform::SocketDestroy(socket_));
    LogCloseStep("cleaning up", platform::SocketCleanup());
    state = kIdle;
    socket_ = platform::kNoSocket;
}

bool HTTPConnection::WaitReady(int timeoutMs) const {
    if (socket_ == platform::kNoSocket) return true;
    const bool forWrite = state == kConnecting || state == kConnected;
    return platform::SocketWait(socket_, forWrite, timeoutMs);
}
