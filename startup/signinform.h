#pragma once

#include <array>

#include "shared/skinneddialog.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

// What the two start-up sign-in dialogs share: the account and password
// boxes, the hint, the two buttons, and the sign-in against a service server
// with its retry under "/serverside" and its messages. The start-up waits
// until gLoginDone; gLoginOK then says whether the learner signed in.
class SignInForm : public SkinnedDialog {
    Q_OBJECT

public:
    // Starts the fade-out, after which the dialog unloads.
    void closeForm();

    QLabel* picCaption;
    QLabel* lblCaption;
    // Indices 0, 1 and 3 are the field labels.
    std::array<QLabel*, 4> lblPara1{};
    std::array<QLabel*, 2> lblMessage{};
    QLineEdit* txtLogin = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdLogin;
    QPushButton* cmdCancel;

public Q_SLOTS:
    virtual void cmdLogin_Click() = 0;
    void cmdCancel_Click();

protected:
    SignInForm();

    // Leaving by the window system is cancelling, so the start-up that waits
    // on gLoginDone learns of it.
    void closeFromWindowSystem() override;

    // The place of the third field (the server) in twips.
    static QRect serverFieldTwips();
    // The dialog's texts; the third field's label as given.
    void SetCommonTexts(const QString& pServerLabel);
    // Shows the dialog centred and fading in, the focus in the login box.
    void showDialog();
    // Only the message window is seen while an attempt runs.
    void moveOffScreen();

    // A key typed into the login box: Enter moves on to the password, other
    // keys go through the login filter. True when the key was taken here.
    bool txtLogin_KeyPress(QKeyEvent* event);
    // Whether a focus change is the learner leaving the box (not the window
    // losing activation).
    static bool isLeavingTheBox(QEvent* event);

    // The trimmed field values.
    QString login() const;
    QString password() const;
    // The message of a failed check; false when the password has 1 to 20
    // characters, the login is not empty, and both can be sent as typed.
    bool refuseLoginOrPassword();
    // Signs in to pServer, then under pServer + "/serverside" when the first
    // server cannot be reached; the form is disabled meanwhile.
    QString signInWithRetry(const QString& pServer);
    // Tells the learner why a reply beginning "ERR" failed; false for any
    // other reply.
    bool reportFailedReply(const QString& pReply);
    // A reply beginning "SET" set the typed password as the first one. False
    // when the learner left the dialog while reading that: the sign-in then
    // has ended already, without success.
    bool confirmPasswordSet(const QString& pReply);
    // Both flags once, for the start-up that waits on them.
    static void finishSignIn(bool pOK);
    bool showMessageAndWait(const QString& pMessageId, const QString& pCaptionId);

private:
    void createControls();
};
