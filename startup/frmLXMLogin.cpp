#include "startup/frmLXMLogin.h"

#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "platform/big5.h"
#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/sendabletext.h"
#include "shared/serverconfig.h"
#include "shared/servicescripts.h"
#include "shared/skin.h"
#include "startup/signinreplies.h"
#include "workspace/twipsgeometry.h"

namespace {

const QString kNotYetObtained = QStringLiteral("* 尚未取得 *");
const QString kCannotObtain = QStringLiteral("* 無法正確取得 *");
const QString kServerColour = QStringLiteral("color: rgb(0, 0, 192);");
const QString kFailedColour = QStringLiteral("color: rgb(255, 0, 0);");

}  // namespace

frmLXMLogin::frmLXMLogin() {
    createServerLabel();
    txtLogin->installEventFilter(this);
    txtPassword->installEventFilter(this);
}

void frmLXMLogin::createServerLabel() {
    lblACServer = new QLabel(picBG);
    const QRect place = serverFieldTwips();
    twipsgeometry::moveTwips(lblACServer, place.x(), place.y(), place.width(), place.height());
    QFont font;
    font.setPixelSize(14);
    font.setBold(true);
    lblACServer->setFont(font);
}

void frmLXMLogin::Form_Load() {
    mCertFile = gBasePath + "/" + gDataFolderName + "/lxmcert.set";
    SetDefaultValue();
    showDialog();
}

void frmLXMLogin::SetDefaultValue() {
    SetCommonTexts("伺服器");
    lblACServer->setText(kNotYetObtained);
    lblACServer->setStyleSheet(kServerColour);
    LXMCert_IO("R");
}

// A remembered server on the maker's former web domain has moved to the
// default account-management server's host. An installation that names no
// former domain has none to replace.
QString frmLXMLogin::serverFromCertificate(const QString& pLine) const {
    const QString formerDomain = loadServerConfig().formerDomain;
    if (formerDomain.isEmpty() || !pLine.contains(formerDomain)) {
        return pLine;
    }
    return QString(gDefaultServer).remove("http://").remove('/');
}

void frmLXMLogin::LXMCert_IO(const QString& pAct) {
    if (pAct == "R") {
        bool readable = false;
        const QStringList lines = big5::readLines(mCertFile, &readable);
        // A file cut short or emptied names no server: the label keeps
        // saying that none is known, so no sign-in goes to a blank server.
        const QString server = Trim(serverFromCertificate(lines.value(0)));
        if (readable && !server.isEmpty()) {
            lblACServer->setText(server);
        }
        if (readable) {
            txtLogin->setText(Trim(lines.value(1)));
        }
    } else if (pAct == "W") {
        big5::writeLines(mCertFile, {Trim(lblACServer->text()), login()});
    }
}

bool frmLXMLogin::eventFilter(QObject* watched, QEvent* event) {
    const bool keyPress = event->type() == QEvent::KeyPress;
    if (watched == txtLogin) {
        if (keyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            if (!enter && !key->text().isEmpty() && key->key() != Qt::Key_Tab &&
                key->key() != Qt::Key_Backtab) {
                mLoginChanged = true;
            }
            if (txtLogin_KeyPress(key)) {
                return true;
            }
        }
        if (isLeavingTheBox(event)) {
            txtLogin_LostFocus();
        }
    } else if (watched == txtPassword && keyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cmdLogin_Click();
            return true;
        }
    }
    return SignInForm::eventFilter(watched, event);
}

void frmLXMLogin::txtLogin_LostFocus() {
    if (!mLoginChanged) {
        return;
    }
    mLoginChanged = false;
    const QString unsendable = firstUnsendableInRequest(login());
    if (!unsendable.isEmpty()) {
        showUnsendableAndWait(unsendable);
        showLookupFailed();
        return;
    }
    FormInstance<frmMessage>::get()->ProgressMsgBox("10001", 0, QString(), "0");
    doEvents();
    const QString reply = GetServerByRegId(login());
    FormInstance<frmMessage>::unload();

    if (reply.startsWith("OK")) {
        showServer(accountServerOfReply(reply));
        return;
    }
    // An account held by no server is the one refusal that is not about
    // reaching the servers.
    const bool heldByNoServer = reply.left(3) == "ERR" && reply != "ERR_CONNECT_FAILED";
    showMessageAndWait(heldByNoServer ? "29851" : "2984", heldByNoServer ? "0" : "1");
    showLookupFailed();
}

void frmLXMLogin::showServer(const QString& pServer) {
    lblACServer->setText(pServer);
    lblACServer->setStyleSheet(kServerColour);
}

void frmLXMLogin::showLookupFailed() {
    lblACServer->setText(kCannotObtain);
    lblACServer->setStyleSheet(kFailedColour);
    txtLogin->setFocus();
}

bool frmLXMLogin::refuseAttempt() {
    if (refuseLoginOrPassword()) {
        return true;
    }
    if (Trim(lblACServer->text()).startsWith('*')) {
        showMessageAndWait("29851", "0");
        return true;
    }
    return false;
}

// A reply with fewer fields names no course: the account may then open none.
void frmLXMLogin::cmdLogin_Click() {
    moveOffScreen();
    if (refuseAttempt()) {
        SetFormCenter(this);
        return;
    }
    const QString reply = signInWithRetry(Trim(lblACServer->text()));
    if (reportFailedReply(reply)) {
        SetFormCenter(this);
        return;
    }
    gAllowedCourses = allowedCoursesOfReply(reply);
    if (!confirmPasswordSet(reply)) {
        return;
    }
    gPno = login();
    gServerPassword = password();
    LXMCert_IO("W");
    finishSignIn(true);
    closeForm();
}

void frmLXMLogin::unloadForm() {
    FormInstance<frmLXMLogin>::unload();
}
