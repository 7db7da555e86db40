#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

struct sqlite3;

// The stand-in's state: one SQLite file under its data folder. Values always
// travel as bound parameters, never spliced into SQL text, so whatever a
// client sends cannot change a statement. Not thread-safe: the server runs
// one script at a time against it.
class Store {
public:
    using Row = QStringList;

    Store() = default;
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens (creating when missing) the file and its tables.
    bool open(const QString& path, QString* error = nullptr);
    bool isOpen() const { return m_db != nullptr; }
    // True when no account exists yet: a fresh store waits for its seed.
    bool isEmpty();

    bool exec(const QString& sql, const QVariantList& binds = {});
    QList<Row> rows(const QString& sql, const QVariantList& binds = {});
    // The first column of the first row, "" when there is none.
    QString value(const QString& sql, const QVariantList& binds = {});
    bool exists(const QString& sql, const QVariantList& binds = {});

    bool begin() { return exec("begin"); }
    bool commit() { return exec("commit"); }

    // A table or view as tab-separated lines, its column names first; ""
    // for a name that is not one of the store's tables.
    QString dumpTsv(const QString& table);

private:
    bool prepareAndRun(const QString& sql, const QVariantList& binds, QList<Row>* result);
    bool createTables();

    sqlite3* m_db = nullptr;
};
