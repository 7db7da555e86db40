#include "startup/signinform.h"

#include <QFocusEvent>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/twips.h"
#include "shared/dialogstyle.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/sendabletext.h"
#include "shared/servicescripts.h"
#include "shared/skin.h"
#include "workspace/twipsgeometry.h"

using twipsgeometry::moveTwips;

namespace {

constexpr int kOffScreenLeftTwips = -20000;
constexpr int kMaxPasswordLength = 20;

constexpr int kLabelLeftTwips = 450;
constexpr int kLabelWidthTwips = 1800;
constexpr int kFieldLeftTwips = 2250;
constexpr int kFieldWidthTwips = 3450;
constexpr int kRowHeightTwips = 390;
constexpr std::array<int, 3> kRowTopTwips = {780, 1380, 1980};

const QRect kCaptionTwips(0, 0, 6300, 510);
const QRect kCaptionTextTwips(240, 0, 5400, 510);
const QRect kHintTwips(450, 2580, 5400, 600);
const QRect kHintSecondTwips(450, 3180, 5400, 330);
const QRect kLoginButtonTwips(1500, 4110, 1500, 450);
const QRect kCancelButtonTwips(3300, 4110, 1500, 450);

QLabel* makeFieldLabel(QWidget* parent, int row) {
    auto* label = new QLabel(parent);
    moveTwips(label, kLabelLeftTwips, kRowTopTwips.at(row), kLabelWidthTwips, kRowHeightTwips);
    label->setFont(dialogFont(14));
    label->setStyleSheet("color: #1d3557;");
    return label;
}

QLineEdit* makeField(QWidget* parent, int row) {
    auto* field = new QLineEdit(parent);
    moveTwips(field, kFieldLeftTwips, kRowTopTwips.at(row), kFieldWidthTwips, kRowHeightTwips);
    field->setFont(dialogFont(14));
    return field;
}

QPushButton* makeButton(QWidget* parent, const QRect& twips) {
    auto* button = new QPushButton(parent);
    moveTwips(button, twips);
    button->setFont(dialogFont(14));
    button->setStyleSheet(dialogButtonStyle());
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

}  // namespace

SignInForm::SignInForm() : SkinnedDialog(false) {
    createControls();
}

void SignInForm::createControls() {
    setSkin(QPixmap(":/skin/login-bg.png"));
    // Cancel is the way out: the dialog offers no close image.
    imgClose->hide();
    picCaption = new QLabel(picBG);
    moveTwips(picCaption, kCaptionTwips);
    lblCaption = newCaptionLabel(picCaption);
    moveTwips(lblCaption, kCaptionTextTwips);

    lblPara1[0] = makeFieldLabel(picBG, 0);
    lblPara1[1] = makeFieldLabel(picBG, 1);
    lblPara1[3] = makeFieldLabel(picBG, 2);
    txtLogin = makeField(picBG, 0);
    txtLogin->setObjectName("txtLogin");
    txtPassword = makeField(picBG, 1);
    txtPassword->setObjectName("txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);

    lblMessage[0] = new QLabel(picBG);
    moveTwips(lblMessage[0], kHintTwips);
    lblMessage[0]->setWordWrap(true);
    lblMessage[1] = new QLabel(picBG);
    moveTwips(lblMessage[1], kHintSecondTwips);
    for (QLabel* hint : lblMessage) {
        hint->setFont(dialogFont(13));
        hint->setStyleSheet("color: #8a3b12;");
    }

    cmdLogin = makeButton(picBG, kLoginButtonTwips);
    cmdCancel = makeButton(picBG, kCancelButtonTwips);
    connect(cmdLogin, &QPushButton::clicked, this, &SignInForm::cmdLogin_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &SignInForm::cmdCancel_Click);
}

QRect SignInForm::serverFieldTwips() {
    return QRect(kFieldLeftTwips, kRowTopTwips.at(2), kFieldWidthTwips, kRowHeightTwips);
}

void SignInForm::SetCommonTexts(const QString& pServerLabel) {
    lblCaption->setText("登入伺服器");
    lblPara1[0]->setText("請輸入帳號");
    lblPara1[1]->setText("請輸入密碼");
    lblPara1[3]->setText(pServerLabel);
    lblMessage[0]->setText("如為第一次啟用，請設定密碼（4～10位字元，限用字母及數字）");
    lblMessage[1]->setText("以後即憑該密碼啟用，請緊記密碼");
    cmdLogin->setText("登入");
    cmdCancel->setText("取消");
    txtLogin->clear();
    txtPassword->clear();
}

void SignInForm::showDialog() {
    startFadeIn();
    show();
    raise();
    activateWindow();
    txtLogin->setFocus();
}

void SignInForm::closeForm() {
    startFadeOut();
}

void SignInForm::moveOffScreen() {
    move(twipsToPixels(kOffScreenLeftTwips), y());
}

void SignInForm::closeFromWindowSystem() {
    cmdCancel_Click();
}

void SignInForm::cmdCancel_Click() {
    finishSignIn(false);
    unloadForm();
}

bool SignInForm::txtLogin_KeyPress(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        txtPassword->setFocus();
        return true;
    }
    // Keys that type nothing (arrows, Tab) move about as usual.
    const QString typed = event->text();
    if (typed.isEmpty() || event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        return false;
    }
    const int keyAscii = typed.at(0).unicode();
    const int kept = KeyPressLogin(keyAscii, QString(), false);
    if (kept == keyAscii) {
        return false;
    }
    if (kept != 0) {
        txtLogin->insert(QChar(kept));
    }
    return true;
}

bool SignInForm::isLeavingTheBox(QEvent* event) {
    if (event->type() != QEvent::FocusOut) {
        return false;
    }
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

QString SignInForm::login() const {
    return Trim(txtLogin->text());
}

QString SignInForm::password() const {
    return Trim(txtPassword->text());
}

bool SignInForm::refuseLoginOrPassword() {
    if (login().isEmpty()) {
        showMessageAndWait("26", "0");
        return true;
    }
    if (password().size() < 1 || password().size() > kMaxPasswordLength) {
        showMessageAndWait("27", "0");
        return true;
    }
    // A pasted character that the sign-in cannot carry would reach the
    // service as another account or password, which a first sign-in keeps.
    for (const QString& value : {login(), password()}) {
        const QString unsendable = firstUnsendableInRequest(value);
        if (!unsendable.isEmpty()) {
            showUnsendableAndWait(unsendable);
            return true;
        }
    }
    return false;
}

QString SignInForm::signInWithRetry(const QString& pServer) {
    setEnabled(false);
    QString reply = GetLogin(login(), password(), pServer);
    if (reply == "ERR_CONNECT_FAILED") {
        reply = GetLogin(login(), password(), pServer + "/serverside");
    }
    setEnabled(true);
    return reply;
}

bool SignInForm::reportFailedReply(const QString& pReply) {
    if (pReply.left(3) != "ERR") {
        return false;
    }
    if (pReply == "ERR_CONNECT_FAILED") {
        showMessageAndWait("2984", "1");
    } else if (pReply == "ERR_NOTFOUND") {
        showMessageAndWait("31", "0");
    } else if (pReply == "ERR_WRONG_PASSWORD") {
        showMessageAndWait("32", "0");
    }
    return true;
}

bool SignInForm::confirmPasswordSet(const QString& pReply) {
    return !pReply.startsWith("SET") || showMessageAndWait("2977", "0");
}

void SignInForm::finishSignIn(bool pOK) {
    gLoginOK = pOK;
    gLoginDone = true;
}

bool SignInForm::showMessageAndWait(const QString& pMessageId, const QString& pCaptionId) {
    return SkinnedDialog::showMessageAndWait(pMessageId, 1, "OK", pCaptionId);
}
