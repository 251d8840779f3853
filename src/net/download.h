// Downloads of the update engine: starting a request for a host[:port]/path URL, judging its
// outcome, and the process-wide retry policy (first through the proxy, then directly, then
// offline).
#ifndef SRC_NET_DOWNLOAD_H
#define SRC_NET_DOWNLOAD_H

#include <cstdint>
#include <memory>
#include <string>

#include "base/string.h"
#include "net/http_request.h"

// The engine's fields that downloads read and write.
struct DownloadFields {
    static constexpr std::int32_t kStatusOffline = 1;
    static constexpr std::int32_t kStatusError = 9;

    std::unique_ptr<HTTPRequest> request;
    String url;  // the last download started
    bool useProxy = false;
    String proxyHost;
    std::int32_t proxyPort = 0;
    std::int32_t status = 0;
    std::u16string errorText;
    bool corruptInstallation = false;
};

// Retries allowed in the whole process, counted by DownloadRetryCounter (never reset by the
// system itself).
constexpr int kMaxDownloadRetries = 6;
int& DownloadRetryCounter();

// Starts a GET of url ("host[:port]/path?query", no scheme); false with status 9 and an error
// text when the url is empty or has no path.
bool DownloadUrl(DownloadFields& engine, const String& url, const RequestOptions& options = {});

enum DownloadOutcome { kDownloadOk = 0, kDownloadRetry = 1, kDownloadFailed = 2 };
// Judges the finished request: the body is there, a retry is due (the caller starts it with
// DownloadUrl(engine.url)), or the download failed with status and errorText set.
int CheckDownload(DownloadFields& engine);
// Counts a retry when any are left; otherwise the engine goes offline (status 1).
bool RetryDownload(DownloadFields& engine);

#endif  // SRC_NET_DOWNLOAD_H
