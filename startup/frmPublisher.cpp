#include "startup/frmPublisher.h"

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/twips.h"
#include "platform/waituntil.h"
#include "shared/dialogstyle.h"
#include "shared/globals.h"
#include "shared/publishernews.h"
#include "shared/settingsfiles.h"
#include "shared/skin.h"
#include "startup/modalshow.h"
#include "workspace/twipsgeometry.h"

using twipsgeometry::moveTwips;

namespace {

constexpr int kOffScreenLeftTwips = -20000;

const QRect kCaptionTwips(240, 0, 8400, 510);
const QRect kPageTwips(240, 690, 8520, 5460);
const QRect kCheckTwips(300, 6450, 300, 330);
const QRect kNoShowTwips(630, 6450, 4500, 330);
const QRect kOKButtonTwips(7380, 6360, 1380, 450);

const QString kButtonStyle = QStringLiteral(
    "QPushButton { color: #5a2a08; border: 1px solid #d89a60; border-radius: 4px;"
    " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #fbe6d2); }"
    "QPushButton:hover { border-color: #be6020; background: #fdf0e3; }"
    "QPushButton:pressed { background: #f6d7ba; }");

}  // namespace

frmPublisher::frmPublisher() : SkinnedDialog(false) {
    createControls();
}

void frmPublisher::createControls() {
    imgClose->hide();
    auto* caption = new QLabel("出版社最新消息", picBG);
    moveTwips(caption, kCaptionTwips);
    caption->setFont(dialogFont(15, true));
    caption->setStyleSheet("color: white;");

    webMain = new Browser(picBG);
    moveTwips(webMain, kPageTwips);

    chkNoShow = new QCheckBox(picBG);
    moveTwips(chkNoShow, kCheckTwips);
    lblNoshow = new QLabel("下次不要再顯示此訊息", picBG);
    moveTwips(lblNoshow, kNoShowTwips);
    lblNoshow->setFont(dialogFont(14));
    lblNoshow->setStyleSheet("color: #5a2a08;");
    lblNoshow->setCursor(Qt::PointingHandCursor);
    lblNoshow->installEventFilter(this);

    cmdOK = new QPushButton("確定", picBG);
    moveTwips(cmdOK, kOKButtonTwips);
    cmdOK->setFont(dialogFont(14));
    cmdOK->setStyleSheet(kButtonStyle);
    cmdOK->setCursor(Qt::PointingHandCursor);
    connect(cmdOK, &QPushButton::clicked, this, &frmPublisher::cmdOK_Click);
}

// The news window has no fade: it is there at once.
void frmPublisher::Form_Load() {
    setSkin(QPixmap(":/skin/publisher-bg.png"));
    SetFormCenter(this);
    doEvents();
}

void frmPublisher::RegisterAsNewsWindow() {
    RegisterPublisherNewsWindow(&frmPublisher::ShowNews);
}

void frmPublisher::ShowNews(const QString& pNewsUrl) {
    frmPublisher* window = FormInstance<frmPublisher>::get();
    window->webMain->Navigate2(pNewsUrl);
    doEvents();
    showModalAndWait(window);
}

// Clicking the label only ever ticks the box.
void frmPublisher::lblNoshow_Click() {
    chkNoShow->setChecked(true);
}

void frmPublisher::cmdOK_Click() {
    if (chkNoShow->isChecked()) {
        SetFile_IO(gSetupSetFile, "W", "publisher", PublisherNewsAddress(webMain->locationURL()));
    }
    move(twipsToPixels(kOffScreenLeftTwips), y());
    doEvents();
    unloadForm();
}

void frmPublisher::closeFromWindowSystem() {
    cmdOK_Click();
}

bool frmPublisher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblNoshow && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lblNoshow_Click();
        return true;
    }
    return SkinnedDialog::eventFilter(watched, event);
}

void frmPublisher::unloadForm() {
    FormInstance<frmPublisher>::unload();
}
