#pragma once

#include <QString>

#include "workspace/coursedescriptor.h"

// The study plan that a reinstall of a course keeps: the descriptor's lines
// 3 to 6 as they were before it, with the id and name that a descriptor made
// anew takes (lines 1 and 2).
struct KeptPlan {
    QString courseId;
    CourseDescriptor lines;
};

// A course package unpacked aside, before its files take the places of the
// installed ones: what is adjusted here moves into place with them, also
// when the program ends during the move and the next start finishes it.
class StagedCourse {
public:
    StagedCourse(const QString& pStagingFolder, const QString& pProductFolder);

    // A course that the package brings without a version file of its own
    // gets its installed one emptied: its data is no longer the version that
    // the file names, and the next opening takes the service's. False when
    // the empty file cannot be made.
    bool forgetVersions() const;
    // The course's descriptor, as the package brings it, holds the kept plan.
    // A package without one leaves the installed descriptor, which holds the
    // plan already; with none installed either, a course whose data arrives
    // gets one made of the kept lines. False when it cannot be written.
    bool keepPlan(const KeptPlan& pPlan) const;

private:
    bool courseDataArrives(const QString& pCourseId) const;

    QString mStaging;
    QString mProduct;
};
