#pragma once

#include <functional>
#include <QList>
#include <QString>

#include "workspace/syncreplies.h"

// One state's share of the unit progress written back from the service:
// "update bswunit set VISITED = 'n' where UNITID = 'a' or UNITID = 'b' ...",
// run whenever its text has grown past 240 characters (the unit that crosses
// the limit still belongs to it) and once more for the rest.
class ProgressBatch {
public:
    ProgressBatch(QChar state, const QString& connectionString);

    // False when a statement that had to run failed.
    bool add(const QString& unitId);
    // Runs what is left; nothing when no unit is waiting.
    bool flush();

    static constexpr int kBatchLength = 240;

private:
    bool run();

    QString m_head;
    QString m_statement;
    QString m_connectionString;
};

// Every unit of the course back to '1', then the items in state '2' or '3'
// to their state; pumpEvents runs before each item. False at the first
// statement that fails, which the caller's transaction then undoes.
bool writeProgress(const QList<syncreplies::ProgressItem>& items, const QString& connectionString,
                   const std::function<void()>& pumpEvents);
