#pragma once

#include <array>
#include <QPixmap>

#include "shared/skinneddialog.h"

class QLabel;
class QLineEdit;

// The sign-in to another account whose records are to be imported into the
// learner's: the account number, its login and password, confirmed by the
// service for the open course. It sets gOldPno on success, and gLoginOK and
// gLoginDone once per showing for the import command that waits on them.
class frmLXVImportLogin : public SkinnedDialog {
    Q_OBJECT

public:
    frmLXVImportLogin();

    void Form_Load();
    void SetDefaultValue();
    // Starts the fade-out, after which the form unloads.
    void closeForm();

    QLabel* lblCaption;
    std::array<QLabel*, 3> lblPara1{};
    std::array<QLabel*, 3> lblDesc{};
    QLineEdit* txtPno = nullptr;
    QLineEdit* txtLogin = nullptr;
    QLineEdit* txtPassword = nullptr;
    std::array<QLabel*, 3> picButtons{};
    std::array<QPixmap, 3> imgButtonsOff;
    std::array<QPixmap, 3> imgButtonsOver;
    std::array<QPixmap, 3> imgButtonsClick;

public Q_SLOTS:
    void picButtons_Click(int Index);

protected:
    void unloadForm() override;
    void picButtonsResetImage() override;
    // Leaving by the window system is cancelling, so the import command that
    // waits on gLoginDone learns of it.
    void closeFromWindowSystem() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createFields();
    void createButtons();
    bool pictureButtonEvent(int Index, QEvent* event);
    bool fieldKeyPress(QObject* watched, QKeyEvent* key);
    void ReleaseButtonImages();
    void normaliseAccount();
    QLineEdit* refusedField();
    bool reportFailedReply(const QString& pReply);
    void showAgain(QLineEdit* focus);
    void checkAndSignIn();
    void cancelSignIn();
};
