#include "platform/db.h"

#include <sqlite3.h>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTime>

#include "platform/sqliteconnection.h"
#include "platform/sqlitestatement.h"

namespace db {
namespace {

bool latestFailureRefusedByDisk = false;

// The kinds of failure by which the disk refuses a change: full, a write or
// sync that failed, a file or folder that may only be read, a journal that
// cannot be made. A read that fails, a damaged file or a wrong statement is
// something else.
bool isDiskRefusal(int code) {
    switch (code & 0xFF) {
        case SQLITE_FULL:
        case SQLITE_READONLY:
        case SQLITE_CANTOPEN:
            return true;
        case SQLITE_IOERR:
            return code == SQLITE_IOERR_WRITE || code == SQLITE_IOERR_FSYNC ||
                   code == SQLITE_IOERR_DIR_FSYNC || code == SQLITE_IOERR_TRUNCATE ||
                   code == SQLITE_IOERR_DELETE;
        default:
            return false;
    }
}

// Every failure passes here, with SQLite's extended code (0 for our own).
void noteFailure(int code) {
    latestFailureRefusedByDisk = isDiskRefusal(code);
}

// Connections are kept for the life of the process, as pooled sessions are,
// and used from the GUI thread only.
std::map<QString, std::unique_ptr<SqliteConnection>>& connections() {
    static std::map<QString, std::unique_ptr<SqliteConnection>> cache;
    return cache;
}

// The same file reached through different spellings shares one connection.
QString cacheKeyOf(const QString& databasePath) {
    return QDir::cleanPath(QFileInfo(databasePath).absoluteFilePath());
}

// The schema name of a file joined to another one's connection.
const QString kJoinedSchema = QStringLiteral("joined");

// Files attached to another file's connection by a two-file transaction,
// each with the file whose connection holds it.
std::map<QString, QString>& joinedFiles() {
    static std::map<QString, QString> hosts;
    return hosts;
}

QString hostKeyOf(const QString& key) {
    const auto joined = joinedFiles().find(key);
    return joined == joinedFiles().end() ? key : joined->second;
}

bool sharesNoTableName(const QString& connectionString) {
    const Recordset shared(
        "select m.name from main.sqlite_master m, " + kJoinedSchema +
            ".sqlite_master j where m.type in ('table', 'view') and j.type in ('table', "
            "'view') and lower(m.name) = lower(j.name) and m.name not like 'sqlite%'",
        connectionString);
    return shared.isOpen() && shared.eof();
}

bool keepsRollbackJournal(const QString& schema, const QString& connectionString) {
    const Recordset mode("PRAGMA " + schema + ".journal_mode", connectionString);
    const QString name = mode.field(0).toString().toLower();
    return name == "delete" || name == "truncate" || name == "persist";
}

SqliteConnection* connectionFor(const QString& connectionString, QString* error) {
    const QString path = databasePathOf(connectionString);
    if (path.isEmpty()) {
        *error = QStringLiteral("The connection string names no database file");
        noteFailure(0);
        return nullptr;
    }
    const QString key = hostKeyOf(cacheKeyOf(path));
    auto& cache = connections();
    auto cached = cache.find(key);
    if (cached != cache.end()) {
        if (cached->second->stillOpensSameFile()) {
            return cached->second.get();
        }
        cache.erase(cached);
    }
    auto connection = std::make_unique<SqliteConnection>();
    if (!connection->open(key)) {
        *error = connection->lastError();
        noteFailure(connection->lastErrorCode());
        return nullptr;
    }
    return cache.emplace(key, std::move(connection)).first->second.get();
}

using RowReader = std::function<void(const SqliteStatement&)>;

// Runs one statement to its end; onPrepared sees it before the first row.
bool run(const QString& sql, const QString& connectionString, QString* error,
         const RowReader& onPrepared = {}, const RowReader& onRow = {}) {
    SqliteConnection* connection = connectionFor(connectionString, error);
    if (!connection) {
        return false;
    }
    SqliteStatement statement(connection->handle(), sql);
    if (!statement.isValid()) {
        *error = statement.lastError();
        noteFailure(statement.lastErrorCode());
        return false;
    }
    if (onPrepared) {
        onPrepared(statement);
    }
    for (;;) {
        switch (statement.step()) {
            case SqliteStatement::Step::Row:
                if (onRow) {
                    onRow(statement);
                }
                break;
            case SqliteStatement::Step::Done:
                return true;
            case SqliteStatement::Step::Error:
                *error = statement.lastError();
                noteFailure(statement.lastErrorCode());
                return false;
        }
    }
}

// The part of the key=value list that follows one of the keys, up to ";".
QString valueAfterKey(const QString& connectionString, QLatin1StringView key) {
    qsizetype from = 0;
    while ((from = connectionString.indexOf(key, from, Qt::CaseInsensitive)) >= 0) {
        const bool startsItem = from == 0 || connectionString.at(from - 1) == u';';
        from += key.size();
        if (startsItem) {
            const qsizetype end = connectionString.indexOf(u';', from);
            return connectionString.mid(from, end < 0 ? -1 : end - from);
        }
    }
    return QString();
}

// A quoted run starting at `from`: its end, just past the closing quote (a
// doubled quote inside it stands for one quote character).
qsizetype endOfQuoted(const QString& sql, qsizetype from) {
    const QChar quote = sql.at(from);
    qsizetype at = from + 1;
    while (at < sql.size()) {
        if (sql.at(at) == quote) {
            if (at + 1 < sql.size() && sql.at(at + 1) == quote) {
                at += 2;
                continue;
            }
            return at + 1;
        }
        ++at;
    }
    return sql.size();
}

// Whether a half-day mark is the afternoon one: PM in any letter case, or 下午.
bool isAfternoon(const QString& mark) {
    return mark.compare(QLatin1StringView("PM"), Qt::CaseInsensitive) == 0 ||
           mark == QStringLiteral("下午");
}

// The time of a date literal: 24-hour, or 12-hour with its mark before or
// after it, hours 1 to 12 (12 AM is midnight, 12 PM noon).
std::optional<QTime> timeOf(const QRegularExpressionMatch& match) {
    const QString before = match.captured(QStringLiteral("before"));
    const QString after = match.captured(QStringLiteral("after"));
    int hour = match.captured(QStringLiteral("hour")).toInt();
    if (!before.isEmpty() && !after.isEmpty()) {
        return std::nullopt;
    }
    const QString mark = before + after;
    if (!mark.isEmpty()) {
        if (hour < 1 || hour > 12) {
            return std::nullopt;
        }
        hour = hour % 12 + (isAfternoon(mark) ? 12 : 0);
    }
    const QTime time(hour, match.captured(QStringLiteral("minute")).toInt(),
                     match.captured(QStringLiteral("second")).toInt());
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

// The body of a Jet date literal ("2011/3/1", "2011-3-1", either with a time
// such as "10:05:00" or "下午 01:04:05") as SQLite date text, when it is a
// valid date.
std::optional<QString> sqliteDateOf(const QString& jetDate) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(?<year>[0-9]{4})(?<separator>[/-])(?<month>[0-9]{1,2})\k<separator>)"
                       R"((?<day>[0-9]{1,2}))"
                       R"((?<time> +(?:(?<before>AM|PM|上午|下午) *)?)"
                       R"((?<hour>[0-9]{1,2}):(?<minute>[0-9]{1,2})(?::(?<second>[0-9]{1,2}))?)"
                       R"((?: *(?<after>AM|PM|上午|下午))?)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(jetDate);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QDate date(match.captured(QStringLiteral("year")).toInt(),
                     match.captured(QStringLiteral("month")).toInt(),
                     match.captured(QStringLiteral("day")).toInt());
    if (!date.isValid()) {
        return std::nullopt;
    }
    QString text = date.toString(QStringLiteral("yyyy-MM-dd"));
    if (match.hasCaptured(QStringLiteral("time"))) {
        const std::optional<QTime> time = timeOf(match);
        if (!time) {
            return std::nullopt;
        }
        text += u' ' + time->toString(QStringLiteral("HH:mm:ss"));
    }
    return u'\'' + text + u'\'';
}

}  // namespace

QString databasePathOf(const QString& connectionString) {
    const QString dataSource = valueAfterKey(connectionString, QLatin1StringView("Data Source="));
    if (!dataSource.isEmpty()) {
        return dataSource;
    }
    return valueAfterKey(connectionString, QLatin1StringView("DBQ="));
}

QString translateJetSql(const QString& sql) {
    QString translated;
    translated.reserve(sql.size());
    qsizetype at = 0;
    while (at < sql.size()) {
        const QChar c = sql.at(at);
        if (c == u'\'' || c == u'"') {
            const qsizetype end = endOfQuoted(sql, at);
            translated += QStringView(sql).mid(at, end - at);
            at = end;
            continue;
        }
        if (c == u'#') {
            const qsizetype close = sql.indexOf(u'#', at + 1);
            if (close > at) {
                if (const auto date = sqliteDateOf(sql.mid(at + 1, close - at - 1))) {
                    translated += *date;
                    at = close + 1;
                    continue;
                }
            }
        }
        translated += c;
        ++at;
    }
    return translated;
}

QString SqlText(const QString& value) {
    QString quoted = value;
    return quoted.replace(u'\'', QStringLiteral("''"));
}

bool Recordset::open(const QString& sql, const QString& connectionString) {
    m_open = false;
    m_error.clear();
    m_columns.clear();
    m_rows.clear();
    m_row = 0;
    const auto readColumns = [this](const SqliteStatement& statement) {
        for (int column = 0; column < statement.columnCount(); ++column) {
            m_columns.append(statement.columnName(column));
        }
    };
    const auto readRow = [this](const SqliteStatement& statement) {
        std::vector<QVariant> row;
        row.reserve(m_columns.size());
        for (int column = 0; column < statement.columnCount(); ++column) {
            row.push_back(statement.value(column));
        }
        m_rows.push_back(std::move(row));
    };
    if (!run(translateJetSql(sql), connectionString, &m_error, readColumns, readRow)) {
        m_columns.clear();
        m_rows.clear();
        return false;
    }
    m_open = true;
    return true;
}

// Names of another length never match: the length check spares most of the
// case-folding compares, which add up over a large table.
int Recordset::columnIndex(const QString& name) const {
    for (int column = 0; column < m_columns.size(); ++column) {
        const QString& columnName = m_columns.at(column);
        if (columnName.size() == name.size() &&
            columnName.compare(name, Qt::CaseInsensitive) == 0) {
            return column;
        }
    }
    return -1;
}

QVariant Recordset::field(const QString& name) const {
    return field(columnIndex(name));
}

QVariant Recordset::field(int index) const {
    if (eof() || index < 0 || size_t(index) >= m_rows[m_row].size()) {
        return QVariant();
    }
    return m_rows[m_row][size_t(index)];
}

bool execute(const QString& sql, const QString& connectionString, QString* error) {
    QString message;
    const bool ok = run(translateJetSql(sql), connectionString, &message);
    if (error) {
        *error = message;
    }
    return ok;
}

bool executeForEach(const QString& sql, const QList<QStringList>& rows,
                    const QString& connectionString, QString* error) {
    QString message;
    SqliteConnection* connection = connectionFor(connectionString, &message);
    std::optional<SqliteStatement> statement;
    if (connection) {
        statement.emplace(connection->handle(), translateJetSql(sql));
    }
    bool ok = statement && statement->isValid();
    for (qsizetype row = 0; ok && row < rows.size(); ++row) {
        const QStringList& values = rows.at(row);
        for (qsizetype place = 0; ok && place < values.size(); ++place) {
            ok = statement->bindText(int(place) + 1, values.at(place));
        }
        ok = ok && statement->step() == SqliteStatement::Step::Done;
        statement->reset();
    }
    if (statement && !ok) {
        message = statement->lastError();
        noteFailure(statement->lastErrorCode());
    }
    if (error) {
        *error = message;
    }
    return ok;
}

Transaction::Transaction(const QString& connectionString) : m_connectionString(connectionString) {
    QString ignored;
    m_active = run(QStringLiteral("BEGIN IMMEDIATE"), m_connectionString, &ignored);
}

Transaction::Transaction(const QString& connectionString, const QString& joinedConnectionString)
    : m_connectionString(connectionString) {
    if (!join(joinedConnectionString)) {
        return;
    }
    QString ignored;
    m_active = run(QStringLiteral("BEGIN IMMEDIATE"), m_connectionString, &ignored);
    if (!m_active) {
        leave();
    }
}

// A statement that failed may have ended the transaction already: the
// rollback's own failure then tells nothing of why the work failed.
Transaction::~Transaction() {
    const bool refusedByDisk = latestFailureRefusedByDisk;
    if (m_active) {
        QString ignored;
        run(QStringLiteral("ROLLBACK"), m_connectionString, &ignored);
    }
    leave();
    latestFailureRefusedByDisk = refusedByDisk;
}

bool Transaction::commit() {
    if (!m_active) {
        return false;
    }
    QString ignored;
    m_active = !run(QStringLiteral("COMMIT"), m_connectionString, &ignored);
    if (!m_active) {
        leave();
    }
    return !m_active;
}

// A second spelling of the first file needs no attaching. A missing file is
// not attached, as attaching would create it.
bool Transaction::join(const QString& joinedConnectionString) {
    QString ignored;
    const QString joinedPath = databasePathOf(joinedConnectionString);
    if (!connectionFor(m_connectionString, &ignored) || joinedPath.isEmpty()) {
        return false;
    }
    const QString hostKey = hostKeyOf(cacheKeyOf(databasePathOf(m_connectionString)));
    const QString joinedKey = cacheKeyOf(joinedPath);
    if (joinedKey == hostKey) {
        return true;
    }
    if (!QFileInfo(joinedKey).isFile() || !executeForEach("ATTACH DATABASE ? AS " + kJoinedSchema,
                                                          {{joinedKey}}, m_connectionString)) {
        return false;
    }
    m_joinedKey = joinedKey;
    if (!sharesNoTableName(m_connectionString) ||
        !keepsRollbackJournal(QStringLiteral("main"), m_connectionString) ||
        !keepsRollbackJournal(kJoinedSchema, m_connectionString)) {
        leave();
        return false;
    }
    joinedFiles()[joinedKey] = hostKey;
    return true;
}

void Transaction::leave() {
    if (m_joinedKey.isEmpty()) {
        return;
    }
    joinedFiles().erase(m_joinedKey);
    m_joinedKey.clear();
    QString ignored;
    // A file left attached would refuse every later join: a fresh
    // connection is opened for the next statement instead.
    if (!run("DETACH DATABASE " + kJoinedSchema, m_connectionString, &ignored)) {
        connections().erase(hostKeyOf(cacheKeyOf(databasePathOf(m_connectionString))));
    }
}

bool lastFailureWasDiskRefusal() {
    return latestFailureRefusedByDisk;
}

void closeConnection(const QString& databasePath) {
    const QString key = cacheKeyOf(databasePath);
    std::erase_if(joinedFiles(), [&key](const auto& joined) {
        return joined.first == key || joined.second == key;
    });
    connections().erase(key);
}

void closeAllConnections() {
    joinedFiles().clear();
    connections().clear();
}

}  // namespace db
