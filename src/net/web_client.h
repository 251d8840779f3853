// WebClient: a small fetch client for callers outside the update engine — a blocking fetch
// with up to three attempts, a probe that stops at the server's first answer, and a
// step-wise fetch for callers that run their own loop.
#ifndef SRC_NET_WEB_CLIENT_H
#define SRC_NET_WEB_CLIENT_H

#include <cstdint>
#include <memory>

#include "base/string.h"
#include "net/http_request.h"

class WebClient {
public:
    static constexpr int kAttempts = 3;

    // proxyHost empty and proxyPort 0 for a direct connection.
    explicit WebClient(const String& proxyHost = String(), std::int32_t proxyPort = 0,
                       const RequestOptions& options = {});
    virtual ~WebClient();
    WebClient(const WebClient&) = delete;
    WebClient& operator=(const WebClient&) = delete;

    // GET (empty body) or form POST of "[http://]host[:port]/path". On success data points
    // at the body, valid until the next request or the client's end. A 404 is not retried.
    bool Fetch(const String& url, const String& body, const std::uint8_t*& data, std::int64_t& length);
    // Starts a GET of "host[:port]/path" and waits only for the status line; null for a
    // malformed url. The client keeps the request; the caller reads its StatusCode.
    HTTPRequest* Probe(const String& url);
    // Up to three probes; true at the first 200, a 404 ends the tries.
    bool ProbeWithRetries(const String& url);

    // Step-wise Fetch: Prepare, then Step until it returns true; ok tells the outcome.
    bool Prepare(const String& url, const String& body);
    bool Step(bool& ok, const std::uint8_t*& data, std::int64_t& length);

private:
    bool SplitUrl(const String& url, bool removeScheme);
    void StartRequest();
    void Finish();

    std::unique_ptr<HTTPRequest> request;
    String proxyHost;
    std::int32_t proxyPort;
    String host;
    std::int32_t port = 80;
    String path;
    String body;
    std::int32_t attemptsLeft = 0;
    RequestOptions options;
};

#endif  // SRC_NET_WEB_CLIENT_H
