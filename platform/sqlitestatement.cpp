#include "platform/sqlitestatement.h"

#include <sqlite3.h>
#include <QByteArray>

namespace {

bool onlySeparatorsIn(const char* text) {
    for (; *text; ++text) {
        if (*text != ';' && !QChar::isSpace(uchar(*text))) {
            return false;
        }
    }
    return true;
}

}  // namespace

SqliteStatement::SqliteStatement(sqlite3* db, const QString& sql) : m_db(db) {
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    sqlite3_stmt* statement = nullptr;
    const int rc =
        sqlite3_prepare_v2(db, text.constData(), int(text.size()) + 1, &statement, &tail);
    if (rc != SQLITE_OK) {
        fail(QString::fromUtf8(sqlite3_errmsg(db)), rc);
        return;
    }
    m_statement = statement;
    if (!m_statement) {
        fail(QStringLiteral("Empty SQL statement"), 0);
    } else if (tail && !onlySeparatorsIn(tail)) {
        fail(QStringLiteral("Characters found after the end of the SQL statement"), 0);
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_statement);
}

SqliteStatement::Step SqliteStatement::step() {
    if (!m_statement) {
        return Step::Error;
    }
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW) {
        return Step::Row;
    }
    if (rc == SQLITE_DONE) {
        return Step::Done;
    }
    m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    m_errorCode = rc;
    return Step::Error;
}

bool SqliteStatement::bindText(int index, const QString& value) {
    if (!m_statement) {
        return false;
    }
    const QByteArray text = value.toUtf8();
    const int rc =
        sqlite3_bind_text(m_statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
        m_errorCode = rc;
        return false;
    }
    return true;
}

void SqliteStatement::reset() {
    if (m_statement) {
        sqlite3_reset(m_statement);
        sqlite3_clear_bindings(m_statement);
    }
}

int SqliteStatement::columnCount() const {
    return m_statement ? sqlite3_column_count(m_statement) : 0;
}

QString SqliteStatement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_statement, column));
}

QVariant SqliteStatement::value(int column) const {
    switch (sqlite3_column_type(m_statement, column)) {
        case SQLITE_INTEGER:
            return QVariant(qint64(sqlite3_column_int64(m_statement, column)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(m_statement, column));
        case SQLITE_TEXT: {
            const auto* text =
                reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
            return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column)));
        }
        case SQLITE_BLOB: {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
            return QVariant(QByteArray(bytes, sqlite3_column_bytes(m_statement, column)));
        }
        default:
            return QVariant();
    }
}

void SqliteStatement::fail(const QString& message, int code) {
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_error = message;
    m_errorCode = code;
}
