#include "workspace/studyplan.h"

#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/servicescripts.h"
#include "shared/settingsfiles.h"
#include "workspace/coursedescriptor.h"

namespace studyplan {
namespace {

QString unsentKey(const QString& courseId) {
    return "unsentPlan." + courseId.toUpper();
}

void rememberUnsent(const QString& courseId, const QString& memo) {
    SetFile_IO(gSetupSetFile, "W", unsentKey(courseId), memo);
}

void forgetUnsent(const QString& courseId) {
    if (!unsentMemo(courseId).isEmpty()) {
        rememberUnsent(courseId, QString());
    }
}

// The reply says nothing about the plan, unless the post failed or the
// service refused it: then the service still holds its former plan.
bool putMemo(const QString& courseId, const QString& memo) {
    return !SetMemoServer("PUT", memo, gPno, courseId).startsWith("ERR");
}

}  // namespace

Plan current() {
    return {gScheduleType, gScheduleDays, gScheduleStart, gScheduleEnd};
}

void restore(const Plan& plan) {
    gScheduleType = plan.type;
    gScheduleDays = plan.days;
    gScheduleStart = plan.start;
    gScheduleEnd = plan.end;
}

bool hasPlan() {
    return !gScheduleType.isEmpty() && gScheduleType != "NONE";
}

QString memo() {
    return QString::number(gScheduleDays) + "@" + GetDateString(gScheduleStart, "/") + "@" +
           GetDateString(gScheduleEnd, "/");
}

bool writeDescriptor(bool createMissing) {
    const QString path = CourseDescriptor::pathOf(gCourseId);
    if (!createMissing && !FileExists(path)) {
        return true;
    }
    CourseDescriptor descriptor;
    descriptor.setLine(CourseDescriptor::kIdLine, gCourseId.toUpper());
    descriptor.setLine(CourseDescriptor::kNameLine, gCourseName);
    descriptor.setLine(CourseDescriptor::kPlanNameLine, gScheduleType);
    descriptor.setLine(CourseDescriptor::kDaysLine, QString::number(gScheduleDays));
    descriptor.setLine(CourseDescriptor::kStartLine, GetDateString(gScheduleStart, "/"));
    descriptor.setLine(CourseDescriptor::kEndLine, GetDateString(gScheduleEnd, "/"));
    if (!descriptor.write(path)) {
        qWarning("%s could not be written", qUtf8Printable(path));
        return false;
    }
    return true;
}

// Kept before it goes: a program ended while the service has not answered
// would otherwise leave the service's older plan to win at the next opening.
void sendToService() {
    keepUnsent();
    const QString courseId = gCourseId;
    if (putMemo(courseId, memo())) {
        forgetUnsent(courseId);
    }
}

void keepUnsent() {
    rememberUnsent(gCourseId, memo());
}

bool resendUnsent() {
    const QString plan = unsentMemo(gCourseId);
    if (plan.isEmpty()) {
        return true;
    }
    if (!putMemo(gCourseId, plan)) {
        return false;
    }
    forgetUnsent(gCourseId);
    return true;
}

QString unsentMemo(const QString& courseId) {
    return SetFile_IO(gSetupSetFile, "R", unsentKey(courseId));
}

}  // namespace studyplan
