#include "workspace/syncreplies.h"

#include <QRegularExpression>

#include "platform/db.h"

namespace syncreplies {
namespace {

constexpr int kFieldsPerRecord = 4;

// A date is stored as the text that its date literal ("#2011/3/1#",
// "#2011-3-1 下午 01:04:05#") stands for, which only a real date has.
// Records come in date order, so the date of the record before is nearly
// always the one asked for again.
class StoredDates {
public:
    QString of(QStringView date) {
        if (date != m_lastDate) {
            m_lastDate = date.toString();
            const QString literal = db::translateJetSql("#" + m_lastDate + "#");
            const bool quoted =
                literal.size() > 2 && literal.startsWith('\'') && literal.endsWith('\'');
            m_lastStored = quoted ? literal.mid(1, literal.size() - 2) : QString();
        }
        return m_lastStored;
    }

private:
    QString m_lastDate;
    QString m_lastStored;
};

bool isNoReply(const QString& reply) {
    return reply.startsWith("ERR");
}

// The items before the first empty one.
QList<QStringView> listItems(QStringView reply, QStringView separator) {
    QList<QStringView> items = reply.split(separator);
    const qsizetype firstEmpty = items.indexOf(QStringView());
    return firstEmpty < 0 ? items : items.first(firstEmpty);
}

// Records separated by "<@>" up to the first empty one, fields by "#".
std::optional<QList<SentenceRecord>> sentences(const QString& reply, int codeField) {
    if (isNoReply(reply)) {
        return std::nullopt;
    }
    // A line break or blanks after the last record end the list, as an
    // empty record does.
    QStringView rest(reply);
    while (!rest.isEmpty() && rest.back().isSpace()) {
        rest.chop(1);
    }
    const QString text = rest.toString().replace('\'', QChar(0x2019));
    StoredDates dates;
    QList<SentenceRecord> result;
    for (const QStringView record : listItems(text, u"<@>")) {
        const QList<QStringView> fields = record.split(u'#');
        if (fields.size() < kFieldsPerRecord) {
            return std::nullopt;
        }
        // White space around a date is no part of it, in whichever record.
        const QStringView date = fields.at(3).trimmed();
        const QString storedDate = dates.of(date);
        if (storedDate.isEmpty()) {
            return std::nullopt;
        }
        result.append({fields.at(codeField).toString(), fields.at(2).toString(), date.toString(),
                       storedDate});
    }
    return result;
}

}  // namespace

std::optional<QList<SentenceRecord>> correctSentences(const QString& reply) {
    return sentences(reply, 1);
}

std::optional<QList<SentenceRecord>> wrongSentences(const QString& reply) {
    return sentences(reply, 0);
}

std::optional<QList<ProgressItem>> progressItems(const QString& reply) {
    if (isNoReply(reply)) {
        return std::nullopt;
    }
    QList<ProgressItem> result;
    for (const QStringView item : listItems(reply, u",")) {
        const QString unitId = item.toString().remove(":1").remove(":2").remove(":3");
        result.append({unitId, item.back()});
    }
    return result;
}

// The count goes into SQL as a number: anything else would break the
// statement, so its item is left out.
std::optional<QList<MistakeCount>> mistakeCounts(const QString& reply) {
    static const QRegularExpression countForm(QStringLiteral("^\\s*(-?[0-9]{1,18})\\s*$"));
    if (isNoReply(reply)) {
        return std::nullopt;
    }
    QList<MistakeCount> result;
    for (const QStringView item : listItems(reply, u",")) {
        const QList<QStringView> parts = item.split(u':');
        const QRegularExpressionMatch count =
            parts.size() < 2 ? QRegularExpressionMatch() : countForm.match(parts.at(1).toString());
        if (count.hasMatch()) {
            result.append({parts.at(0).toString(), count.captured(1).toLongLong()});
        }
    }
    return result;
}

}  // namespace syncreplies
