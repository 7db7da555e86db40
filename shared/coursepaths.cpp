#include "shared/coursepaths.h"

#include <QDir>
#include <QFileInfo>

#include "shared/globals.h"

QString PathOnDisk(const QString& pFolder, const QString& pName) {
    const QString exact = pFolder + "/" + pName;
    if (QFileInfo::exists(exact)) {
        return exact;
    }
    const QStringList entries =
        QDir(pFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(pName, Qt::CaseInsensitive) == 0) {
            return pFolder + "/" + entry;
        }
    }
    return exact;
}

QString CourseFolder(const QString& pCourseId) {
    return PathOnDisk(ProductFolder(), pCourseId);
}

QString CourseDescriptorFile(const QString& pCourseId) {
    return PathOnDisk(ProductFolder(), pCourseId + ".lxs");
}

QString CourseVersionFile(const QString& pCourseId) {
    return PathOnDisk(CourseFolder(pCourseId), pCourseId + ".ver");
}
