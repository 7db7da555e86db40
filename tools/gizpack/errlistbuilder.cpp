#include "tools/gizpack/errlistbuilder.h"

#include <algorithm>
#include <map>
#include <QFile>
#include <QStringList>

#include "tools/gizpack/big5text.h"
#include "tools/gizpack/databasebuilder.h"

namespace {

constexpr int kLongestCode = 6;

struct ErrorList {
    std::map<QString, QString> categories;  // id -> name
    std::map<QString, QString> codes;       // code -> outline
};

bool fail(QString* error, const QString& reason) {
    *error = reason;
    return false;
}

bool isCodeText(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

bool addLine(const QStringList& fields, ErrorList* list, QString* error) {
    if (fields.size() != 3 || !isCodeText(fields[1]) || fields[2].trimmed().isEmpty()) {
        return fail(error, QStringLiteral("expected kind, upper-case id and text"));
    }
    if (!isBig5Text(fields[2])) {
        return fail(error, describeNonBig5(fields[2]));
    }
    std::map<QString, QString>* entries = nullptr;
    if (fields[0] == QLatin1String("type")) {
        entries = &list->categories;
    } else if (fields[0] == QLatin1String("code")) {
        entries = &list->codes;
    } else {
        return fail(error, QStringLiteral("unknown kind \"%1\"").arg(fields[0]));
    }
    if (!entries->emplace(fields[1], fields[2]).second) {
        return fail(error, QStringLiteral("%1 is listed twice").arg(fields[1]));
    }
    return true;
}

bool readList(const QString& sourcePath, ErrorList* list, QString* error) {
    QFile file(sourcePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(error, QStringLiteral("cannot read %1").arg(sourcePath));
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = QString(lines[i]).remove('\r');
        if (line.trimmed().isEmpty() || line.startsWith('#')) {
            continue;
        }
        if (!addLine(line.split('\t'), list, error)) {
            return fail(error, QStringLiteral("%1:%2: %3").arg(sourcePath).arg(i + 1).arg(*error));
        }
    }
    return true;
}

bool checkCategories(const ErrorList& list, QString* error) {
    for (const auto& [id, name] : list.categories) {
        for (const auto& [other, otherName] : list.categories) {
            if (other != id && other.startsWith(id)) {
                return fail(error, QStringLiteral("category %1 begins category %2").arg(id, other));
            }
        }
    }
    return true;
}

bool checkCodes(const ErrorList& list, QString* error) {
    for (const auto& [code, outline] : list.codes) {
        if (code.size() > kLongestCode) {
            return fail(
                error,
                QStringLiteral("code %1 is longer than %2 characters").arg(code).arg(kLongestCode));
        }
        const bool categorized = std::any_of(
            list.categories.begin(), list.categories.end(),
            [&code = code](const auto& category) { return code.startsWith(category.first); });
        if (!categorized) {
            return fail(error, QStringLiteral("code %1 begins with no category id").arg(code));
        }
    }
    return true;
}

bool writeDatabase(const ErrorList& list, const QString& schemaPath, const QString& databasePath,
                   QString* error) {
    DatabaseBuilder database;
    bool ok = database.create(databasePath, schemaPath);
    for (auto it = list.categories.begin(); ok && it != list.categories.end(); ++it) {
        ok = database.insert(QStringLiteral("errtype"), {it->first, it->second});
    }
    for (auto it = list.codes.begin(); ok && it != list.codes.end(); ++it) {
        ok = database.insert(QStringLiteral("errmain"), {it->first, it->second});
    }
    ok = ok && database.commit();
    return ok || fail(error, database.lastError());
}

}  // namespace

bool buildErrorList(const QString& sourcePath, const QString& schemaPath,
                    const QString& databasePath, QString* error) {
    ErrorList list;
    return readList(sourcePath, &list, error) && checkCategories(list, error) &&
           checkCodes(list, error) && writeDatabase(list, schemaPath, databasePath, error);
}
