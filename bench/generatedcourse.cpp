#include "bench/generatedcourse.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString kDemoSource = QStringLiteral(LEXIVO_SOURCE_DIR "/data/demo-course");
const QString kSchemaFolder = QStringLiteral(LEXIVO_SOURCE_DIR "/data/schema");
const QString kGizpack = QStringLiteral(LEXIVO_PROGRAM_DIR "/gizpack");
const QString kPage = QStringLiteral("unit1.htm");
constexpr int kPackTimeoutMs = 120000;

QString twoDigits(int number) {
    return QStringLiteral("%1").arg(number % 100, 2, 10, QChar('0'));
}

QJsonObject question(int unit, int number) {
    const QJsonObject example{{"en", "I write sentence " + QString::number(number) + "."},
                              {"zh", QStringLiteral("我寫第%1句。").arg(number)}};
    return {{"id", GeneratedCourse::questionId(unit, number)},
            {"name", twoDigits(number) + QStringLiteral(" 第%1題").arg(number)},
            {"lines", QJsonArray{QStringLiteral("請用英文寫一個句子。")}},
            {"examples", QJsonArray{example}}};
}

bool copyFolder(const QString& from, const QString& to) {
    QDir source(from);
    if (!QDir().mkpath(to)) {
        return false;
    }
    for (const QString& name : source.entryList(QDir::Files)) {
        if (!QFile::copy(source.filePath(name), to + '/' + name)) {
            return false;
        }
    }
    return true;
}

}  // namespace

QString GeneratedCourse::unitId(int unit) {
    return QStringLiteral("G%1").arg(unit, 3, 10, QChar('0')) + QStringLiteral("0100");
}

QString GeneratedCourse::questionId(int unit, int question) {
    return QStringLiteral("G%1").arg(unit, 3, 10, QChar('0')) +
           QStringLiteral("%1").arg(100 + question, 4, 10, QChar('0'));
}

bool GeneratedCourse::writeSource(const QString& folder, QString* error) const {
    QJsonArray unitList;
    for (int unit = 1; unit <= units; ++unit) {
        QJsonArray questions;
        for (int number = 1; number <= questionsPerUnit; ++number) {
            questions.append(question(unit, number));
        }
        unitList.append(
            QJsonObject{{"id", unitId(unit)},
                        {"name", twoDigits(unit) + QStringLiteral(" 第%1單元").arg(unit)},
                        {"page", kPage},
                        {"questions", questions}});
    }
    const QJsonObject course{{"id", id},
                             {"name", QStringLiteral("產生的課程")},
                             {"root", QStringLiteral("GENR0000")},
                             {"units", unitList}};
    QFile file(folder + "/course.json");
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(course).toJson()) < 0 ||
        !QDir().mkpath(folder + "/pages") ||
        !QFile::copy(kDemoSource + "/pages/" + kPage, folder + "/pages/" + kPage) ||
        !copyFolder(kDemoSource + "/pic", folder + "/pic")) {
        *error = "cannot write the course source in " + folder;
        return false;
    }
    return true;
}

bool GeneratedCourse::buildPackage(const QString& packagePath, QString* error) const {
    QTemporaryDir source;
    if (!source.isValid() || !writeSource(source.path(), error)) {
        return false;
    }
    QProcess gizpack;
    gizpack.setProcessChannelMode(QProcess::MergedChannels);
    gizpack.start(kGizpack, {"course", source.path(), kSchemaFolder, packagePath});
    if (!gizpack.waitForFinished(kPackTimeoutMs) || gizpack.exitCode() != 0) {
        *error = "gizpack: " + QString::fromUtf8(gizpack.readAll());
        return false;
    }
    return true;
}
