#include "platform/sqliteconnection.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <QFile>

namespace {

// Another process (or our own installer) may hold the file for a moment.
constexpr int kBusyTimeoutMs = 5000;

bool identityOf(const QString& path, dev_t* device, ino_t* inode) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    *device = info.st_dev;
    *inode = info.st_ino;
    return true;
}

}  // namespace

SqliteConnection::~SqliteConnection() {
    close();
}

bool SqliteConnection::open(const QString& path) {
    close();
    m_error.clear();
    m_errorCode = 0;
    m_path = path;
    if (!identityOf(path, &m_device, &m_inode)) {
        m_error = QStringLiteral("Database file not found: %1").arg(path);
        return false;
    }
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        m_error = QStringLiteral("Cannot open database %1: %2")
                      .arg(path, db ? QString::fromUtf8(sqlite3_errmsg(db))
                                    : QString::fromUtf8(sqlite3_errstr(rc)));
        m_errorCode = db ? sqlite3_extended_errcode(db) : rc;
        sqlite3_close_v2(db);
        return false;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 1);
    m_db = db;
    return true;
}

bool SqliteConnection::stillOpensSameFile() const {
    dev_t device = 0;
    ino_t inode = 0;
    return isOpen() && identityOf(m_path, &device, &inode) && device == m_device &&
           inode == m_inode;
}

void SqliteConnection::close() {
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}
