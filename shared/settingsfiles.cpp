#include "shared/settingsfiles.h"

#include <QList>
#include <QStringList>
#include <QtGlobal>

#include "platform/big5.h"
#include "shared/coursepaths.h"
#include "shared/globals.h"
#include "shared/helpers.h"

namespace {

struct SettingEntry {
    QString key;
    QString value;
};

const QString kRegistryHeader = QStringLiteral("**settings for glossor=");

// A line with "=" gives the trimmed text before the first "=" and after it.
// A value is written after the first "=" as it stands, so one that holds "="
// itself (a sentence, an address with a query) reads back whole; a reader
// that stops at a second "=" still finds the key and the text it always
// found. A line without "=" is a key as it stands, with no value.
SettingEntry parseSettingLine(const QString& line) {
    const qsizetype equals = line.indexOf('=');
    if (equals < 0) {
        return {line, QString()};
    }
    return {Trim(line.left(equals)), Trim(line.mid(equals + 1))};
}

QList<SettingEntry> parseSettingLines(const QStringList& lines) {
    QList<SettingEntry> entries;
    for (const QString& line : lines) {
        if (!Trim(line).isEmpty()) {
            entries.append(parseSettingLine(line));
        }
    }
    return entries;
}

// The engine that shares registry.set looks for its header on the first
// line; the test is case-sensitive, so a header in another case gets a
// second one in front.
bool needsRegistryHeader(const QString& pFile, const QList<SettingEntry>& entries) {
    return pFile.contains("registry.set") &&
           (entries.isEmpty() || !entries.first().key.contains("settings for glossor"));
}

QStringList settingLinesToWrite(const QString& pFile, const QList<SettingEntry>& entries,
                                const QString& pKey, const QString& pValue, bool keyFound) {
    QStringList lines;
    if (needsRegistryHeader(pFile, entries)) {
        lines.append(kRegistryHeader);
    }
    for (const SettingEntry& entry : entries) {
        if (!entry.key.isEmpty()) {
            lines.append(entry.key + "=" + entry.value);
        }
    }
    if (!keyFound) {
        lines.append(pKey + "=" + pValue);
    }
    return lines;
}

QString readSetting(const QList<SettingEntry>& entries, const QString& pKey) {
    for (const SettingEntry& entry : entries) {
        if (entry.key == pKey) {
            return entry.value;
        }
    }
    return QString();
}

void writeSetting(const QString& pFile, QList<SettingEntry> entries, const QString& pKey,
                  const QString& pValue) {
    bool keyFound = false;
    for (SettingEntry& entry : entries) {
        if (entry.key == pKey) {
            entry.value = pValue;
            keyFound = true;
            break;
        }
    }
    const QStringList lines = settingLinesToWrite(pFile, entries, pKey, pValue, keyFound);
    if (!big5::writeLines(pFile, lines)) {
        qWarning("Settings file %s could not be written", qUtf8Printable(pFile));
    }
}

}  // namespace

QString SetFile_IO(const QString& pFile, const QString& pMode, const QString& pKey,
                   const QString& pValue) {
    QList<SettingEntry> entries;
    if (FileExists(pFile)) {
        bool readOk = false;
        const QStringList lines = big5::readLines(pFile, &readOk);
        // Rewriting a file that could not be read would throw its settings away.
        if (!readOk) {
            qWarning("Settings file %s could not be read", qUtf8Printable(pFile));
            return QString();
        }
        entries = parseSettingLines(lines);
    }
    if (pMode == "R") {
        return readSetting(entries, pKey);
    }
    if (pMode == "W") {
        writeSetting(pFile, entries, pKey, pValue);
    }
    return QString();
}

void RegistrySet_IO(const QString& pAction) {
    if (pAction != "RESET") {
        return;
    }
    const QStringList lines = {
        kRegistryHeader,
        "col_suggestion=0",
        "collocationListHtm=",
        "errcode=0",
        "findMistake=0",
        "qcode=0",
        "sentence=0",
        "htm4chk=",
        "synChk=",
        "coursePath=" + CourseFolder(gCourseId),
    };
    const QString path = gEnginePath + "registry.set";
    if (!big5::writeLines(path, lines)) {
        qWarning("Settings file %s could not be written", qUtf8Printable(path));
    }
}

// The pages and templates that are read here begin with two bytes (a CR LF)
// that are not part of the text.
QString ReadTextFile(const QString& pPath, bool* ok) {
    constexpr int kSkippedBytes = 2;
    return big5::decode(big5::readBytes(pPath, ok).mid(kSkippedBytes));
}

QString ReadTextFile2(const QString& pPath, bool* ok) {
    return ReadTextFile(pPath, ok);
}

void WriteTextFile(const QString& pPath, const QString& pText) {
    if (!big5::writeFile(pPath, pText)) {
        qWarning("Text file %s could not be written", qUtf8Printable(pPath));
    }
}

QString GetCourseName(const QString& pCourseId) {
    const QString path = CourseDescriptorFile(pCourseId);
    if (!FileExists(path)) {
        return QString();
    }
    const QStringList lines = big5::readLines(path);
    return lines.size() >= 2 ? lines.at(1) : QString();
}
