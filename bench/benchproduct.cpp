#include "bench/benchproduct.h"

#include <QDate>

#include "bench/generatedcourse.h"
#include "platform/big5.h"
#include "platform/db.h"
#include "platform/package.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/settingsfiles.h"
#include "workspace/coursedescriptor.h"

namespace {

constexpr int kPlanDays = 90;

}  // namespace

BenchProduct::BenchProduct(const QString& serviceUrl) {
    if (!m_base.isValid()) {
        m_error = "no temporary folder";
        return;
    }
    setUpGlobals(serviceUrl);
    m_valid = true;
}

void BenchProduct::setUpGlobals(const QString& serviceUrl) {
    qputenv("TMP", m_base.path().toUtf8());
    const QString servers = m_base.path() + "/servers.set";
    big5::writeLines(servers, {"service=" + serviceUrl, "update=127.0.0.1", "web=" + serviceUrl,
                               "account=" + serviceUrl, "learnWeb=" + serviceUrl,
                               "publisherHome=" + serviceUrl, "pno=DEMO0001", "password=demo"});
    qputenv("LEXIVO_SERVERS", servers.toUtf8());
    gEdition = "LXV";
    InitialGlobalSetting();
    gPno = "DEMO0001";
    gServerPassword = "demo";
    gAllowedCourses = "DEMO";
}

bool BenchProduct::unpack(const QString& packagePath) {
    db::closeAllConnections();
    return package::unpack(packagePath, ProductFolder(), &m_error);
}

bool BenchProduct::installDemoCourse() {
    return unpack(ProgramFolder() + "/DEMO.giz") && writePlan("DEMO");
}

bool BenchProduct::installCourse(const GeneratedCourse& course) {
    const QString package = m_base.path() + "/" + course.id + ".giz";
    return course.buildPackage(package, &m_error) && unpack(package) && writePlan(course.id);
}

bool BenchProduct::writePlan(const QString& courseId) {
    CourseDescriptor descriptor;
    if (!descriptor.read(CourseDescriptor::pathOf(courseId))) {
        m_error = "no descriptor for " + courseId;
        return false;
    }
    const QDate start = QDate::currentDate().addDays(-kPlanDays / 3);
    descriptor.setLine(CourseDescriptor::kPlanNameLine,
                       CourseDescriptor::planNameForDays(kPlanDays));
    descriptor.setLine(CourseDescriptor::kDaysLine, QString::number(kPlanDays));
    descriptor.setLine(CourseDescriptor::kStartLine, GetDateString(start, "/"));
    descriptor.setLine(CourseDescriptor::kEndLine, GetDateString(start.addDays(kPlanDays), "/"));
    return descriptor.write(CourseDescriptor::pathOf(courseId));
}

void BenchProduct::setLastCourse(const QString& courseId) {
    SetFile_IO(gSetupSetFile, "W", "lastCourse", courseId);
}

void BenchProduct::useCourse(const QString& courseId) {
    gCourseId = courseId;
    gServerCourseId = courseId;
    BuildConnStrings();
}
