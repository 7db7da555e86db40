#pragma once

#include "shared/skinneddialog.h"

// The study-plan dialog, in which the learner chooses a plan for the open
// course.
class frmSchedule : public SkinnedDialog {
    Q_OBJECT

public:
    frmSchedule();

protected:
    void unloadForm() override;
};
