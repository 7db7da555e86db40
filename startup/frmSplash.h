#pragma once

#include <QTimer>

#include "shared/skinneddialog.h"

// The splash and About window; it closes itself when its hide timer fires.
class frmSplash : public SkinnedDialog {
    Q_OBJECT

public:
    frmSplash();

    // Starts the fade-out, after which the window unloads.
    void closeForm();

    // Disabled until someone starts it; closes the splash on its tick.
    QTimer tmrHide;

public Q_SLOTS:
    void tmrHide_Timer();

protected:
    void unloadForm() override;
};
