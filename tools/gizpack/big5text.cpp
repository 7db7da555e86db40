#include "tools/gizpack/big5text.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "platform/big5.h"

namespace {

bool hasBig5Code(QChar character) {
    return character == QLatin1Char('?') || big5::charCode(character) != '?';
}

}  // namespace

bool isBig5Text(const QString& text) {
    return std::all_of(text.begin(), text.end(), hasBig5Code);
}

QString describeNonBig5(const QString& text) {
    for (const QChar character : text) {
        if (!hasBig5Code(character)) {
            return QStringLiteral("\"%1\" (U+%2) has no Big5 code")
                .arg(character)
                .arg(character.unicode(), 4, 16, QLatin1Char('0'));
        }
    }
    return QString();
}

bool convertToBig5Lines(const QString& sourcePath, const QString& targetPath, QString* error) {
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(sourcePath);
        return false;
    }
    const QString text = QString::fromUtf8(source.readAll());
    if (!isBig5Text(text)) {
        *error = QStringLiteral("%1: %2").arg(sourcePath, describeNonBig5(text));
        return false;
    }
    QStringList lines = text.split('\n');
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    for (QString& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    if (!QDir().mkpath(QFileInfo(targetPath).absolutePath()) ||
        !big5::writeLines(targetPath, lines)) {
        *error = QStringLiteral("cannot write %1").arg(targetPath);
        return false;
    }
    return true;
}
