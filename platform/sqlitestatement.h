#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement, finalized when the object goes.
class SqliteStatement {
public:
    enum class Step { Row, Done, Error };

    // Prepares a single statement. Text after it (other than blanks and
    // semicolons) makes the statement invalid rather than being ignored, so a
    // value spliced into SQL can never smuggle in a second statement.
    SqliteStatement(sqlite3* db, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool isValid() const { return m_statement != nullptr; }
    const QString& lastError() const { return m_error; }
    // SQLite's extended result code of the last failure; 0 for a failure of
    // our own (text after the statement) or none.
    int lastErrorCode() const { return m_errorCode; }

    Step step();
    // Binds text to the "?" place number index (counted from 1) for the
    // next step; the text is a value, never read as SQL.
    bool bindText(int index, const QString& value);
    // Makes the statement ready to run again with new values.
    void reset();
    int columnCount() const;
    QString columnName(int column) const;
    // integer -> qint64, real -> double, text -> QString, blob -> QByteArray,
    // null -> a null QVariant.
    QVariant value(int column) const;

private:
    void fail(const QString& message, int code);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
    QString m_error;
    int m_errorCode = 0;
};
