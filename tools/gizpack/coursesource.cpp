#include "tools/gizpack/coursesource.h"

#include <algorithm>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include "tools/gizpack/big5text.h"

namespace {

constexpr int kUnitCodeLength = 4;

bool fail(QString* error, const QString& reason) {
    *error = reason;
    return false;
}

QStringList stringsOf(const QJsonValue& value) {
    QStringList strings;
    for (const QJsonValue& item : value.toArray()) {
        strings << item.toString();
    }
    return strings;
}

CourseQuestion questionFrom(const QJsonObject& object) {
    CourseQuestion question;
    question.id = object.value("id").toString();
    question.name = object.value("name").toString();
    question.lines = stringsOf(object.value("lines"));
    question.unique = object.value("unique").toBool();
    for (const QJsonValue& item : object.value("examples").toArray()) {
        const QJsonObject example = item.toObject();
        question.examples.append({example.value("en").toString(), example.value("zh").toString()});
    }
    return question;
}

CourseUnit unitFrom(const QJsonObject& object) {
    CourseUnit unit;
    unit.id = object.value("id").toString();
    unit.name = object.value("name").toString();
    unit.page = object.value("page").toString();
    for (const QJsonValue& item : object.value("questions").toArray()) {
        unit.questions.append(questionFrom(item.toObject()));
    }
    return unit;
}

bool readCourseFile(const QString& folder, CourseSource* course, QString* error) {
    const QString path = folder + QStringLiteral("/course.json");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(error, QStringLiteral("cannot read %1").arg(path));
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        return fail(error, QStringLiteral("%1: %2").arg(path, parseError.errorString()));
    }
    const QJsonObject object = document.object();
    course->folder = folder;
    course->id = object.value("id").toString();
    course->name = object.value("name").toString();
    course->rootId = object.value("root").toString();
    for (const QJsonValue& item : object.value("units").toArray()) {
        course->units.append(unitFrom(item.toObject()));
    }
    return true;
}

// Ids go into file names, SQL text and tree keys.
bool isPlainId(const QString& id) {
    static const QRegularExpression plain(QStringLiteral("^[A-Z0-9]+$"));
    return plain.match(id).hasMatch();
}

bool checkNodeId(const QString& id, bool isRoot, QSet<QString>* seen, QString* error) {
    if (!isPlainId(id)) {
        return fail(error,
                    QStringLiteral("id \"%1\" is not upper-case letters and digits").arg(id));
    }
    if (id.startsWith(QLatin1String("QUIZ"))) {
        return fail(error, QStringLiteral("id %1 would read as a question key").arg(id));
    }
    if (id.endsWith(QLatin1String("0000")) != isRoot) {
        return fail(error, isRoot ? QStringLiteral("root id %1 must end in 0000").arg(id)
                                  : QStringLiteral("id %1 must not end in 0000").arg(id));
    }
    if (!isRoot && id.size() <= kUnitCodeLength) {
        return fail(error, QStringLiteral("id %1 is too short").arg(id));
    }
    if (seen->contains(id)) {
        return fail(error, QStringLiteral("id %1 is used twice").arg(id));
    }
    seen->insert(id);
    return true;
}

bool checkText(const QString& text, const QString& where, QString* error) {
    if (text.trimmed().isEmpty()) {
        return fail(error, QStringLiteral("%1: empty text").arg(where));
    }
    if (!isBig5Text(text)) {
        return fail(error, QStringLiteral("%1: %2").arg(where, describeNonBig5(text)));
    }
    return true;
}

bool checkQuestion(const CourseQuestion& question, const CourseUnit& unit, QSet<QString>* seen,
                   QString* error) {
    if (!checkNodeId(question.id, false, seen, error)) {
        return false;
    }
    if (!question.id.startsWith(unit.id.left(kUnitCodeLength))) {
        return fail(error, QStringLiteral("question %1 does not begin with unit code %2")
                               .arg(question.id, unit.id.left(kUnitCodeLength)));
    }
    // A node whose text begins with "unit" is taken for a unit heading and
    // loses its unit when clicked.
    if (question.name.startsWith(QLatin1String("unit"))) {
        return fail(error,
                    QStringLiteral("question %1: name begins with \"unit\"").arg(question.id));
    }
    if (question.lines.isEmpty()) {
        return fail(error, QStringLiteral("question %1 has no text lines").arg(question.id));
    }
    bool ok = checkText(question.name, question.id, error);
    for (const QString& line : question.lines) {
        ok = ok && checkText(line, question.id, error);
    }
    for (const CourseExample& example : question.examples) {
        ok = ok && checkText(example.english, question.id, error) &&
             checkText(example.chinese, question.id, error);
    }
    return ok;
}

bool checkUnit(const CourseUnit& unit, const QString& folder, QSet<QString>* seen, QString* error) {
    if (!checkNodeId(unit.id, false, seen, error) || !checkText(unit.name, unit.id, error)) {
        return false;
    }
    if (!unit.page.endsWith(QLatin1String(".htm")) || unit.page.contains('/') ||
        !QFile::exists(folder + QStringLiteral("/pages/") + unit.page)) {
        return fail(error, QStringLiteral("unit %1: page \"%2\" is not a .htm file in pages/")
                               .arg(unit.id, unit.page));
    }
    return std::all_of(unit.questions.begin(), unit.questions.end(), [&](const CourseQuestion& q) {
        return checkQuestion(q, unit, seen, error);
    });
}

bool checkCourse(const CourseSource& course, QString* error) {
    if (!isPlainId(course.id)) {
        return fail(
            error,
            QStringLiteral("course id \"%1\" is not upper-case letters and digits").arg(course.id));
    }
    if (!checkText(course.name, QStringLiteral("course name"), error)) {
        return false;
    }
    QSet<QString> seen;
    if (!checkNodeId(course.rootId, true, &seen, error)) {
        return false;
    }
    if (course.units.isEmpty()) {
        return fail(error, QStringLiteral("the course has no units"));
    }
    return std::all_of(course.units.begin(), course.units.end(), [&](const CourseUnit& unit) {
        return checkUnit(unit, course.folder, &seen, error);
    });
}

}  // namespace

bool loadCourseSource(const QString& folder, CourseSource* course, QString* error) {
    return readCourseFile(folder, course, error) && checkCourse(*course, error);
}
