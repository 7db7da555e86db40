#include "standin/store.h"

#include <sqlite3.h>

#include <QRegularExpression>

namespace {

// Mistakes are not kept apart from the wrong sentences: counting them keeps
// the two from ever disagreeing, also across resets and imports.
const char* const kSchema = R"SQL(
create table if not exists accounts (
    pno text primary key, user text not null default '', password text,
    name text not null default '', courses text not null default '',
    server text not null default '', edition text not null default '');
create table if not exists courses (
    id text primary key collate nocase, name text not null, version text not null,
    package text not null default '');
create table if not exists progress (
    pno text not null, course text not null, unitid text not null, state text not null,
    primary key (pno, course, unitid));
create table if not exists ok_sentences (
    id integer primary key autoincrement, pno text not null, course text not null,
    qcode text not null, sentence text not null, sentdate text not null, origin integer);
create table if not exists err_sentences (
    id integer primary key autoincrement, pno text not null, course text not null,
    qcode text not null, errcode text not null, sentence text not null,
    sentdate text not null, origin integer);
create view if not exists mistakes as
    select pno, course, errcode, count(*) as times from err_sentences
    group by pno, course, errcode;
create table if not exists memos (
    pno text not null, course text not null, memo text not null, primary key (pno, course));
create table if not exists feedback (
    id integer primary key autoincrement, pno text, qcode text, errcode text, sentence text,
    remarks text, email text, received text);
create table if not exists news (
    id integer primary key, softcode text not null, title text not null, body text not null);
create table if not exists versions (type text primary key, version text not null);
create table if not exists grades (
    id integer primary key autoincrement, pno text, qcode text, sentence text, status text,
    errcode text, marked text, graded text);
)SQL";

void bindValue(sqlite3_stmt* statement, int index, const QVariant& value) {
    if (value.isNull()) {
        sqlite3_bind_null(statement, index);
    } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong) {
        sqlite3_bind_int64(statement, index, value.toLongLong());
    } else {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
}

QString columnText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(statement, column)) : QString();
}

}  // namespace

Store::~Store() {
    if (m_db) {
        sqlite3_close(m_db);
    }
}

bool Store::open(const QString& path, QString* error) {
    if (sqlite3_open(path.toUtf8().constData(), &m_db) != SQLITE_OK) {
        if (error) {
            *error = QString::fromUtf8(sqlite3_errmsg(m_db));
        }
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    if (!createTables()) {
        if (error) {
            *error = QString::fromUtf8(sqlite3_errmsg(m_db));
        }
        return false;
    }
    return true;
}

bool Store::createTables() {
    return sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool Store::isEmpty() {
    return !exists("select 1 from accounts");
}

bool Store::exec(const QString& sql, const QVariantList& binds) {
    return prepareAndRun(sql, binds, nullptr);
}

QList<Store::Row> Store::rows(const QString& sql, const QVariantList& binds) {
    QList<Row> result;
    prepareAndRun(sql, binds, &result);
    return result;
}

QString Store::value(const QString& sql, const QVariantList& binds) {
    const QList<Row> result = rows(sql, binds);
    return result.isEmpty() || result.first().isEmpty() ? QString() : result.first().first();
}

bool Store::exists(const QString& sql, const QVariantList& binds) {
    return !rows(sql, binds).isEmpty();
}

bool Store::prepareAndRun(const QString& sql, const QVariantList& binds, QList<Row>* result) {
    if (!m_db) {
        return false;
    }
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &statement, nullptr) !=
        SQLITE_OK) {
        return false;
    }
    for (int i = 0; i < binds.size(); ++i) {
        bindValue(statement, i + 1, binds.at(i));
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        if (result) {
            Row row;
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                row << columnText(statement, column);
            }
            result->append(row);
        }
    }
    sqlite3_finalize(statement);
    return step == SQLITE_DONE;
}

QString Store::dumpTsv(const QString& table) {
    if (!exists("select 1 from sqlite_master where type in ('table', 'view') and name = ?",
                {table})) {
        return QString();
    }
    // The name has just been checked against the store's own tables, so it
    // is safe to place in the statement.
    const QString sql = "select * from \"" + table + "\" order by 1";
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &statement, nullptr) !=
        SQLITE_OK) {
        return QString();
    }
    QStringList lines;
    QStringList header;
    for (int column = 0; column < sqlite3_column_count(statement); ++column) {
        header << QString::fromUtf8(sqlite3_column_name(statement, column));
    }
    lines << header.join('\t');
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList fields;
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            // A value must not break the line or the columns of the dump.
            fields << columnText(statement, column).replace(QRegularExpression("[\t\r\n]"), " ");
        }
        lines << fields.join('\t');
    }
    sqlite3_finalize(statement);
    return lines.join('\n') + '\n';
}
