#include "startup/frmSplash.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QPointer>

#include "platform/forminstance.h"
#include "platform/twips.h"
#include "platform/waituntil.h"
#include "platform/windowskin.h"
#include "shared/globals.h"
#include "shared/install.h"
#include "startup/runningversion.h"

namespace {

constexpr int kHideIntervalMs = 1500;
constexpr int kOffScreenLeftTwips = -20000;
constexpr int kShownAlpha = 240;

// The labels stand in the lower band of the picture, below the title.
constexpr int kLabelLeftTwips = 570;
constexpr int kLabelWidthTwips = 6000;
constexpr int kLabelHeightTwips = 330;
constexpr int kVersionTopTwips = 2550;
constexpr int kEngineTopTwips = 2925;
constexpr int kVerNameTopTwips = 3300;

QLabel* makeLabel(QWidget* parent, int topTwips) {
    auto* label = new QLabel(parent);
    label->setGeometry(twipsToPixels(kLabelLeftTwips), twipsToPixels(topTwips),
                       twipsToPixels(kLabelWidthTwips), twipsToPixels(kLabelHeightTwips));
    QFont font;
    font.setPixelSize(14);
    label->setFont(font);
    label->setStyleSheet("color: white;");
    return label;
}

}  // namespace

frmSplash::frmSplash() : SkinnedDialog(true) {
    createControls();
    tmrHide.setInterval(kHideIntervalMs);
    connect(&tmrHide, &QTimer::timeout, this, &frmSplash::tmrHide_Timer);
}

void frmSplash::createControls() {
    imgClose->hide();
    lblVersion = makeLabel(picBG, kVersionTopTwips);
    lblEngineVer = makeLabel(picBG, kEngineTopTwips);
    lblVerName = makeLabel(picBG, kVerNameTopTwips);
}

void frmSplash::Form_Load() {
    move(twipsToPixels(kOffScreenLeftTwips), y());
    lblVersion->setText("軟體版本 : " + RunningVersionText() + editionSuffix());
    setSkin(editionPicture());
    lblEngineVer->setText("引擎版本 : " + GetExeVersion(gEnginePath + "glossor2.exe"));
    lblVerName->setText("正在取得...");
    startFadeIn();
    show();
    doEvents();
    // A close that starts during the fade-in ends the fade-in as well: the
    // window may be gone by the time the wait returns.
    QPointer<frmSplash> self(this);
    waitUntil(
        [&self] { return !self || self->mClosing || windowskin::alpha(self) >= kShownAlpha; });
    if (self && !mClosing) {
        lblVerName->setText(gVersionType);
    }
}

QString frmSplash::editionSuffix() const {
    if (gEdition == "LXV") {
        return " (個人版)";
    }
    if (gEdition == "LXQ") {
        return " (校園版)";
    }
    return gEdition == "LXM" ? " (校園雲端版)" : QString();
}

// Only the edition's own picture is decoded: the other one never shows.
const QPixmap& frmSplash::editionPicture() {
    const int index = gEdition == "LXQ" ? 1 : 0;
    QPixmap& picture = imgSplash[index];
    if (picture.isNull()) {
        picture = QPixmap(QStringLiteral(":/skin/splash-%1.png").arg(index));
    }
    return picture;
}

void frmSplash::closeForm() {
    if (mClosing) {
        return;
    }
    mClosing = true;
    startFadeOut();
}

// The splash has no close image; it closes as when it is clicked.
void frmSplash::closeFromWindowSystem() {
    closeForm();
}

void frmSplash::tmrHide_Timer() {
    tmrHide.stop();
    closeForm();
}

void frmSplash::picBG_Click() {
    closeForm();
}

void frmSplash::Form_Deactivate() {
    closeForm();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picBG && event->type() == QEvent::MouseButtonPress) {
        picBG_Click();
        return true;
    }
    return SkinnedDialog::eventFilter(watched, event);
}

void frmSplash::changeEvent(QEvent* event) {
    SkinnedDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible()) {
        Form_Deactivate();
    }
}

void frmSplash::unloadForm() {
    FormInstance<frmSplash>::unload();
}
