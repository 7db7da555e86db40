#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// The floors' way to a database: one prepared statement on a connection of
// sqlite3's own, its "?" places bound to text, its rows read as text or
// numbers.
class SqliteQuery {
public:
    SqliteQuery(sqlite3* database, const char* sql);
    ~SqliteQuery();
    SqliteQuery(const SqliteQuery&) = delete;
    SqliteQuery& operator=(const SqliteQuery&) = delete;

    // Starts the statement again with new values for its places, in order.
    void bind(std::initializer_list<QString> values);
    bool next();
    QString text(int column) const;
    qint64 number(int column) const;
    // The first column of the first row, for a count.
    qint64 single(std::initializer_list<QString> values);

private:
    sqlite3_stmt* m_statement = nullptr;
};

// A database opened for the life of the object (read only unless asked).
class SqliteDatabase {
public:
    explicit SqliteDatabase(const QString& path, bool writable = false);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    sqlite3* handle() const { return m_database; }
    bool execute(const char* sql);

private:
    sqlite3* m_database = nullptr;
};
