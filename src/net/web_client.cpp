#include "net/web_client.h"

#include <cstdlib>

namespace {

// A blocking loop waits on the socket at most this long between polls.
constexpr int kPollWaitMs = 10;

bool Succeeded(const HTTPRequest& request) {
    return request.DataLength() > 0 && request.StatusCode() == 200;
}

}  // namespace

WebClient::WebClient(const String& proxyHost, std::int32_t proxyPort, const RequestOptions& options)
    : proxyHost(proxyHost), proxyPort(proxyPort), options(options) {}

WebClient::~WebClient() = default;

bool WebClient::SplitUrl(const String& url, bool removeScheme) {
    const String rest = removeScheme && url.StartsWithNoCase("http://") ? url.Tail(7) : url;
    const int32_t slash = rest.FindChar('/');
    if (slash <= 0) return false;
    host = rest.Substring(0, slash - 1);
    path = rest.Tail(slash);
    port = 80;
    const int32_t colon = host.FindChar(':');
    if (colon > 0) {
        const int value = std::atoi(host.Tail(colon + 1).Text());
        port = value < 1 ? 80 : value;
        host = host.Substring(0, colon - 1);
    }
    return true;
}

void WebClient::StartRequest() {
    request = std::make_unique<HTTPRequest>(host, port, path, body, proxyHost, proxyPort, true, options);
}

void WebClient::Finish() {
    while (!request->Poll()) request->WaitReady(kPollWaitMs);
}

bool WebClient::Fetch(const String& url, const String& formBody, const std::uint8_t*& data,
                      std::int64_t& length) {
    data = nullptr;
    length = 0;
    if (!SplitUrl(url, true)) return false;
    body = formBody;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        StartRequest();
        Finish();
        if (Succeeded(*request)) {
            data = request->Data();
            length = request->DataLength();
            return true;
        }
        if (request->StatusCode() == 404) break;
    }
    return false;
}

HTTPRequest* WebClient::Probe(const String& url) {
    request.reset();
    if (!SplitUrl(url, false)) return nullptr;
    body = String();
    StartRequest();
    // The status line is the answer; the rest of the reply is not needed.
    while (!request->Poll() && request->StatusCode() == 0) request->WaitReady(kPollWaitMs);
    if (!request->Failed()) request->GetConnection()->Close();
    return request.get();
}

bool WebClient::ProbeWithRetries(const String& url) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const HTTPRequest* probe = Probe(url);
        if (probe != nullptr && probe->StatusCode() == 200) return true;
        if (probe != nullptr && probe->StatusCode() == 404) break;
    }
    return false;
}

bool WebClient::Prepare(const String& url, const String& formBody) {
    if (!SplitUrl(url, true)) return false;
    request.reset();
    body = formBody;
    attemptsLeft = kAttempts;
    return true;
}

bool WebClient::Step(bool& ok, const std::uint8_t*& data, std::int64_t& length) {
    ok = false;
    if (attemptsLeft < 1) return true;
    if (!request) StartRequest();
    if (!request->Poll()) return false;
    if (Succeeded(*request)) {
        ok = true;
        data = request->Data();
        length = request->DataLength();
    }
    if (request->StatusCode() == 404) attemptsLeft = 0;
    --attemptsLeft;
    if (ok || attemptsLeft < 1) return true;
    request.reset();
    return false;
}
