#include "startup/frmLXVImportLogin.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "shared/dialogstyle.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/mainwindowlink.h"
#include "shared/sendabletext.h"
#include "shared/servicescripts.h"
#include "shared/skin.h"
#include "workspace/twipsgeometry.h"

using namespace twipsgeometry;

namespace {

constexpr int kButtonCount = 3;
constexpr int kSignInButton = 0;
constexpr int kCancelButton = 1;
constexpr int kMinLength = 4;
constexpr int kMaxPasswordLength = 12;

// The form is 6900 x 4350 twips: caption band, three rows of label, box
// and hint, and the picture buttons below the separator line.
constexpr int kRowTop = 960;
constexpr int kRowStep = 720;
constexpr int kRowHeight = 390;

const std::array<QRect, kButtonCount> kButtonPlaces{
    QRect(1650, 3300, 1500, 540), QRect(3750, 3300, 1500, 540), QRect(360, 3090, 720, 720)};

const std::array<const char*, kButtonCount> kButtonNames{"0", "1", "2"};

QPixmap buttonPicture(int index, const QString& face) {
    return QPixmap(
        QString(":/skin/importlogin-button-%1-%2.png").arg(kButtonNames.at(index), face));
}

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

QString messageForReply(const QString& pReply) {
    if (pReply == "ERR_CONNECT_FAILED") {
        return "1";
    }
    if (pReply == "ERR_NOTFOUND") {
        return "2978";
    }
    if (pReply == "ERR_WRONG_USERPASS") {
        return "3982";
    }
    if (pReply == "ERR_WRONG_COURSE") {
        return "3983";
    }
    if (pReply == "ERR_ACCOUNT_MUST_EMAIL") {
        return "3991";
    }
    return QString();
}

}  // namespace

frmLXVImportLogin::frmLXVImportLogin() : SkinnedDialog(true) {
    createControls();
}

void frmLXVImportLogin::createControls() {
    // The cancel button is the way out; gLoginDone must be set on leaving.
    imgClose->hide();
    lblCaption = newCaptionLabel(picBG);
    moveTwips(lblCaption, 240, 0, 6000, 540);
    createFields();
    createButtons();
}

void frmLXVImportLogin::createFields() {
    txtPno = new QLineEdit(picBG);
    txtLogin = new QLineEdit(picBG);
    txtPassword = new QLineEdit(picBG);
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setStyleSheet("lineedit-password-character: 42;");
    const std::array<QLineEdit*, 3> boxes{txtPno, txtLogin, txtPassword};
    for (int i = 0; i < 3; ++i) {
        const int top = kRowTop + i * kRowStep;
        lblPara1[i] = new QLabel(picBG);
        moveTwips(lblPara1[i], 240, top, 1620, kRowHeight);
        lblPara1[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lblPara1[i]->setFont(dialogFont(14, true));
        lblPara1[i]->setStyleSheet("color: #1d3557;");
        moveTwips(boxes[i], 1920, top, 2250, kRowHeight);
        boxes[i]->setFont(dialogFont(14, false));
        boxes[i]->installEventFilter(this);
        lblDesc[i] = new QLabel(picBG);
        moveTwips(lblDesc[i], 4230, top, 2550, kRowHeight);
        lblDesc[i]->setFont(dialogFont(12, false));
        lblDesc[i]->setStyleSheet("color: #5a6b80;");
    }
}

void frmLXVImportLogin::createButtons() {
    for (int i = 0; i < kButtonCount; ++i) {
        imgButtonsOff[i] = buttonPicture(i, "off");
        imgButtonsOver[i] = buttonPicture(i, "over");
        imgButtonsClick[i] = buttonPicture(i, "click");
        picButtons[i] = new QLabel(picBG);
        const QRect& place = kButtonPlaces.at(i);
        moveTwips(picButtons[i], place.x(), place.y(), place.width(), place.height());
        picButtons[i]->setAlignment(Qt::AlignCenter);
        picButtons[i]->setPixmap(imgButtonsOff[i]);
        picButtons[i]->setMouseTracking(true);
        picButtons[i]->installEventFilter(this);
    }
}

void frmLXVImportLogin::Form_Load() {
    setSkin(QPixmap(":/skin/importlogin-bg.png"));
    const QCursor hand(QPixmap(":/skin/hand.png"), 10, 1);
    for (QLabel* button : picButtons) {
        button->setCursor(hand);
    }
    startFadeIn();
    HoldMainWindow(this);
    SetDefaultValue();
}

void frmLXVImportLogin::SetDefaultValue() {
    lblCaption->setText("匯入其他帳號授權驗證");
    lblPara1[0]->setText("授權帳號：");
    lblPara1[1]->setText("登入e-mail：");
    lblPara1[2]->setText("登入密碼：");
    lblDesc[0]->setText("（要匯入資料的來源帳號）");
    lblDesc[1]->setText("（舊用戶請輸入原名稱）");
    lblDesc[2]->setText("（最多12碼，限字母或數字）");
    txtPno->clear();
    txtLogin->clear();
    txtPassword->clear();
}

void frmLXVImportLogin::closeForm() {
    startFadeOut();
    ReleaseMainWindow(this);
}

void frmLXVImportLogin::picButtons_Click(int Index) {
    if (Index == kSignInButton) {
        checkAndSignIn();
    } else if (Index == kCancelButton) {
        cancelSignIn();
    }
}

void frmLXVImportLogin::closeFromWindowSystem() {
    cancelSignIn();
}

void frmLXVImportLogin::cancelSignIn() {
    gLoginOK = false;
    gLoginDone = true;
    closeForm();
}

void frmLXVImportLogin::checkAndSignIn() {
    hide();
    // A click on a picture button takes no focus, so the account box may
    // not have been left yet.
    normaliseAccount();
    if (QLineEdit* refused = refusedField()) {
        showAgain(refused);
        return;
    }
    setEnabled(false);
    const QString reply = ImportLogin(gCourseId, Trim(txtPno->text()), Trim(txtLogin->text()),
                                      Trim(txtPassword->text()));
    if (!reply.startsWith("ERR")) {
        gOldPno = Trim(txtPno->text());
        gLoginOK = true;
        gLoginDone = true;
        closeForm();
        return;
    }
    const QString messageId = messageForReply(reply);
    if (!messageId.isEmpty()) {
        showMessageAndWait(messageId, 1, "OK", "1");
    }
    showAgain(txtLogin);
}

// The field of the first check that fails, after its message; none when
// all pass.
QLineEdit* frmLXVImportLogin::refusedField() {
    if (Trim(txtPno->text()).isEmpty()) {
        showMessageAndWait("26", 1, "OK", "0");
        return txtPno;
    }
    const QString login = Trim(txtLogin->text());
    if (login.length() < kMinLength) {
        showMessageAndWait("261", 1, "OK", "0");
        return txtLogin;
    }
    const QString password = Trim(txtPassword->text());
    if (password.length() < kMinLength || password.length() > kMaxPasswordLength) {
        showMessageAndWait("27", 1, "OK", "0");
        return txtPassword;
    }
    for (QLineEdit* box : {txtPno, txtLogin, txtPassword}) {
        const QString unsendable = firstUnsendableInRequest(Trim(box->text()));
        if (!unsendable.isEmpty()) {
            showUnsendableAndWait(unsendable);
            return box;
        }
    }
    return nullptr;
}

// The form stays open for another try, and holds the main window still.
void frmLXVImportLogin::showAgain(QLineEdit* focus) {
    setEnabled(true);
    SetFormCenter(this);
    show();
    raise();
    activateWindow();
    focus->setFocus();
    doEvents();
}

void frmLXVImportLogin::normaliseAccount() {
    txtPno->setText(txtPno->text().remove('-').toUpper());
}

void frmLXVImportLogin::ReleaseButtonImages() {
    for (int i = 0; i < kButtonCount; ++i) {
        picButtons[i]->setPixmap(imgButtonsOff[i]);
    }
}

void frmLXVImportLogin::picButtonsResetImage() {
    SkinnedDialog::picButtonsResetImage();
    ReleaseButtonImages();
}

bool frmLXVImportLogin::pictureButtonEvent(int Index, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseMove:
            ReleaseButtonImages();
            picButtons[Index]->setPixmap(imgButtonsOver[Index]);
            return true;
        case QEvent::MouseButtonPress:
            picButtons[Index]->setPixmap(imgButtonsClick[Index]);
            return true;
        case QEvent::MouseButtonRelease: {
            picButtons[Index]->setPixmap(imgButtonsOff[Index]);
            const auto* release = static_cast<QMouseEvent*>(event);
            if (release->button() == Qt::LeftButton &&
                picButtons[Index]->rect().contains(release->position().toPoint())) {
                picButtons_Click(Index);
            }
            return true;
        }
        default:
            return false;
    }
}

// Enter moves on from box to box and signs in from the password; the
// account box takes account characters only.
bool frmLXVImportLogin::fieldKeyPress(QObject* watched, QKeyEvent* key) {
    if (isEnter(key)) {
        if (watched == txtPno) {
            txtLogin->setFocus();
        } else if (watched == txtLogin) {
            txtPassword->setFocus();
        } else {
            picButtons_Click(kSignInButton);
        }
        return true;
    }
    if (watched != txtPno || key->text().isEmpty()) {
        return false;
    }
    const int typed = key->text().at(0).unicode();
    const int kept = KeyPressPno(typed, "UPPER", true);
    if (kept == typed) {
        return false;
    }
    if (kept != 0) {
        txtPno->insert(QString(QChar(kept)));
    }
    return true;
}

bool frmLXVImportLogin::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < kButtonCount; ++i) {
        if (watched == picButtons[i]) {
            return pictureButtonEvent(i, event);
        }
    }
    const bool isBox = watched == txtPno || watched == txtLogin || watched == txtPassword;
    if (isBox && event->type() == QEvent::KeyPress) {
        return fieldKeyPress(watched, static_cast<QKeyEvent*>(event));
    }
    if ((watched == txtPno || watched == txtPassword) && event->type() == QEvent::FocusOut) {
        normaliseAccount();
    }
    if (watched == picBG && event->type() == QEvent::MouseMove) {
        ReleaseButtonImages();
    }
    return SkinnedDialog::eventFilter(watched, event);
}

void frmLXVImportLogin::unloadForm() {
    FormInstance<frmLXVImportLogin>::unload();
}
