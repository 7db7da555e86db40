#pragma once

#include "shared/skinneddialog.h"

// The wrong-sentences window: the learner's sentences that were marked wrong.
class frmErrSentence : public SkinnedDialog {
    Q_OBJECT

public:
    frmErrSentence();

protected:
    void unloadForm() override;
};
