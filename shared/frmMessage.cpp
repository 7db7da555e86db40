#include "shared/frmMessage.h"

#include <QFont>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "platform/forminstance.h"
#include "platform/twips.h"
#include "platform/waituntil.h"
#include "platform/windowskin.h"
#include "shared/dialogstyle.h"
#include "shared/globals.h"
#include "shared/mainwindowlink.h"
#include "shared/progressflash.h"
#include "shared/skin.h"

namespace {

constexpr int kShownAlpha = 250;
constexpr int kButtonGapTwips = 100;

// The window is 5400 x 3000 twips: caption band on top, icon left of the
// text, buttons or the moving bar at the bottom.
const QRect kCaptionTwips(240, 0, 4800, 510);
const QRect kBodyTwips(0, 525, 5400, 1695);
const QRect kIconTwips(375, 900, 480, 480);
const QRect kMessageTwips(1050, 750, 4050, 1425);
constexpr int kButtonTopTwips = 2415;
constexpr int kButtonWidthTwips = 1200;
constexpr int kButtonHeightTwips = 435;
const QRect kProgressTwips(600, 2475, 4200, 240);

// The label shows line breaks of its own kind.
QString displayText(const QString& text) {
    QString shown = text;
    return shown.replace("\r\n", "\n");
}

// Every message shown gets a number, so that its answer reaches the caller
// that waits for it, and no other. The last one shown waits for its answer
// as long as its window is loaded.
int lastQuestion = 0;
QPointer<frmMessage> lastQuestionWindow;
// The message that the last call of MessageBox showed (0 when none).
int shownQuestion = 0;
// Answers given and not yet taken by their callers.
QHash<int, QString> answers;

bool isUp(int question) {
    return question == lastQuestion && lastQuestionWindow && !forms::isUnloaded(lastQuestionWindow);
}

bool questionWaits() {
    return isUp(lastQuestion);
}

// False when the program ends first.
bool waitForQuestionAnswered() {
    return waitUntil([] { return !questionWaits(); });
}

}  // namespace

QString MessageBoxAndWait(const QString& pMessageId, int pIcon, const QString& pFormType,
                          const QString& pCaptionId) {
    FormInstance<frmMessage>::get()->MessageBox(pMessageId, pIcon, pFormType, pCaptionId);
    return frmMessage::awaitAnswer();
}

// A message over a modal window (the picker, the download window) must
// still be answered, or its caller would wait for ever.
frmMessage::frmMessage() : SkinnedDialog(true) {
    windowskin::keepAboveModalWindows(this);
    createControls();
    Form_Load();
}

void frmMessage::Form_Load() {
    setSkin(QPixmap(":/skin/message-bg.png"));
    SetFormTransparent(this, kShownAlpha);
    SetFormCenter(this);
}

void frmMessage::createControls() {
    imgClose->hide();
    imgBackground->setGeometry(pixelsOf(kBodyTwips));

    lblCaption = newCaptionLabel(picBG, 14);
    lblCaption->setGeometry(pixelsOf(kCaptionTwips));

    imgIcons = {QPixmap(":/skin/icon-info.png"), QPixmap(":/skin/icon-error.png"),
                QPixmap(":/skin/icon-question.png")};
    imgIcon = new QLabel(picBG);
    imgIcon->setGeometry(pixelsOf(kIconTwips));

    lblMessage = new QLabel(picBG);
    lblMessage->setGeometry(pixelsOf(kMessageTwips));
    lblMessage->setFont(dialogFont(14, false));
    lblMessage->setStyleSheet("color: #1d3557;");
    lblMessage->setTextFormat(Qt::PlainText);
    lblMessage->setWordWrap(true);

    cmdOK = createButton();
    cmdCancel = createButton();
    cmdYes = createButton();
    cmdNo = createButton();
    connect(cmdOK, &QPushButton::clicked, this, &frmMessage::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMessage::cmdCancel_Click);
    connect(cmdYes, &QPushButton::clicked, this, &frmMessage::cmdYes_Click);
    connect(cmdNo, &QPushButton::clicked, this, &frmMessage::cmdNo_Click);

    mProgressFlash = createProgressFlash(picBG, kProgressTwips);
    picProgress = mProgressFlash.frame;
    picProgressInner = mProgressFlash.inner;
    imgProgressFlash = mProgressFlash.flash;
    tmrProgressFlash = mProgressFlash.timer;
    connect(tmrProgressFlash, &QTimer::timeout, this, &frmMessage::tmrProgressFlash_Timer);
}

QPushButton* frmMessage::createButton() {
    auto* button = new QPushButton(picBG);
    button->resize(twipsToPixels(kButtonWidthTwips), twipsToPixels(kButtonHeightTwips));
    button->setFont(dialogFont(13, false));
    button->setStyleSheet(dialogButtonStyle());
    button->setCursor(Qt::PointingHandCursor);
    button->hide();
    return button;
}

// The window that waited is unloaded once it is answered: the message shows
// in the one loaded then.
void frmMessage::MessageBox(const QString& pMessageId, int pIcon, const QString& pFormType,
                            const QString& pCaptionId) {
    if (!questionWaits()) {
        showMessage(pMessageId, pIcon, pFormType, pCaptionId);
        return;
    }
    const bool answered = waitForQuestionAnswered();
    shownQuestion = 0;
    if (answered) {
        FormInstance<frmMessage>::get()->MessageBox(pMessageId, pIcon, pFormType, pCaptionId);
    }
}

void frmMessage::showMessage(const QString& pMessageId, int pIcon, const QString& pFormType,
                             const QString& pCaptionId) {
    gMsgResult.clear();
    hideButtons();
    tmrProgressFlash->stop();
    picProgress->hide();
    cmdYes->setText("是");
    cmdNo->setText("否");
    cmdOK->setText("確定");
    cmdCancel->setText("取消");
    lblCaption->setText(MessageCaption(pCaptionId));
    showText(WithLeadingLineBreak(MessageText(pMessageId)), Qt::AlignLeft | Qt::AlignTop);
    showIcon(pIcon);
    placeButtons(pFormType);
    if (gStartupDone) {
        SetMainWindowEnabled(false);
    }
    shownQuestion = ++lastQuestion;
    lastQuestionWindow = this;
    show();
    raise();
}

void frmMessage::ProgressMsgBox(const QString& pMessageId, int pIcon, const QString& pFormType,
                                const QString& pCaptionId) {
    if (!questionWaits()) {
        showPleaseWait(pMessageId, pIcon, pCaptionId);
    } else if (waitForQuestionAnswered()) {
        FormInstance<frmMessage>::get()->ProgressMsgBox(pMessageId, pIcon, pFormType, pCaptionId);
    }
}

QString frmMessage::awaitAnswer() {
    const int question = shownQuestion;
    waitUntil([question] { return answers.contains(question) || !isUp(question); });
    gMsgResult = answers.take(question);
    return gMsgResult;
}

void frmMessage::showPleaseWait(const QString& pMessageId, int pIcon, const QString& pCaptionId) {
    gMsgResult.clear();
    hideButtons();
    picProgress->show();
    lblCaption->setText(pCaptionId == "0" ? QStringLiteral("請稍候") : QString());
    showText(WithLeadingLineBreak(PleaseWaitText(pMessageId)), Qt::AlignHCenter | Qt::AlignTop);
    showIcon(pIcon);
    doEvents();
    show();
    raise();
    tmrProgressFlash->start();
    gMsgResult = "OK";
}

void frmMessage::closeForm() {
    SetMainWindowEnabled(true);
    FormInstance<frmMessage>::unload();
}

bool frmMessage::isShown() {
    return FormInstance<frmMessage>::isLoaded() && FormInstance<frmMessage>::get()->isVisible();
}

void frmMessage::unloadForm() {
    FormInstance<frmMessage>::unload();
}

void frmMessage::closeFromWindowSystem() {
    for (QPushButton* button : {cmdCancel, cmdNo, cmdOK}) {
        if (button->isVisibleTo(this)) {
            button->click();
            return;
        }
    }
}

void frmMessage::cmdOK_Click() {
    answer("OK");
}

void frmMessage::cmdCancel_Click() {
    answer("CANCEL");
}

void frmMessage::cmdYes_Click() {
    answer("YES");
}

void frmMessage::cmdNo_Click() {
    answer("NO");
}

// The window unloads with the answer: its question waits no more.
void frmMessage::answer(const QString& pResult) {
    gMsgResult = pResult;
    answers.insert(lastQuestion, pResult);
    closeForm();
}

void frmMessage::tmrProgressFlash_Timer() {
    advanceProgressFlash(mProgressFlash);
}

void frmMessage::hideButtons() {
    for (QPushButton* button : {cmdOK, cmdCancel, cmdYes, cmdNo}) {
        button->hide();
    }
}

void frmMessage::showText(const QString& text, Qt::Alignment alignment) {
    lblMessage->setAlignment(alignment);
    lblMessage->setText(displayText(text));
}

// An icon index outside the three pictures shows no icon.
void frmMessage::showIcon(int pIcon) {
    const bool known = pIcon >= 0 && pIcon < int(imgIcons.size());
    imgIcon->setPixmap(known ? imgIcons[pIcon] : QPixmap());
}

void frmMessage::placeButtons(const QString& pFormType) {
    const int w = widthTwips();
    const int okWidth = pixelsToTwips(cmdOK->width());
    if (pFormType == "OK") {
        placeButton(cmdOK, (w - okWidth) / 2);
    } else if (pFormType == "OK_CANCEL") {
        placeButton(cmdOK, w / 2 - okWidth - kButtonGapTwips);
        placeButton(cmdCancel, w / 2 + kButtonGapTwips);
    } else if (pFormType == "YES_NO") {
        placeButton(cmdYes, w / 2 - pixelsToTwips(cmdYes->width()) - kButtonGapTwips);
        placeButton(cmdNo, w / 2 + kButtonGapTwips);
    } else if (pFormType == "OK_CANCEL_NO") {
        const int cancelLeft = (w - pixelsToTwips(cmdCancel->width())) / 2;
        placeButton(cmdCancel, cancelLeft);
        placeButton(cmdOK, cancelLeft - okWidth - kButtonGapTwips);
        placeButton(cmdNo, cancelLeft + pixelsToTwips(cmdNo->width()) + kButtonGapTwips);
    }
}

void frmMessage::placeButton(QPushButton* button, int leftTwips) {
    button->move(twipsToPixels(leftTwips), twipsToPixels(kButtonTopTwips));
    button->show();
}

int frmMessage::widthTwips() const {
    return pixelsToTwips(width());
}
