#pragma once

#include <QWidget>

class QAction;
class QMenu;

// Carries the input box's edit menu; the form itself is never shown.
class frmMenu : public QWidget {
    Q_OBJECT

public:
    frmMenu();

    QMenu* mnuTextPopup;
    QAction* mnuTextCopy;
    QAction* mnuTextCut;
    QAction* mnuTextPaste;

public Q_SLOTS:
    void mnuTextCopy_Click();
    void mnuTextCut_Click();
    void mnuTextPaste_Click();
};
