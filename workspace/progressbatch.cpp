#include "workspace/progressbatch.h"

#include "platform/db.h"
#include "shared/helpers.h"

ProgressBatch::ProgressBatch(QChar state, const QString& connectionString)
    : m_head("update bswunit set VISITED = '" + QString(state) + "' where"),
      m_statement(m_head),
      m_connectionString(connectionString) {}

bool ProgressBatch::add(const QString& unitId) {
    m_statement += " UNITID = '" + SqlText(unitId) + "' or";
    return m_statement.length() <= kBatchLength || run();
}

bool ProgressBatch::flush() {
    return m_statement == m_head || run();
}

// Without the closing "or"; the blank before it stays.
bool ProgressBatch::run() {
    const bool done = db::execute(m_statement.chopped(2), m_connectionString);
    m_statement = m_head;
    return done;
}

bool writeProgress(const QList<syncreplies::ProgressItem>& items, const QString& connectionString,
                   const std::function<void()>& pumpEvents) {
    if (!db::execute("update bswunit set  VISITED = '1'", connectionString)) {
        return false;
    }
    ProgressBatch attempted('2', connectionString);
    ProgressBatch finished('3', connectionString);
    for (const syncreplies::ProgressItem& item : items) {
        pumpEvents();
        const bool done = item.state == '2'   ? attempted.add(item.unitId)
                          : item.state == '3' ? finished.add(item.unitId)
                                              : true;
        if (!done) {
            return false;
        }
    }
    return attempted.flush() && finished.flush();
}
