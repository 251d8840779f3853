// HTTPRequest: one HTTP exchange as the rest of the system sees it — created with its target,
// then polled from its owner's loop until done; the body is kept in memory or in a file.
#ifndef SRC_NET_HTTP_REQUEST_H
#define SRC_NET_HTTP_REQUEST_H

#include <cstdint>
#include <memory>
#include <string>

#include "base/array.h"
#include "base/string.h"
#include "net/http_connection.h"

class HTTPRequest {
public:
    // host without scheme, path from the first "/" on (with any query), body empty for a GET
    // and the form-encoded text for a POST, proxyHost empty and proxyPort 0 for no proxy.
    HTTPRequest(const String& host, std::int32_t port, const String& path, const String& body,
                const String& proxyHost, std::int32_t proxyPort, bool nonBlocking,
                const RequestOptions& options = {});
    virtual ~HTTPRequest();
    HTTPRequest(const HTTPRequest&) = delete;
    HTTPRequest& operator=(const HTTPRequest&) = delete;

    // Makes what progress the socket allows without waiting; true once done.
    virtual bool Poll();
    virtual bool Failed() const;
    // The body in memory; null when it is empty or went to the body file.
    virtual const std::uint8_t* Data() const;
    // Body length (also when it went to the body file); 0 unless done with status 200.
    virtual std::int64_t DataLength() const;
    virtual Connection* GetConnection();
    virtual std::int32_t StatusCode() const;
    virtual String StatusText() const;
    virtual std::int64_t BytesReceived() const;
    virtual std::int64_t ContentLength() const;

    bool Done() const { return done; }
    // The first bytes of the body (fewer when it is shorter), from memory or the body file.
    std::string BodyPrefix(std::size_t length) const;
    // Waits at most timeoutMs until Poll can make progress, so a loop can wait on the network
    // instead of sleeping blindly. True when ready (or done).
    bool WaitReady(int timeoutMs) const;

private:
    std::unique_ptr<HTTPConnection> connection;
    String path;
    String body;
    bool nonBlocking;
    std::string bodyFile;
    ByteBuffer response;
    bool done = false;
};

#endif  // SRC_NET_HTTP_REQUEST_H
