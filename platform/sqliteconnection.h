#pragma once

#include <sys/types.h>
#include <QString>

struct sqlite3;

// One open SQLite database file, closed when the object goes.
class SqliteConnection {
public:
    SqliteConnection() = default;
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Opens an existing database for reading and writing (read only where
    // the file is write protected). A missing file is an error: nothing is
    // ever created.
    bool open(const QString& path);
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle() const { return m_db; }
    const QString& lastError() const { return m_error; }
    // SQLite's extended result code of a failed open; 0 when SQLite was not
    // asked (the file is missing) or nothing failed.
    int lastErrorCode() const { return m_errorCode; }

    // False once the file has been deleted or replaced by another since it
    // was opened: the connection would then read a file nobody sees any more.
    bool stillOpensSameFile() const;

private:
    void close();

    sqlite3* m_db = nullptr;
    QString m_path;
    QString m_error;
    int m_errorCode = 0;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};
