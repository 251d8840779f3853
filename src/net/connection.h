// Connection: the abstract interface of one connection to a web server (or through a proxy),
// implemented by HTTPConnection.
#ifndef SRC_NET_CONNECTION_H
#define SRC_NET_CONNECTION_H

#include <cstdint>

#include "base/array.h"
#include "base/string.h"

class Connection {
public:
    enum State : std::int32_t {
        kIdle = 0,
        kConnected = 1,
        kConnecting = 2,
        kRequestSent = 5,
        kFailed = 13,
    };

    virtual ~Connection() = default;

    // Resets the proxy: a new target is reached directly unless SetProxy follows.
    virtual void SetTarget(const String& host, std::int32_t port, const String& path);
    virtual void SetProxy(const String& proxyHost, std::int32_t proxyPort);
    virtual bool SendHttpRequest(const String& body) = 0;
    // True once the exchange has finished.
    virtual bool Receive(ByteBuffer& out) = 0;
    // Hooks for connection kinds that need set-up before a request; HTTP needs none.
    virtual void Configure(std::int32_t, std::int32_t) {}
    virtual bool Prepare(std::int32_t) { return true; }
    virtual bool PollConnect() { return true; }
    virtual void Close() = 0;
    virtual void CloseNow() = 0;
    virtual std::int32_t StatusCode() const = 0;
    virtual String StatusText() const = 0;
    // Raw reply bytes so far, header included.
    virtual std::int64_t BytesReceived() const = 0;
    virtual std::int64_t ContentLength() const = 0;

    std::int32_t GetState() const { return state; }
    const String& Host() const { return host; }
    std::int32_t Port() const { return port; }
    const String& Path() const { return path; }
    const String& ProxyHost() const { return proxyHost; }
    std::int32_t ProxyPort() const { return proxyPort; }

protected:
    std::int32_t state = kIdle;
    String host;
    std::int32_t port = 0;
    String proxyHost;
    std::int32_t proxyPort = 0;
    String path;
};

#endif  // SRC_NET_CONNECTION_H
