#include "platform/filedownload.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <QFile>
#include <QUrl>

#include "platform/http.h"

namespace {

constexpr long kMaxRedirects = 5;
constexpr int kMillisecondsPerSecond = 1000;
constexpr long kHttpErrorFirst = 400;
constexpr long kHttpNotFound = 404;
constexpr long kHttpGone = 410;

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

// The state one transfer shares with libcurl's callbacks.
struct Transfer {
    QFile* file = nullptr;
    const http::DownloadCallbacks* callbacks = nullptr;
    CURL* handle = nullptr;
    bool writeFailed = false;
    bool aborted = false;
};

size_t writeToFile(char* data, size_t size, size_t count, void* userData) {
    auto* transfer = static_cast<Transfer*>(userData);
    const size_t bytes = size * count;
    if (transfer->file->write(data, qint64(bytes)) != qint64(bytes)) {
        transfer->writeFailed = true;
        return 0;
    }
    return bytes;
}

int reportProgress(void* userData, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) {
    auto* transfer = static_cast<Transfer*>(userData);
    if (transfer->callbacks->progress && !transfer->callbacks->progress(received, total)) {
        transfer->aborted = true;
        return 1;
    }
    return 0;
}

bool addressCanBeOpened(const QByteArray& url) {
    const QUrl parsed = QUrl::fromEncoded(url);
    const QString scheme = parsed.scheme().toLower();
    return parsed.isValid() && (scheme == "http" || scheme == "https") && !parsed.host().isEmpty();
}

void setTransferOptions(CURL* handle, const QByteArray& url, Transfer* transfer) {
    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    // The body of an error page is no file: the transfer ends at its status.
    curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, long(http::connectTimeoutMs()));
    // A package may take long, but a server that stops sending for as long
    // as a whole request may take has gone.
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME,
                     std::max(1L, long(http::totalTimeoutMs() / kMillisecondsPerSecond)));
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, writeToFile);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, transfer);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, reportProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, transfer);
}

http::DownloadStatus httpStatusOutcome(CURL* handle) {
    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    if (status == kHttpNotFound || status == kHttpGone) {
        return http::DownloadStatus::ResourceNotFound;
    }
    return status >= kHttpErrorFirst ? http::DownloadStatus::DownloadFailure
                                     : http::DownloadStatus::Ok;
}

http::DownloadStatus outcomeOf(CURLcode result, const Transfer& transfer) {
    if (transfer.aborted) {
        return http::DownloadStatus::Aborted;
    }
    if (transfer.writeFailed) {
        return http::DownloadStatus::CannotWriteFile;
    }
    switch (result) {
        case CURLE_OK:
        case CURLE_HTTP_RETURNED_ERROR:
            return httpStatusOutcome(transfer.handle);
        case CURLE_URL_MALFORMAT:
        case CURLE_UNSUPPORTED_PROTOCOL:
            return http::DownloadStatus::InvalidUrl;
        case CURLE_COULDNT_RESOLVE_HOST:
            return http::DownloadStatus::ResourceNotFound;
        case CURLE_COULDNT_CONNECT:
            return http::DownloadStatus::CannotConnect;
        case CURLE_OPERATION_TIMEDOUT:
            return http::DownloadStatus::Timeout;
        default:
            return http::DownloadStatus::DownloadFailure;
    }
}

http::DownloadStatus transferInto(QFile& file, const QByteArray& url,
                                  const http::DownloadCallbacks& callbacks) {
    CurlEasy curl(curl_easy_init());
    if (!curl) {
        return http::DownloadStatus::DownloadFailure;
    }
    Transfer transfer{&file, &callbacks, curl.get()};
    setTransferOptions(curl.get(), url, &transfer);
    const CURLcode result = curl_easy_perform(curl.get());
    return outcomeOf(result, transfer);
}

}  // namespace

namespace http {

DownloadStatus downloadToFile(const QByteArray& pUrl, const QString& pLocalFile,
                              const DownloadCallbacks& pCallbacks) {
    if (pCallbacks.started) {
        pCallbacks.started();
    }
    DownloadStatus status = DownloadStatus::InvalidUrl;
    if (addressCanBeOpened(pUrl)) {
        QFile file(pLocalFile);
        status = file.open(QIODevice::WriteOnly | QIODevice::Truncate)
                     ? transferInto(file, pUrl, pCallbacks)
                     : DownloadStatus::CannotWriteFile;
        if (status == DownloadStatus::Ok && !file.flush()) {
            status = DownloadStatus::CannotWriteFile;
        }
    }
    if (pCallbacks.stopped) {
        pCallbacks.stopped(status);
    }
    return status;
}

}  // namespace http
