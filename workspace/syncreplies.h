#pragma once

#include <optional>
#include <QList>
#include <QString>

// The service's replies that bring the learner's records down. A reply that
// begins "ERR" (a failed post, an "ERR_" code of the service) is no reply at
// all, so that nothing local changes.
namespace syncreplies {

// A sentence of the service, its "'" already turned into "’".
struct SentenceRecord {
    QString code;        // question code (correct) or error code (wrong)
    QString sentence;    // faults marked as the service keeps them (wrong)
    QString date;        // year/month/day or year-month-day, optionally with a time
    QString storedDate;  // the date as the databases store it
};

// Correct sentences: field 1 question code, field 2 sentence, field 3 date.
// No records when any record up to the first empty one lacks a field or a
// real date: a sync cannot store them.
std::optional<QList<SentenceRecord>> correctSentences(const QString& reply);
// Wrong sentences: field 0 error code, field 2 sentence, field 3 date.
std::optional<QList<SentenceRecord>> wrongSentences(const QString& reply);

struct ProgressItem {
    QString unitId;
    QChar state;  // '2' and '3' are written; any other leaves the unit at '1'
};

// Items joined by ","; the first empty item ends the list. An item's state
// is its last character, its unit id the item without its ":1", ":2" and
// ":3".
std::optional<QList<ProgressItem>> progressItems(const QString& reply);

struct MistakeCount {
    QString code;
    qint64 count;
};

// "code:count" items joined by ","; the first empty item ends the list. An
// item without ":", or whose count is not a whole number, is skipped.
std::optional<QList<MistakeCount>> mistakeCounts(const QString& reply);

}  // namespace syncreplies
