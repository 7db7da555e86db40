#pragma once

#include <optional>
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The one pattern of every exchange with the service and the checking engine:
// a blocking POST whose form text starts with the fixed key field, and a
// plain-text reply decoded from Big5 bytes.

inline constexpr const char* kRequestKey = "quillmarrowed";
// What the program itself answers for a service that is not online or a
// post that failed.
inline constexpr const char* kConnectFailed = "ERR_CONNECT_FAILED";

// Name and value pairs in the script's order.
using RequestFields = QList<QPair<QString, QString>>;

// "key=quillmarrowed", then "&name=value" for each field. Values are spliced
// as they stand: a value holding "&" or "=" changes the split that the
// server sees.
QString RequestForm(const RequestFields& pFields = {});

// Posts pForm to pAddress and returns the decoded reply, unchanged; no value
// when the post failed (address cannot be opened, no connection, no complete
// answer in time, an answer whose HTTP status is not 2xx).
std::optional<QString> PostRequest(const QString& pAddress, const QString& pForm);
// The same with the form text behind "?" in the address and an empty body.
std::optional<QString> PostQueryRequest(const QString& pAddress, const QString& pForm);

// Bytes below 0x80 are ASCII; any other byte leads a double-byte Big5
// character together with the byte after it. A lead byte with nothing after
// it becomes "?".
QString BytesToBstr(const QByteArray& pBody);

// True when the service at gServerURL answers its online test with "ONLINE".
bool IsServerOnline();
