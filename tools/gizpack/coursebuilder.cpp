#include "tools/gizpack/coursebuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/big5.h"
#include "platform/package.h"
#include "tools/gizpack/coursesource.h"
#include "tools/gizpack/databasebuilder.h"
#include "tools/gizpack/scramble.h"

namespace {

const QString kNotVisited = QStringLiteral("1");

bool fail(QString* error, const QString& reason) {
    *error = reason;
    return false;
}

bool insertQuestion(DatabaseBuilder& database, const CourseUnit& unit,
                    const CourseQuestion& question) {
    // A question carries its unit's page as its tag: a node with an empty
    // tag is treated as having no unit.
    bool ok = database.insert(QStringLiteral("bswunit"),
                              {question.id, unit.id, EncodeMdbString(question.name), unit.page,
                               kNotVisited, question.unique ? "1" : "0"});
    for (int order = 0; ok && order < question.lines.size(); ++order) {
        ok = database.insert(QStringLiteral("bswqcont"),
                             {question.id, order + 1, EncodeMdbString(question.lines[order])});
    }
    for (auto it = question.examples.begin(); ok && it != question.examples.end(); ++it) {
        ok = database.insert(QStringLiteral("example"), {question.id, it->english, it->chinese});
    }
    return ok;
}

bool writeCourseDatabase(const CourseSource& course, const QString& schemaFolder,
                         const QString& path, QString* error) {
    DatabaseBuilder database;
    // The root's text is the course name as it stands: the tree shows it
    // without descrambling.
    bool ok = database.create(path, schemaFolder + QStringLiteral("/LexivoData.sql")) &&
              database.insert(QStringLiteral("bswunit"), {course.rootId, QVariant(), course.name,
                                                          QString(), kNotVisited, "0"});
    for (auto unit = course.units.begin(); ok && unit != course.units.end(); ++unit) {
        ok = database.insert(
            QStringLiteral("bswunit"),
            {unit->id, course.rootId, EncodeMdbString(unit->name), unit->page, kNotVisited, "0"});
        for (auto q = unit->questions.begin(); ok && q != unit->questions.end(); ++q) {
            ok = insertQuestion(database, *unit, *q);
        }
    }
    ok = ok && database.commit();
    return ok || fail(error, QStringLiteral("%1: %2").arg(path, database.lastError()));
}

bool writeLearnerDatabase(const QString& schemaFolder, const QString& path, QString* error) {
    DatabaseBuilder database;
    const bool ok =
        database.create(path, schemaFolder + QStringLiteral("/userData.sql")) && database.commit();
    return ok || fail(error, QStringLiteral("%1: %2").arg(path, database.lastError()));
}

QString readUtf8(const QString& path, bool* ok) {
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? QString::fromUtf8(file.readAll()) : QString();
}

// The program reads a stored page skipping its first two bytes: the file
// starts with a line break for them.
bool writeStoredPage(const CourseSource& course, const CourseUnit& unit,
                     const QString& courseFolder, QString* error) {
    const QString sourcePath = course.folder + QStringLiteral("/pages/") + unit.page;
    bool read = false;
    QString body = readUtf8(sourcePath, &read);
    if (!read) {
        return fail(error, QStringLiteral("cannot read %1").arg(sourcePath));
    }
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace('\n', QStringLiteral("\r\n"));
    const auto key = ChoosePageKey(unit.page, body);
    if (!key) {
        return fail(error,
                    QStringLiteral("%1 holds characters that cannot be scrambled").arg(sourcePath));
    }
    QString storedName = unit.page;
    storedName.replace(storedName.size() - 4, 4, QStringLiteral(".xtm"));
    const QString storedPath = courseFolder + '/' + storedName;
    if (!big5::writeFile(storedPath, QStringLiteral("\r\n") + HtmlEncrypt(body, *key))) {
        return fail(error, QStringLiteral("cannot write %1").arg(storedPath));
    }
    return true;
}

bool copyPictures(const CourseSource& course, const QString& courseFolder, QString* error) {
    const QDir pictures(course.folder + QStringLiteral("/pic"));
    if (!pictures.exists()) {
        return true;
    }
    QDir().mkpath(courseFolder + QStringLiteral("/pic"));
    for (const QString& name : pictures.entryList(QDir::Files, QDir::Name)) {
        const QString target = courseFolder + QStringLiteral("/pic/") + name;
        if (!QFile::copy(pictures.filePath(name), target)) {
            return fail(error, QStringLiteral("cannot copy %1").arg(pictures.filePath(name)));
        }
    }
    return true;
}

// No plan yet: the lines a first installation writes.
bool writeDescriptor(const CourseSource& course, const QString& path, QString* error) {
    const QStringList lines{course.id,
                            course.name,
                            QStringLiteral("NONE"),
                            QStringLiteral("0"),
                            QStringLiteral("2000/1/1"),
                            QStringLiteral("2000/1/1")};
    return big5::writeLines(path, lines) ||
           fail(error, QStringLiteral("cannot write %1").arg(path));
}

bool writeCourseTree(const CourseSource& course, const QString& schemaFolder, const QString& stage,
                     QString* error) {
    const QString courseFolder = stage + '/' + course.id;
    if (!QDir().mkpath(courseFolder)) {
        return fail(error, QStringLiteral("cannot create %1").arg(courseFolder));
    }
    bool ok =
        writeCourseDatabase(course, schemaFolder, courseFolder + QStringLiteral("/LexivoData.mdb"),
                            error) &&
        writeLearnerDatabase(schemaFolder, courseFolder + QStringLiteral("/userData.mdb"), error);
    for (auto unit = course.units.begin(); ok && unit != course.units.end(); ++unit) {
        ok = writeStoredPage(course, *unit, courseFolder, error);
    }
    return ok && copyPictures(course, courseFolder, error) &&
           writeDescriptor(course, stage + '/' + course.id + QStringLiteral(".lxs"), error);
}

}  // namespace

bool buildCoursePackage(const QString& sourceFolder, const QString& schemaFolder,
                        const QString& packagePath, QString* error) {
    CourseSource course;
    if (!loadCourseSource(sourceFolder, &course, error)) {
        return false;
    }
    QTemporaryDir stage;
    if (!stage.isValid()) {
        return fail(error, QStringLiteral("cannot create a staging folder"));
    }
    return writeCourseTree(course, schemaFolder, stage.path(), error) &&
           package::pack(stage.path(), packagePath, error);
}
