#pragma once

#include "shared/skinneddialog.h"

// The example-sentences window: model sentences for the selected question.
class frmSample : public SkinnedDialog {
    Q_OBJECT

public:
    frmSample();

    // Shows what belongs to the selected question.
    void SetDefaultValue();

protected:
    void unloadForm() override;
};
