#include "standin/seed.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include "standin/grader.h"
#include "standin/store.h"

bool Seed::load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = "cannot read the seed " + path;
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        *error = "the seed " + path + " is not a JSON object: " + parseError.errorString();
        return false;
    }
    m_seed = document.object();
    return true;
}

bool Seed::applyTo(Store& store) const {
    store.begin();
    if (applyAccounts(store) && applyCourses(store) && applyNews(store) && applyVersions(store)) {
        return store.commit();
    }
    store.exec("rollback");
    return false;
}

bool Seed::applyAccounts(Store& store) const {
    for (const QJsonValue& value : m_seed.value("accounts").toArray()) {
        const QJsonObject account = value.toObject();
        QStringList courses;
        for (const QJsonValue& course : account.value("courses").toArray()) {
            courses << course.toString();
        }
        const QString password = account.value("password").toString();
        if (!store.exec(
                "insert into accounts (pno, user, password, name, courses, server, "
                "edition) values (?, ?, ?, ?, ?, ?, ?)",
                {account.value("pno").toString(), account.value("user").toString(),
                 password.isEmpty() ? QVariant() : QVariant(password),
                 account.value("name").toString(), courses.join('|'),
                 account.value("server").toString(), account.value("edition").toString()})) {
            return false;
        }
    }
    return true;
}

bool Seed::applyCourses(Store& store) const {
    for (const QJsonValue& value : m_seed.value("courses").toArray()) {
        const QJsonObject course = value.toObject();
        if (!store.exec("insert into courses (id, name, version, package) values (?, ?, ?, ?)",
                        {course.value("id").toString(), course.value("name").toString(),
                         course.value("version").toString(), course.value("package").toString()})) {
            return false;
        }
    }
    return true;
}

bool Seed::applyNews(Store& store) const {
    for (const QJsonValue& value : m_seed.value("news").toArray()) {
        const QJsonObject news = value.toObject();
        if (!store.exec("insert into news (id, softcode, title, body) values (?, ?, ?, ?)",
                        {news.value("id").toInt(), news.value("softcode").toString(),
                         news.value("title").toString(), news.value("body").toString()})) {
            return false;
        }
    }
    return true;
}

bool Seed::applyVersions(Store& store) const {
    const QJsonObject versions = m_seed.value("versions").toObject();
    for (auto it = versions.begin(); it != versions.end(); ++it) {
        if (!store.exec("insert into versions (type, version) values (?, ?)",
                        {it.key(), it.value().toString()})) {
            return false;
        }
    }
    return true;
}

QHash<QString, QString> Seed::graderCodes() const {
    const QJsonObject grader = m_seed.value("grader").toObject();
    QHash<QString, QString> codes;
    for (const QString& rule : Grader::ruleNames()) {
        codes.insert(rule, grader.value(rule).toString());
    }
    return codes;
}

QString Seed::errorListFile() const {
    return m_seed.value("grader").toObject().value("errlist").toString();
}
