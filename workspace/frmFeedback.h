#pragma once

#include "shared/skinneddialog.h"

// The feedback window, in which the learner reports a doubtful check result.
class frmFeedback : public SkinnedDialog {
    Q_OBJECT

public:
    frmFeedback();

protected:
    void unloadForm() override;
};
