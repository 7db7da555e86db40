#include "startup/frmLogin.h"

#include <QComboBox>
#include <QDir>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/big5.h"
#include "platform/forminstance.h"
#include "shared/coursepaths.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/skin.h"
#include "workspace/twipsgeometry.h"

frmLogin::frmLogin() {
    createServerBox();
    txtLogin->installEventFilter(this);
}

void frmLogin::createServerBox() {
    cboServer = new QComboBox(picBG);
    cboServer->setObjectName("cboServer");
    const QRect place = serverFieldTwips();
    twipsgeometry::moveTwips(cboServer, place.x(), place.y(), place.width(), place.height());
    cboServer->setEditable(true);
    cboServer->setInsertPolicy(QComboBox::NoInsert);
    QFont font;
    font.setPixelSize(14);
    cboServer->setFont(font);
    cboServer->lineEdit()->installEventFilter(this);
    setTabOrder(txtLogin, txtPassword);
    setTabOrder(txtPassword, cboServer);
    setTabOrder(cboServer, cmdLogin);
    setTabOrder(cmdLogin, cmdCancel);
}

// Before a course is open the course part of the path is empty, and the file
// lies in the product folder itself.
void frmLogin::Form_Load() {
    mServerListFile = QDir::cleanPath(CourseFolder(gCourseId) + "/ServerList.set");
    SetDefaultValue();
    showDialog();
}

void frmLogin::SetDefaultValue() {
    SetCommonTexts("請輸入伺服器");
    readServerList();
}

void frmLogin::readServerList() {
    cboServer->clear();
    for (const QString& line : big5::readLines(mServerListFile)) {
        cboServer->addItem(Trim(line));
    }
    cboServer->setEditText(cboServer->count() > 0 ? cboServer->itemText(0) : QString());
}

QString frmLogin::server() const {
    return Trim(cboServer->currentText());
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtLogin) {
        if (event->type() == QEvent::KeyPress &&
            txtLogin_KeyPress(static_cast<QKeyEvent*>(event))) {
            return true;
        }
        if (isLeavingTheBox(event)) {
            txtLogin_LostFocus();
        }
    } else if (cboServer && watched == cboServer->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdLogin_Click();
            return true;
        }
    }
    return SignInForm::eventFilter(watched, event);
}

// Leaving the login box points the service address at the server, as a
// sign-in does, but sends nothing: a half-typed password must never reach
// the service, where a first sign-in would make it the account's password.
void frmLogin::txtLogin_LostFocus() {
    gServerURL = "http://" + server() + "/";
    gUpdatePath = server() + "/update";
}

bool frmLogin::refuseAttempt() {
    if (refuseLoginOrPassword()) {
        return true;
    }
    if (server().isEmpty()) {
        showMessageAndWait("2985", "0");
        return true;
    }
    return false;
}

void frmLogin::cmdLogin_Click() {
    moveOffScreen();
    if (refuseAttempt()) {
        SetFormCenter(this);
        return;
    }
    const QString reply = signInWithRetry(server());
    if (reportFailedReply(reply)) {
        SetFormCenter(this);
        return;
    }
    if (!confirmPasswordSet(reply)) {
        return;
    }
    gPno = login();
    gServerPassword = password();
    WriteServerList();
    finishSignIn(true);
    closeForm();
}

// The server signed in to comes first. The list is written through a
// temporary file renamed over it, so a kill never leaves it half written.
void frmLogin::WriteServerList() {
    const QString current = server();
    QStringList lines = {current};
    for (const QString& line : big5::readLines(mServerListFile)) {
        if (Trim(line) != current) {
            lines << Trim(line);
        }
    }
    big5::writeLines(mServerListFile, lines);
}

void frmLogin::unloadForm() {
    FormInstance<frmLogin>::unload();
}
