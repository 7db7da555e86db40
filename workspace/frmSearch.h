#pragma once

#include "shared/skinneddialog.h"

class QLineEdit;

// The question search window.
class frmSearch : public SkinnedDialog {
    Q_OBJECT

public:
    frmSearch();

    QLineEdit* txtSearch;

protected:
    void unloadForm() override;
};
