#pragma once

#include <QString>
#include <QVariantList>

struct sqlite3;

// Writes a new SQLite database file from a schema and rows. The rows go
// into a file beside the target that replaces it only on commit(), so a
// failed build never leaves a half-filled database behind.
class DatabaseBuilder {
public:
    DatabaseBuilder() = default;
    ~DatabaseBuilder();
    DatabaseBuilder(const DatabaseBuilder&) = delete;
    DatabaseBuilder& operator=(const DatabaseBuilder&) = delete;

    // Starts a database with the schema of the SQL file at schemaPath.
    bool create(const QString& path, const QString& schemaPath);
    // One row by position; values are text, whole numbers or null.
    bool insert(const QString& table, const QVariantList& values);
    // Finishes the file and puts it in place of any file at the path.
    bool commit();

    const QString& lastError() const { return m_error; }

private:
    bool execute(const QString& sql);
    bool fail(const QString& reason);
    void discard();

    sqlite3* m_db = nullptr;
    QString m_path;
    QString m_error;
};
