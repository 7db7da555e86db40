#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

// SQL text on a connection string, as the databases are addressed throughout
// the program. The file named after "Data Source=" or "DBQ=" is an SQLite
// database; one connection per file stays open for the life of the process.
namespace db {

// The database path inside a connection string ("" when it names none).
QString databasePathOf(const QString& connectionString);

// Jet's "#2011/3/1#" date literals become SQLite's '2011-03-01'; text inside
// quotes is left alone.
QString translateJetSql(const QString& sql);

// Quotes a value for SQL text: doubles every "'" (no surrounding quotes).
QString SqlText(const QString& value);

class Recordset {
public:
    Recordset() = default;
    Recordset(const QString& sql, const QString& connectionString) { open(sql, connectionString); }

    // Runs the statement and loads its rows. False (and lastError()) when the
    // database cannot be opened or the statement fails.
    bool open(const QString& sql, const QString& connectionString);
    bool isOpen() const { return m_open; }
    const QString& lastError() const { return m_error; }

    bool eof() const { return m_row >= m_rows.size(); }
    void moveNext() { ++m_row; }
    void moveFirst() { m_row = 0; }
    int recordCount() const { return int(m_rows.size()); }

    int fieldCount() const { return int(m_columns.size()); }
    // The position of a column, found as field(name) finds it; -1 when the
    // statement gave none of that name. Lets a reader of many rows look the
    // name up once.
    int columnIndex(const QString& name) const;
    // Fields by name compare case-insensitively; an unknown name or a read
    // past the last row gives an invalid QVariant.
    QVariant field(const QString& name) const;
    QVariant field(int index) const;
    // The field as text, a null value as "".
    QString text(const QString& name) const { return field(name).toString(); }

private:
    bool m_open = false;
    QString m_error;
    QStringList m_columns;
    std::vector<std::vector<QVariant>> m_rows;
    size_t m_row = 0;
};

// Runs a statement that returns no rows. False on failure.
bool execute(const QString& sql, const QString& connectionString, QString* error = nullptr);

// Runs a statement with "?" places once for each row of values, bound to
// the places in order; the statement is prepared once and the values are
// never read as SQL. Stops with false at the first row that fails.
bool executeForEach(const QString& sql, const QList<QStringList>& rows,
                    const QString& connectionString, QString* error = nullptr);

// All-or-nothing changes to one database, or to two at once: commits when
// commit() is called, rolls back when destroyed without it.
//
// With two, the second file is attached to the first one's connection for
// the life of the transaction, so that one commit covers both: their
// rollback journals make it all-or-nothing even when the process dies in
// the middle of it. Meanwhile statements addressed to the second file run
// on that shared connection, which finds their tables by name; so the
// transaction does not start when the two files share a table name, or
// when either keeps a write-ahead log (which cannot commit across files).
class Transaction {
public:
    explicit Transaction(const QString& connectionString);
    Transaction(const QString& connectionString, const QString& joinedConnectionString);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool isActive() const { return m_active; }
    bool commit();

private:
    bool join(const QString& joinedConnectionString);
    void leave();

    QString m_connectionString;
    QString m_joinedKey;
    bool m_active = false;
};

// Whether the latest failure of any call here was the disk refusing a
// change (full, a write that failed, a file or folder that may only be
// read, a journal that cannot be made) rather than a statement, a file or
// a database that is wrong or missing. A call that succeeds leaves it as it
// was: ask right after the call that failed.
bool lastFailureWasDiskRefusal();

// Closes the cached connection of a file (before it is deleted or replaced).
void closeConnection(const QString& databasePath);
void closeAllConnections();

}  // namespace db
