#pragma once

#include "shared/skinneddialog.h"

// The own-sentences window: the learner's sentences for the selected question.
class frmSentence : public SkinnedDialog {
    Q_OBJECT

public:
    frmSentence();

    // Shows what belongs to the selected question.
    void SetDefaultValue();

protected:
    void unloadForm() override;
};
