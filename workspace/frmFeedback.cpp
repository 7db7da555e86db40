#include "workspace/frmFeedback.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "shared/dialogstyle.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/request.h"
#include "shared/sendabletext.h"
#include "shared/settingsfiles.h"
#include "shared/skin.h"
#include "workspace/formpost.h"

namespace {

constexpr int kLongestDescription = 100;

// Places in twips on the 7200 x 6300 twips background: caption band on top,
// the sentence, the description, the reply choice and the buttons below the
// rule near the bottom.
const QRect kCaptionTwips(240, 0, 5400, 510);
const QRect kSentenceLabelTwips(300, 690, 6600, 300);
const QRect kSentenceTwips(300, 1020, 6600, 690);
const QRect kDescLabelTwips(300, 1830, 6600, 300);
const QRect kDescTwips(300, 2160, 6600, 1650);
const std::array<QRect, 2> kOptionTwips{QRect(300, 3960, 300, 300), QRect(300, 4350, 300, 300)};
const std::array<QRect, 2> kOptionLabelTwips{QRect(660, 3960, 5000, 300),
                                             QRect(660, 4350, 5000, 300)};
const QRect kEmailTwips(660, 4740, 6240, 390);
const QRect kSendTwips(3900, 5640, 1400, 435);
const QRect kCancelTwips(5460, 5640, 1400, 435);

const QColor kPromptColour(128, 128, 128);
const QColor kTextColour(0, 0, 0);

QLabel* newLabel(QWidget* parent, const QRect& twips) {
    auto* label = new QLabel(parent);
    label->setGeometry(pixelsOf(twips));
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet("color: #1d3557;");
    return label;
}

void setTextColour(QPlainTextEdit* box, const QColor& colour) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, colour);
    box->setPalette(palette);
}

// A box that fills the picture box around it.
template <class Box>
Box* newFilledBox(QWidget* picture) {
    auto* box = new Box(picture);
    box->setGeometry(picture->rect());
    return box;
}

bool isLeftClick(const QEvent* event) {
    return event->type() == QEvent::MouseButtonRelease &&
           static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}

// Leaving for another window, or for a popup, is no loss of the focus to
// another control.
bool isFocusLostToControl(const QEvent* event) {
    if (event->type() != QEvent::FocusOut) {
        return false;
    }
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace

frmFeedback::frmFeedback() : SkinnedDialog(false) {
    mDescPrompt = QStringLiteral("請在此鍵入您的說明。(勿超過200字元)") + "\r\n" +
                  QStringLiteral("您送出的句子及說明會傳回伺服器，作為系統改進的參考") + "\r\n" +
                  QStringLiteral("您的個人資料不會被傳送出去。");
    createControls();
}

void frmFeedback::createControls() {
    lblCaption = newCaptionLabel(picBG, 14);
    lblCaption->setGeometry(pixelsOf(kCaptionTwips));

    lblS[0] = newLabel(picBG, kSentenceLabelTwips);
    lblSentence = newLabel(picBG, kSentenceTwips);
    lblSentence->setWordWrap(true);
    lblSentence->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblSentence->setStyleSheet(
        "color: #0000cc; background: white; border: 1px solid #a9bcd0; padding: 3px;");
    lblS[1] = newLabel(picBG, kDescLabelTwips);

    picDesc = new QWidget(picBG);
    picDesc->setGeometry(pixelsOf(kDescTwips));
    txtDesc = newFilledBox<QPlainTextEdit>(picDesc);
    txtDesc->installEventFilter(this);
    txtDesc->viewport()->installEventFilter(this);

    for (int i = 0; i < 2; ++i) {
        optNeedRes[i] = new QRadioButton(picBG);
        optNeedRes[i]->setGeometry(pixelsOf(kOptionTwips[i]));
        lblNeedRes[i] = newLabel(picBG, kOptionLabelTwips[i]);
        lblNeedRes[i]->installEventFilter(this);
        connect(optNeedRes[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked) {
                optNeedRes_Click(i);
            }
        });
    }

    picEmail = new QWidget(picBG);
    picEmail->setGeometry(pixelsOf(kEmailTwips));
    txtEmail = newFilledBox<QLineEdit>(picEmail);

    cmdSend = createButton(kSendTwips);
    cmdCancel = createButton(kCancelTwips);
    connect(cmdSend, &QPushButton::clicked, this, &frmFeedback::cmdSend_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmFeedback::cmdCancel_Click);

    // Carries the post; never shown.
    webMain = new Browser(picBG);
    webMain->hide();
}

QPushButton* frmFeedback::createButton(const QRect& twips) {
    auto* button = new QPushButton(picBG);
    button->setGeometry(pixelsOf(twips));
    button->setStyleSheet(dialogButtonStyle());
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

void frmFeedback::Form_Load() {
    setSkin(QPixmap(":/skin/feedback-bg.png"));
    SetMouseIconHand();
    startFadeIn(true);
    SetDefaultValue();
    // The description box would lose its prompt-reset at the learner's
    // first click elsewhere if it held the focus from the start.
    optNeedRes[0]->setFocus();
}

void frmFeedback::unloadForm() {
    FormInstance<frmFeedback>::unload();
}

void frmFeedback::SetMouseIconHand() {
    for (QLabel* label : lblNeedRes) {
        label->setCursor(imgClose->cursor());
    }
}

void frmFeedback::SetDefaultValue() {
    lblCaption->setText("問題回饋");
    lblS[0]->setText("有疑問的句子");
    lblS[1]->setText("我對本句的解析有疑惑，說明如下：");
    lblNeedRes[0]->setText("不必回覆");
    lblNeedRes[1]->setText("我希望得到回覆，請 e-mail 至：");
    cmdCancel->setText("取消");
    cmdSend->setText("送出");

    mSentence = SetFile_IO(gRegistrySetFile, "R", "sentence");
    mErrCode = SetFile_IO(gRegistrySetFile, "R", "errcode");
    mQcode = SetFile_IO(gRegistrySetFile, "R", "qcode");
    lblSentence->setText(mSentence);

    setTextColour(txtDesc, kPromptColour);
    txtDesc->setPlainText(QString(mDescPrompt).replace("\r\n", "\n"));
    txtEmail->clear();
    optNeedRes[0]->setChecked(true);
    picEmail->hide();
}

QString frmFeedback::descriptionText() const {
    return txtDesc->toPlainText().replace("\n", "\r\n");
}

bool frmFeedback::showsNoDescription() const {
    const QString description = Trim(descriptionText());
    return description.isEmpty() || description == mDescPrompt;
}

void frmFeedback::lblNeedRes_Click(int Index) {
    optNeedRes[Index]->setChecked(true);
}

void frmFeedback::optNeedRes_Click(int Index) {
    if (Index == 0) {
        picEmail->hide();
        return;
    }
    picEmail->show();
    txtEmail->setFocus();
}

void frmFeedback::txtDesc_Click() {
    if (showsNoDescription()) {
        txtDesc->clear();
        setTextColour(txtDesc, kTextColour);
    }
}

void frmFeedback::txtDesc_LostFocus() {
    if (showsNoDescription()) {
        SetDefaultValue();
    }
}

void frmFeedback::cmdSend_Click() {
    OpenWithBrowserForFeedback();
}

void frmFeedback::cmdCancel_Click() {
    imgClose_Click();
}

// The window steps aside while it checks and posts; a refusal brings it back
// with the entries as they were. Unloaded meanwhile, it stays gone.
void frmFeedback::OpenWithBrowserForFeedback() {
    hide();
    const QString email = optNeedRes[1]->isChecked() ? Trim(txtEmail->text()) : QString();
    const QString refusal = refusalOf(email);
    if (!refusal.isEmpty()) {
        refuse(refusal);
        show();
        return;
    }
    const bool sent = postFeedback(email);
    if (isLeaving()) {
        return;
    }
    // A post that failed on its way keeps the entries for another try.
    if (!sent) {
        refuse("1");
        show();
        return;
    }
    SetFile_IO(gRegistrySetFile, "W", "sentence", "");
    SetFile_IO(gRegistrySetFile, "W", "errcode", "");
    if (showMessageAndWait("11", 0, "OK", "0")) {
        FormInstance<frmFeedback>::unload();
    }
}

// One description character is one character, whatever its width.
QString frmFeedback::refusalOf(const QString& email) const {
    if (optNeedRes[1]->isChecked() && !IsEmailValid(email)) {
        return "8";
    }
    if (showsNoDescription()) {
        return "9";
    }
    if (descriptionText().size() > kLongestDescription) {
        return "10";
    }
    // The form page goes out as Big5: a character that it cannot carry would
    // reach the service as "?".
    for (const QString& text : {descriptionText(), email}) {
        const QString outside = firstCharacterOutsideBig5(text);
        if (!outside.isEmpty()) {
            gMsgParam = outside;
            return kUnsendableMessage;
        }
    }
    return IsServerOnline() ? QString() : QStringLiteral("1");
}

void frmFeedback::refuse(const QString& messageId) {
    showMessageAndWait(messageId, 1, "OK", messageId == "1" ? "1" : "0");
}

bool frmFeedback::postFeedback(const QString& email) {
    const QString action = gFeedbackURL + "p_feedback.asp";
    return SubmitFormPage(webMain,
                          FormPostPage(action, {{"pno", gPno},
                                                {"qcode", mQcode},
                                                {"errcode", mErrCode},
                                                {"sentence", mSentence},
                                                {"remarks", descriptionText()},
                                                {"email", email}}),
                          action);
}

bool frmFeedback::eventFilter(QObject* watched, QEvent* event) {
    // Children are added before the controls below exist.
    if (!txtDesc) {
        return SkinnedDialog::eventFilter(watched, event);
    }
    if (watched == txtDesc->viewport() && isLeftClick(event)) {
        txtDesc_Click();
    } else if (watched == txtDesc && isFocusLostToControl(event)) {
        txtDesc_LostFocus();
    }
    for (int i = 0; i < 2; ++i) {
        if (watched == lblNeedRes[i] && isLeftClick(event)) {
            lblNeedRes_Click(i);
            return true;
        }
    }
    return SkinnedDialog::eventFilter(watched, event);
}
