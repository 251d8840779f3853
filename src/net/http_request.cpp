#include "net/http_request.h"

#include <algorithm>
#include <cstdio>

#include "platform/file_system.h"

HTTPRequest::HTTPRequest(const String& host, std::int32_t port, const String& path,
                         const String& body, const String& proxyHost, std::int32_t proxyPort,
                         bool nonBlocking, const RequestOptions& options)
    : connection(std::make_unique<HTTPConnection>(false, nonBlocking, options)),
      path(path),
      body(body),
      nonBlocking(nonBlocking),
      bodyFile(options.bodyFile) {
    connection->SetTarget(host, port, path);
    connection->SetProxy(proxyHost, proxyPort);
    if (nonBlocking) {
        connection->PollConnect();
    } else {
        connection->Prepare(0);
        connection->SendHttpRequest(body);
    }
}

HTTPRequest::~HTTPRequest() { connection->CloseNow(); }

bool HTTPRequest::Poll() {
    if (done) return true;
    if (nonBlocking) {
        // Each step that completes at once leads straight into the next, so a fast server
        // costs one Poll, not one per state.
        if (connection->GetState() == Connection::kConnecting) connection->PollConnect();
        if (connection->GetState() == Connection::kConnected) connection->SendHttpRequest(body);
        const std::int32_t state = connection->GetState();
        if (state == Connection::kConnecting || state == Connection::kConnected) return false;
    }
    if (connection->GetState() == Connection::kFailed || connection->Receive(response)) done = true;
    return done;
}

bool HTTPRequest::Failed() const { return connection->GetState() == Connection::kFailed; }

const std::uint8_t* HTTPRequest::Data() const {
    return response.Count() > 0 ? response.Data() : nullptr;
}

std::int64_t HTTPRequest::DataLength() const {
    if (!done || Failed() || StatusCode() != 200) return 0;
    return !bodyFile.empty() ? connection->BodyLength() : response.Count();
}

Connection* HTTPRequest::GetConnection() { return connection.get(); }

std::int32_t HTTPRequest::StatusCode() const { return connection->StatusCode(); }

String HTTPRequest::StatusText() const { return connection->StatusText(); }

std::int64_t HTTPRequest::BytesReceived() const { return connection->BytesReceived(); }

std::int64_t HTTPRequest::ContentLength() const { return connection->ContentLength(); }

bool HTTPRequest::WaitReady(int timeoutMs) const {
    return done || connection->WaitReady(timeoutMs);
}

std::string HTTPRequest::BodyPrefix(std::size_t length) const {
    std::string prefix;
    if (DataLength() == 0) return prefix;
    if (bodyFile.empty()) {
        const std::size_t count = std::min<std::size_t>(length, static_cast<std::size_t>(response.Count()));
        return std::string(reinterpret_cast<const char*>(response.Data()), count);
    }
    std::FILE* file = platform::OpenFile(bodyFile, "rb");
    if (file == nullptr) return prefix;
    prefix.resize(length);
    prefix.resize(std::fread(prefix.data(), 1, length, file));
    std::fclose(file);
    return prefix;
}
