#include "standin/errorlist.h"

#include <QFile>
#include <QStringList>

QHash<QString, QString> readErrorOutlines(const QString& path) {
    QHash<QString, QString> outlines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return outlines;
    }
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        const QStringList fields = line.trimmed().split('\t');
        if (fields.size() >= 3 && fields.at(0) == "code") {
            outlines.insert(fields.at(1), fields.at(2));
        }
    }
    return outlines;
}
