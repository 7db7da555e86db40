#pragma once

#include <QString>

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
