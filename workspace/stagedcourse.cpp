#include "workspace/stagedcourse.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "shared/coursepaths.h"
#include "shared/helpers.h"

StagedCourse::StagedCourse(const QString& pStagingFolder, const QString& pProductFolder)
    : mStaging(pStagingFolder), mProduct(pProductFolder) {}

// The staged folders are named as the product folder holds them, so the
// installed version file is found under the same name in either case.
bool StagedCourse::forgetVersions() const {
    for (const QString& course : QDir(mStaging).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString versionName = course + ".ver";
        const QString installed = PathOnDisk(mProduct + "/" + course, versionName);
        const QString staged = PathOnDisk(mStaging + "/" + course, versionName);
        if (!FileExists(installed) || QFileInfo::exists(staged)) {
            continue;
        }
        QFile empty(mStaging + "/" + course + "/" + QFileInfo(installed).fileName());
        if (!empty.open(QIODevice::WriteOnly)) {
            return false;
        }
    }
    return true;
}

bool StagedCourse::keepPlan(const KeptPlan& pPlan) const {
    const QString fileName = pPlan.courseId + ".lxs";
    CourseDescriptor descriptor = pPlan.lines;
    const QString target = PathOnDisk(mStaging, fileName);
    CourseDescriptor brought;
    if (brought.read(target)) {
        descriptor.setLine(CourseDescriptor::kIdLine, brought.line(CourseDescriptor::kIdLine));
        descriptor.setLine(CourseDescriptor::kNameLine, brought.line(CourseDescriptor::kNameLine));
    } else if (FileExists(PathOnDisk(mProduct, fileName)) || !courseDataArrives(pPlan.courseId)) {
        return true;
    }
    return descriptor.write(target);
}

bool StagedCourse::courseDataArrives(const QString& pCourseId) const {
    return FileExists(PathOnDisk(mStaging, pCourseId) + "/LexivoData.mdb") ||
           FileExists(PathOnDisk(mProduct, pCourseId) + "/LexivoData.mdb");
}
