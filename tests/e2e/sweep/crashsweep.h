#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include "tests/support/standinprocess.h"

// The pieces of the crash sweep: where a road waits (taken from a run that
// is not killed), what the program has written, and the scripts that start
// the program again after a kill.
namespace crashsweep {

// A wait where the program is killed: the occurrence-th showing of a
// message (its text as the driver logs it) or the occurrence-th request of
// a script (its file name), each counted from the program's start.
struct KillPoint {
    enum class Kind { Message, Request };
    Kind kind;
    QString what;
    int occurrence;
    // A request that the program waits for, doing nothing else meanwhile.
    bool holdsTheProgram = false;

    QString describe() const;
};

// The messages and please-wait boxes shown from the road's first step up
// to the step that leaves the program, in a driver log.
QList<KillPoint> messageKillPoints(const QStringList& log, const QString& firstStep,
                                   const QString& leaveStep);
// The requests of a run beyond the start-up's own requests of their
// script. The browser's own look for the site's icon is none of the
// program's waits, nor is a later request of the road that is the same as
// the one just before it: the browser sends a form again, as often as it
// likes, when its connection was dropped, and the program's own repeats
// wait in the same state.
QList<KillPoint> requestKillPoints(const QList<StandinRequest>& run,
                                   const QList<StandinRequest>& startUp);
// The script of a request as the stand-in's modes name it.
QString scriptOf(const StandinRequest& request);
int requestCount(const QList<StandinRequest>& requests, const QString& script);
int messageCount(const QStringList& log, const QString& text);

// What the program has written that a road may change, by name: the
// demo course's files, descriptor and records, the engine's files and,
// under names that begin "service:", what the service keeps of them.
using Facts = QMap<QString, QString>;
// pno: the LXV account whose study plan the service keeps; "" for none.
Facts observe(const QString& tmp, StandinProcess& standin, const QString& pno);

// The states that count as before a road and as after it, as runs that
// were not killed showed them: the start, and what the road left, each
// also as later starts of the program made it.
struct RoadStates {
    QList<Facts> before;
    QList<Facts> after;

    enum class Side { Neither, Before, After };
    // Where the facts stand; the service's facts count only withService.
    // A state that is both counts as after.
    Side sideOf(const Facts& seen, bool withService) const;
    // Each fact that differs from the nearest state before and after, with
    // its value in each.
    QString differences(const Facts& seen, bool withService) const;
};

bool copyFolder(const QString& from, const QString& to);
bool courseInstalled(const QString& tmp);

// The start of the program up to the open course, or up to the course
// picker when none is installed; the service at port answers or not.
QStringList startUp(const QString& edition, bool online, bool withCourse, int port);
// The way out from where startUp() ended; the LXQ start without the
// service ends by itself.
QStringList leave(const QString& edition, bool online, bool withCourse);

}  // namespace crashsweep
