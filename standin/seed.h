#pragma once

#include <QHash>
#include <QJsonObject>
#include <QString>

class Store;

// The readable file a new store starts from: accounts, courses, news and
// program versions, and the engine's rules with their error codes.
class Seed {
public:
    bool load(const QString& path, QString* error);

    // Fills an empty store, all or nothing.
    bool applyTo(Store& store) const;

    // Rule name -> error code.
    QHash<QString, QString> graderCodes() const;
    // The error list's file as the seed names it (relative names are for
    // the caller to resolve).
    QString errorListFile() const;

private:
    bool applyAccounts(Store& store) const;
    bool applyCourses(Store& store) const;
    bool applyNews(Store& store) const;
    bool applyVersions(Store& store) const;

    QJsonObject m_seed;
};
