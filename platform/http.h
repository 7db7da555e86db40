#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Synchronous HTTP exchanges, as the program's requests are: the caller's
// thread blocks until the whole reply has arrived, and no events run
// meanwhile. A request gives up after the connect and total time-outs, or
// earlier at the deadline of an HttpDeadline around it, so a server that
// never answers cannot freeze the program for ever.
namespace http {

// Defaults: 10 s to connect, 60 s in all. LEXIVO_HTTP_TIMEOUT_MS, when set,
// is the total, and the connect time-out is cut down to it if longer.
void setTimeouts(int connectMs, int totalMs);
int connectTimeoutMs();
int totalTimeoutMs();

}  // namespace http

// One request, used once: open, set headers, send, read the reply.
class HttpRequest {
public:
    // pUrl is the address as it goes on the wire: only http and https
    // addresses with a host can be opened.
    void open(const QByteArray& pMethod, const QByteArray& pUrl);
    // A second setting of the same header replaces the first.
    void setRequestHeader(const QByteArray& pName, const QByteArray& pValue);
    // A POST sends pBody; other methods send no body. True when a complete
    // answer arrived, whatever its HTTP status; false when the address
    // cannot be opened, the deadline has passed, no connection is made, or
    // the answer is cut off or late.
    bool send(const QByteArray& pBody = QByteArray());

    QByteArray responseBody() const { return m_response; }
    long status() const { return m_status; }
    QString errorText() const { return m_error; }

private:
    bool addressCanBeOpened() const;

    QByteArray m_method;
    QByteArray m_url;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    QByteArray m_response;
    long m_status = 0;
    QString m_error;
};
