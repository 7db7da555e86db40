#include "bench/sqlitequery.h"

#include <sqlite3.h>

SqliteQuery::SqliteQuery(sqlite3* database, const char* sql) {
    sqlite3_prepare_v2(database, sql, -1, &m_statement, nullptr);
}

SqliteQuery::~SqliteQuery() {
    sqlite3_finalize(m_statement);
}

void SqliteQuery::bind(std::initializer_list<QString> values) {
    sqlite3_reset(m_statement);
    int place = 0;
    for (const QString& value : values) {
        const QByteArray text = value.toUtf8();
        sqlite3_bind_text(m_statement, ++place, text.constData(), int(text.size()),
                          SQLITE_TRANSIENT);
    }
}

bool SqliteQuery::next() {
    return sqlite3_step(m_statement) == SQLITE_ROW;
}

QString SqliteQuery::text(int column) const {
    return QString::fromUtf8(
        reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column)));
}

qint64 SqliteQuery::number(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

qint64 SqliteQuery::single(std::initializer_list<QString> values) {
    bind(values);
    return next() ? number(0) : 0;
}

SqliteDatabase::SqliteDatabase(const QString& path, bool writable) {
    sqlite3_open_v2(path.toUtf8().constData(), &m_database,
                    writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, nullptr);
}

SqliteDatabase::~SqliteDatabase() {
    sqlite3_close(m_database);
}

bool SqliteDatabase::execute(const char* sql) {
    return sqlite3_exec(m_database, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}
