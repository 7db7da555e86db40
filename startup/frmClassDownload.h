#pragma once

#include "shared/skinneddialog.h"

// The course download window, in which the learner gets further courses.
class frmClassDownload : public SkinnedDialog {
    Q_OBJECT

public:
    frmClassDownload();

    void Form_Load();
    // Shows the window modally: returns once it has closed.
    void showModal();

protected:
    void unloadForm() override;
};
