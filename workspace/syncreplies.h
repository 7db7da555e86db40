#pragma once

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

// The service's replies to a records sync, checked before anything local
// changes: a reply that is not wholly well formed (an "ERR_" code, a cut or
// garbled reply) is no reply at all.
namespace syncreplies {

// A sentence of the service, its "'" already turned into "’".
struct SentenceRecord {
    QString code;        // question code (correct) or error code (wrong)
    QString sentence;    // faults marked as the service keeps them (wrong)
    QString date;        // year/month/day, optionally with a time
    QString storedDate;  // the date as the databases store it
};

// Correct sentences: field 1 question code, field 2 sentence, field 3 date.
std::optional<QList<SentenceRecord>> correctSentences(const QString& reply);
// Wrong sentences: field 0 error code, field 2 sentence, field 3 date.
std::optional<QList<SentenceRecord>> wrongSentences(const QString& reply);

struct ProgressItem {
    QString unitId;
    QChar state;  // '1', '2' or '3'
};

// "id:state" items joined by ","; an empty item ends the list.
std::optional<QList<ProgressItem>> progressItems(const QString& reply);

}  // namespace syncreplies
