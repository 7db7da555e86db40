#pragma once

#include <QDate>
#include <QString>

// The study plan of the open course (gScheduleType, gScheduleDays,
// gScheduleStart, gScheduleEnd) as the descriptor file and the service keep
// it.
namespace studyplan {

// The plan variables at one moment, to put back when a change of the plan
// cannot be written.
struct Plan {
    QString type;
    int days = 0;
    QDate start;
    QDate end;
};
Plan current();
void restore(const Plan& plan);

// True when gScheduleType names a plan ("" and "NONE" mean none).
bool hasPlan();
// days@start@end, the dates as year/month/day: the service's form.
QString memo();
// Rewrites the whole descriptor file of gCourseId from the plan. A missing
// file is created only when createMissing, and is otherwise left missing;
// false when the file could not be written (it then holds what it held).
bool writeDescriptor(bool createMissing);

// Sends the plan to the service. The plan is kept in setup.set until the
// service has taken it, and sent again at the next opening of the course,
// so that the older plan on the service cannot replace it there.
void sendToService();
// Keeps the plan in setup.set as not yet sent, from the moment that the
// descriptor holds it: an end before sendToService() leaves it to be sent.
void keepUnsent();
// Sends the plan that an earlier sendToService() could not deliver for
// gCourseId; true when no plan of the course is waiting any more.
bool resendUnsent();
// The plan waiting to be sent for a course ("" when none).
QString unsentMemo(const QString& courseId);

}  // namespace studyplan
