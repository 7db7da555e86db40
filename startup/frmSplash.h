#pragma once

#include <array>
#include <QPixmap>
#include <QTimer>

#include "shared/skinneddialog.h"

class QLabel;

// The splash and About window: the program's version, the edition and the
// version of the local checking engine over the edition's picture. It closes
// itself when its hide timer fires, when it is clicked and when it loses
// activation.
class frmSplash : public SkinnedDialog {
    Q_OBJECT

public:
    frmSplash();

    // Builds and shows the window; returns once it has faded in (or has
    // started to close meanwhile).
    void Form_Load();
    // Starts the fade-out, after which the window unloads.
    void closeForm();

    // Index 0 for the LXV and LXM editions, 1 for LXQ; only the running
    // edition's picture is loaded.
    std::array<QPixmap, 2> imgSplash;
    QLabel* lblVersion;
    QLabel* lblEngineVer;
    QLabel* lblVerName;
    // Disabled until someone starts it; closes the splash on its tick.
    QTimer tmrHide;

public Q_SLOTS:
    void tmrHide_Timer();
    void picBG_Click();
    void Form_Deactivate();

protected:
    void unloadForm() override;
    void closeFromWindowSystem() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    QString editionSuffix() const;
    const QPixmap& editionPicture();

    bool mClosing = false;
};
