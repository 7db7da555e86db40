#include "tools/gizpack/databasebuilder.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

QString partPathOf(const QString& path) {
    return path + QStringLiteral(".part");
}

QString readSchema(const QString& schemaPath, bool* ok) {
    QFile file(schemaPath);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? QString::fromUtf8(file.readAll()) : QString();
}

bool bindValue(sqlite3_stmt* statement, int index, const QVariant& value) {
    if (value.isNull()) {
        return sqlite3_bind_null(statement, index) == SQLITE_OK;
    }
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong) {
        return sqlite3_bind_int64(statement, index, value.toLongLong()) == SQLITE_OK;
    }
    const QByteArray text = value.toString().toUtf8();
    return sqlite3_bind_text(statement, index, text.constData(), int(text.size()),
                             SQLITE_TRANSIENT) == SQLITE_OK;
}

}  // namespace

DatabaseBuilder::~DatabaseBuilder() {
    discard();
}

bool DatabaseBuilder::create(const QString& path, const QString& schemaPath) {
    discard();
    m_path = path;
    bool schemaRead = false;
    const QString schema = readSchema(schemaPath, &schemaRead);
    if (!schemaRead) {
        return fail(QStringLiteral("cannot read schema %1").arg(schemaPath));
    }
    const QString partPath = partPathOf(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(partPath);
    if (sqlite3_open_v2(partPath.toUtf8().constData(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        return fail(QStringLiteral("cannot create %1: %2")
                        .arg(partPath, QString::fromUtf8(sqlite3_errmsg(m_db))));
    }
    return execute(QStringLiteral("BEGIN")) && execute(schema);
}

bool DatabaseBuilder::insert(const QString& table, const QVariantList& values) {
    const QStringList placeholders(values.size(), QStringLiteral("?"));
    const QByteArray sql =
        QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, placeholders.join(',')).toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &statement, nullptr) !=
        SQLITE_OK) {
        return fail(QString::fromUtf8(sqlite3_errmsg(m_db)));
    }
    bool ok = true;
    for (int i = 0; i < values.size() && ok; ++i) {
        ok = bindValue(statement, i + 1, values[i]);
    }
    ok = ok && sqlite3_step(statement) == SQLITE_DONE;
    if (!ok) {
        fail(QStringLiteral("insert into %1: %2")
                 .arg(table, QString::fromUtf8(sqlite3_errmsg(m_db))));
    }
    sqlite3_finalize(statement);
    return ok;
}

bool DatabaseBuilder::commit() {
    if (!execute(QStringLiteral("COMMIT"))) {
        return false;
    }
    sqlite3_close(m_db);
    m_db = nullptr;
    QFile::remove(m_path);
    if (!QFile::rename(partPathOf(m_path), m_path)) {
        return fail(QStringLiteral("cannot create %1").arg(m_path));
    }
    return true;
}

bool DatabaseBuilder::execute(const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString reason = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
        sqlite3_free(message);
        return fail(reason);
    }
    return true;
}

bool DatabaseBuilder::fail(const QString& reason) {
    m_error = reason;
    return false;
}

void DatabaseBuilder::discard() {
    if (m_db) {
        sqlite3_close(m_db);
        m_db = nullptr;
        QFile::remove(partPathOf(m_path));
    }
}
