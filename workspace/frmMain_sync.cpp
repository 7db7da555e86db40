#include <QStringList>

#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/servicescripts.h"
#include "workspace/coursedescriptor.h"
#include "workspace/frmMain.h"
#include "workspace/serviceplan.h"
#include "workspace/studyplan.h"

namespace {

void setPlanFromDays(const QString& days) {
    int dayCount = 0;
    CourseDescriptor::readWholeNumber(days, &dayCount);
    gScheduleDays = dayCount;
    gScheduleType = CourseDescriptor::planNameForDays(dayCount);
}

// The service's plan replaces the local one; the course name stays.
void takeServicePlan(const ServicePlan& plan) {
    setPlanFromDays(plan.days);
    const QString path = CourseDescriptor::pathOf(gCourseId);
    CourseDescriptor descriptor;
    if (!descriptor.read(path)) {
        return;
    }
    gCourseName = descriptor.line(CourseDescriptor::kNameLine);
    descriptor.setLine(CourseDescriptor::kIdLine, gCourseId.toUpper());
    descriptor.setLine(CourseDescriptor::kNameLine, gCourseName);
    descriptor.setLine(CourseDescriptor::kPlanNameLine, gScheduleType);
    descriptor.setLine(CourseDescriptor::kDaysLine, plan.days);
    descriptor.setLine(CourseDescriptor::kStartLine, plan.start);
    descriptor.setLine(CourseDescriptor::kEndLine, plan.end);
    if (!descriptor.write(path)) {
        qWarning("%s could not be written", qUtf8Printable(path));
    }
}

// With no plan on the service, a local plan is sent up as it stands in the
// file. A file that holds no complete plan sends nothing.
void sendLocalPlan() {
    setPlanFromDays("0");
    CourseDescriptor descriptor;
    if (!descriptor.read(CourseDescriptor::pathOf(gCourseId)) || !descriptor.hasReadablePlan() ||
        !descriptor.hasReadableDates() || descriptor.planDays() == 0) {
        return;
    }
    const QString memo = descriptor.line(CourseDescriptor::kDaysLine) + "@" +
                         descriptor.line(CourseDescriptor::kStartLine) + "@" +
                         descriptor.line(CourseDescriptor::kEndLine);
    SetMemoServer("PUT", memo, gPno, gCourseId);
    gScheduleType = descriptor.line(CourseDescriptor::kPlanNameLine);
    gScheduleDays = descriptor.planDays();
}

}  // namespace

void frmMain::SyncSchedule() {
    // A plan that the learner set but the service never got is newer than
    // the service's: it goes up before the service's plan is read.
    if (!studyplan::resendUnsent()) {
        return;
    }
    const QString reply = SetMemoServer("GET", QString(), gPno, gCourseId);
    ServicePlan plan;
    if (isNoServicePlan(reply)) {
        sendLocalPlan();
    } else if (readServicePlan(reply, &plan)) {
        takeServicePlan(plan);
    }
}
