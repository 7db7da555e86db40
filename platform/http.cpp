#include "platform/http.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <QUrl>

#include "platform/httpdeadline.h"

namespace {

constexpr int kDefaultConnectMs = 10000;
constexpr int kDefaultTotalMs = 60000;
constexpr long kMaxRedirects = 5;

struct Timeouts {
    int connectMs = kDefaultConnectMs;
    int totalMs = kDefaultTotalMs;
};

Timeouts timeoutsFromEnvironment() {
    Timeouts timeouts;
    bool ok = false;
    const int totalMs = qEnvironmentVariableIntValue("LEXIVO_HTTP_TIMEOUT_MS", &ok);
    if (ok && totalMs > 0) {
        timeouts.totalMs = totalMs;
        timeouts.connectMs = std::min(timeouts.connectMs, totalMs);
    }
    return timeouts;
}

Timeouts& timeouts() {
    static Timeouts current = timeoutsFromEnvironment();
    return current;
}

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t appendToBuffer(char* data, size_t size, size_t count, void* buffer) {
    static_cast<QByteArray*>(buffer)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;

// Without "Expect:" libcurl announces large bodies with "Expect: 100-continue".
CurlList headerList(const QList<QPair<QByteArray, QByteArray>>& headers) {
    curl_slist* list = curl_slist_append(nullptr, "Expect:");
    for (const auto& [name, value] : headers) {
        const QByteArray line = name + ": " + value;
        if (curl_slist* longer = curl_slist_append(list, line.constData())) {
            list = longer;
        }
    }
    return CurlList(list);
}

// The time-outs, cut down to what is left before the deadline.
Timeouts timeoutsWithin(const QDeadlineTimer& deadline) {
    Timeouts limits = timeouts();
    if (!deadline.isForever()) {
        const int left = int(std::clamp<qint64>(deadline.remainingTime(), 1, limits.totalMs));
        limits.connectMs = std::min(limits.connectMs, left);
        limits.totalMs = std::min(limits.totalMs, left);
    }
    return limits;
}

void setTransferOptions(CURL* handle, const QByteArray& url, const Timeouts& limits,
                        curl_slist* headers, char* errorBuffer, QByteArray* response) {
    curl_easy_setopt(handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectMs));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalMs));
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, appendToBuffer);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, response);
}

// The handle keeps a pointer to the body: it must outlive the transfer.
void setMethodAndBody(CURL* handle, const QByteArray& method, const QByteArray& body) {
    if (method == "POST") {
        curl_easy_setopt(handle, CURLOPT_POST, 1L);
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.constData());
    } else {
        curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, method.constData());
    }
}

}  // namespace

namespace http {

void setTimeouts(int connectMs, int totalMs) {
    timeouts().connectMs = connectMs;
    timeouts().totalMs = totalMs;
}

int connectTimeoutMs() {
    return timeouts().connectMs;
}

int totalTimeoutMs() {
    return timeouts().totalMs;
}

}  // namespace http

void HttpRequest::open(const QByteArray& pMethod, const QByteArray& pUrl) {
    m_method = pMethod;
    m_url = pUrl;
    m_headers.clear();
    m_response.clear();
    m_status = 0;
    m_error.clear();
}

void HttpRequest::setRequestHeader(const QByteArray& pName, const QByteArray& pValue) {
    for (auto& header : m_headers) {
        if (header.first.compare(pName, Qt::CaseInsensitive) == 0) {
            header.second = pValue;
            return;
        }
    }
    m_headers.append({pName, pValue});
}

// libcurl would guess "http://" for an address without a scheme and look the
// script name up as a host; such an address cannot be opened at all.
bool HttpRequest::addressCanBeOpened() const {
    const QUrl url = QUrl::fromEncoded(m_url);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == "http" || scheme == "https") && !url.host().isEmpty();
}

bool HttpRequest::send(const QByteArray& pBody) {
    m_response.clear();
    m_status = 0;
    if (!addressCanBeOpened()) {
        m_error = QStringLiteral("The address cannot be opened: ") + QString::fromLatin1(m_url);
        return false;
    }
    const QDeadlineTimer deadline = HttpDeadline::current();
    if (deadline.hasExpired()) {
        m_error =
            QStringLiteral("The time for the request has run out: ") + QString::fromLatin1(m_url);
        return false;
    }
    initialiseCurlOnce();
    CurlEasy curl(curl_easy_init());
    if (!curl) {
        m_error = QStringLiteral("No HTTP handle");
        return false;
    }
    const CurlList headers = headerList(m_headers);
    char errorBuffer[CURL_ERROR_SIZE] = {};
    setTransferOptions(curl.get(), m_url, timeoutsWithin(deadline), headers.get(), errorBuffer,
                       &m_response);
    const QByteArray method = m_method.toUpper();
    setMethodAndBody(curl.get(), method, pBody);
    const CURLcode result = curl_easy_perform(curl.get());
    if (result != CURLE_OK) {
        m_error = QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(result));
        m_response.clear();
        return false;
    }
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &m_status);
    return true;
}
