#include "workspace/syncreplies.h"

#include <QRegularExpression>

#include "platform/db.h"

namespace syncreplies {
namespace {

constexpr int kFieldsPerRecord = 4;

// A date is stored as the text that the date literal "#year/month/day#"
// stands for, which only a real date has. Records come in date order, so
// the date of the record before is nearly always the one asked for again.
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

// Records separated by "<@>" up to the first empty one, fields by "#".
std::optional<QList<SentenceRecord>> sentences(const QString& reply, int codeField) {
    const QString text = QString(reply).replace('\'', QChar(0x2019));
    StoredDates dates;
    QList<SentenceRecord> result;
    for (const QStringView record : QStringView(text).split(u"<@>")) {
        if (record.isEmpty()) {
            return result;
        }
        const QList<QStringView> fields = record.split(u'#');
        if (fields.size() < kFieldsPerRecord) {
            return std::nullopt;
        }
        const QString storedDate = dates.of(fields.at(3));
        if (storedDate.isEmpty()) {
            return std::nullopt;
        }
        result.append({fields.at(codeField).toString(), fields.at(2).toString(),
                       fields.at(3).toString(), storedDate});
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
    static const QRegularExpression itemForm(QStringLiteral("^([^:,]+):([123])$"));
    QList<ProgressItem> result;
    for (const QString& item : reply.split(',')) {
        if (item.isEmpty()) {
            return result;
        }
        const QRegularExpressionMatch match = itemForm.match(item);
        if (!match.hasMatch()) {
            return std::nullopt;
        }
        result.append({match.captured(1), match.captured(2).at(0)});
    }
    return result;
}

}  // namespace syncreplies
