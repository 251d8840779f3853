#include "net/download.h"

#include <cstdlib>

#include "base/text.h"
#include "base/update_log.h"
#include "net/net_texts.h"

int& DownloadRetryCounter() {
    static int counter = 0;
    return counter;
}

bool DownloadUrl(DownloadFields& engine, const String& url, const RequestOptions& options) {
    engine.request.reset();
    if (url.IsEmpty()) {
        engine.status = DownloadFields::kStatusError;
        engine.errorText = u"Couldn't download URL: no url.\n";
        return false;
    }
    engine.url = url;
    UpdateLog(String("download ").Concat(url).Text());

    const int32_t slash = url.FindChar('/');
    const int32_t colon = url.FindChar(':');
    if (slash <= 0) {
        engine.status = DownloadFields::kStatusError;
        engine.errorText = u"Couldn't download URL: bad format.\n" + FromUtf8(url.View());
        return false;
    }
    const String path = url.Tail(slash);
    String host = url.Substring(0, slash - 1);
    int32_t port = 80;
    if (colon > 0 && colon < slash - 1) {
        host = url.Substring(0, colon - 1);
        const int value = std::atoi(url.Substring(colon + 1, slash - 1).Text());
        if (value > 0) port = value;
    }
    const bool proxy = engine.useProxy;
    engine.request = std::make_unique<HTTPRequest>(host, port, path, String(),
                                                   proxy ? engine.proxyHost : String(),
                                                   proxy ? engine.proxyPort : 0, true, options);
    return true;
}

bool RetryDownload(DownloadFields& engine) {
    int& counter = DownloadRetryCounter();
    if (counter < kMaxDownloadRetries) {
        // Half of the retries go through the proxy, the rest directly.
        if (counter >= kMaxDownloadRetries / 2) engine.useProxy = false;
        ++counter;
        UpdateLog(engine.useProxy ? "retry with proxy" : "retry without proxy");
        return true;
    }
    UpdateLog("offline");
    engine.errorText = NetText("no connection");
    engine.status = DownloadFields::kStatusOffline;
    return false;
}

int CheckDownload(DownloadFields& engine) {
    const HTTPRequest* request = engine.request.get();
    // Out of retries, RetryDownload has taken the engine offline.
    if (request == nullptr || request->Failed()) {
        return RetryDownload(engine) ? kDownloadRetry : kDownloadFailed;
    }
    const std::int32_t status = request->StatusCode();
    if (status == 200 && request->DataLength() == 0) {
        engine.errorText = NetText("no connection");
        if (RetryDownload(engine)) return kDownloadRetry;
    } else if (status == 200) {
        // A web page in place of the file: retrying would only fetch the same page.
        if (request->BodyPrefix(9) != "<!DOCTYPE") return kDownloadOk;
        engine.errorText = NetText("no data");
        engine.status = DownloadFields::kStatusError;
    } else {
        engine.errorText = u"Server did not have the file:\n" + FromUtf8(engine.url.View()) +
                           u"\nHTTP " + FromUtf8(std::to_string(status));
        if (RetryDownload(engine)) return kDownloadRetry;
        engine.errorText = NetText("no data");
        engine.status = DownloadFields::kStatusError;
    }
    if (engine.corruptInstallation) engine.errorText = NetText("corrupt installation");
    return kDownloadFailed;
}
