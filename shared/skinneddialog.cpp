#include "shared/skinneddialog.h"

#include <QCloseEvent>
#include <QCursor>
#include <QHash>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include "platform/forminstance.h"
#include "platform/twips.h"
#include "platform/windowskin.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/skin.h"

namespace {

constexpr int kFadeIntervalMs = 10;
constexpr int kFadeInStep = 30;
constexpr int kFadeOutStep = -20;
constexpr int kFadeMaximum = 240;

// The close image sits in the top right corner of the background.
constexpr int kCloseTopTwips = 105;
constexpr int kCloseRightTwips = 150;

// The hand's finger tip.
const QPoint kHandHotSpot(10, 1);

// A flag belongs to the dialog that set it last, so that a dialog on its way
// out never clears the flag of the new one that has taken its place.
QHash<bool*, const SkinnedDialog*>& openFlagOwners() {
    static QHash<bool*, const SkinnedDialog*> owners;
    return owners;
}

QCursor handCursor() {
    return QCursor(QPixmap(":/skin/hand.png"), kHandHotSpot.x(), kHandHotSpot.y());
}

}  // namespace

SkinnedDialog::SkinnedDialog(bool topmost, bool* openFlag, OpenFlagClear clearFlag)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      mOpenFlag(openFlag),
      mOpenFlagClear(clearFlag) {
    ensureSkinResources();
    windowskin::setTopmost(this, topmost);
    setOpenFlag();
    createControls();
}

SkinnedDialog::~SkinnedDialog() {
    clearOpenFlag();
}

void SkinnedDialog::createControls() {
    mCloseNormal = QPixmap(":/skin/close.png");
    mCloseHover = QPixmap(":/skin/close-hover.png");

    picBG = new QLabel(this);
    picBG->move(0, 0);
    imgBackground = new QLabel(picBG);
    imgBackground->resize(0, 0);
    imgClose = new QLabel(picBG);
    imgClose->setPixmap(mCloseNormal);
    imgClose->resize(mCloseNormal.size());
    imgClose->setCursor(handCursor());

    for (QLabel* control : {picBG, imgBackground, imgClose}) {
        control->setMouseTracking(true);
        control->installEventFilter(this);
    }

    tmrTransparentForm = new QTimer(this);
    tmrTransparentForm->setInterval(kFadeIntervalMs);
    connect(tmrTransparentForm, &QTimer::timeout, this, &SkinnedDialog::tmrTransparentForm_Timer);
}

void SkinnedDialog::setSkin(const QPixmap& background) {
    picBG->setPixmap(background);
    picBG->move(0, 0);
    picBG->resize(background.size());
    resize(picBG->size());
    windowskin::applyColourKey(this, background);
    imgClose->move(width() - imgClose->width() - twipsToPixels(kCloseRightTwips),
                   twipsToPixels(kCloseTopTwips));
}

void SkinnedDialog::startFadeIn(bool centre) {
    if (isUnloaded()) {
        return;
    }
    picBG->move(0, 0);
    resize(picBG->size());
    if (centre) {
        SetFormCenter(this);
    }
    mMaximum = kFadeMaximum;
    mAlpha = 0;
    mStep = kFadeInStep;
    SetFormTransparent(this, 0);
    tmrTransparentForm->start();
}

void SkinnedDialog::startFadeOut() {
    if (isUnloaded()) {
        return;
    }
    mStep = kFadeOutStep;
    tmrTransparentForm->start();
    if (mOpenFlagClear == OpenFlagClear::WhenClosing) {
        clearOpenFlag();
    }
}

void SkinnedDialog::setVisible(bool visible) {
    if (visible && isUnloaded()) {
        return;
    }
    QWidget::setVisible(visible);
}

bool SkinnedDialog::isUnloaded() const {
    return forms::isUnloaded(this);
}

bool SkinnedDialog::isLeaving() const {
    return mStep < 0 || isUnloaded();
}

bool SkinnedDialog::showMessageAndWait(const QString& pMessageId, int pIcon,
                                       const QString& pFormType, const QString& pCaptionId) {
    MessageBoxAndWait(pMessageId, pIcon, pFormType, pCaptionId);
    return !isLeaving();
}

// The tick of a dialog that was unloaded by other means than its fade
// unloads nothing: the loaded dialog may be a new one by now.
void SkinnedDialog::tmrTransparentForm_Timer() {
    if (isUnloaded()) {
        tmrTransparentForm->stop();
        return;
    }
    mAlpha += mStep;
    if (mAlpha >= mMaximum) {
        mAlpha = mMaximum;
        tmrTransparentForm->stop();
    }
    if (mAlpha > 0) {
        SetFormTransparent(this, mAlpha);
        return;
    }
    mAlpha = 0;
    tmrTransparentForm->stop();
    clearOpenFlag();
    unloadForm();
}

void SkinnedDialog::picButtonsResetImage() {
    setCloseImageHover(false);
}

void SkinnedDialog::imgClose_Click() {
    startFadeOut();
}

void SkinnedDialog::closeFromWindowSystem() {
    imgClose_Click();
}

// Closing by the window system would only hide the window and leave it
// loaded, its caller waiting and its flag set, so it takes the dialog's own
// way out instead. A window that is already unloaded, on its way out, or
// disabled (its close image cannot be clicked either) is left as it is.
void SkinnedDialog::closeEvent(QCloseEvent* event) {
    if (isHidden()) {
        event->accept();
        return;
    }
    event->ignore();
    const bool closing = mStep < 0;
    if (isEnabled() && !closing) {
        closeFromWindowSystem();
    }
}

void SkinnedDialog::setCloseImageHover(bool hover) {
    imgClose->setPixmap(hover ? mCloseHover : mCloseNormal);
}

bool SkinnedDialog::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseMove:
            return handleMouseMove(watched);
        case QEvent::MouseButtonPress:
            return handleMousePress(watched, static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonRelease:
            return handleMouseRelease(watched, static_cast<QMouseEvent*>(event));
        default:
            return QWidget::eventFilter(watched, event);
    }
}

// The labels pass mouse events they do not take on to the background, so
// the close image and the image over the background keep theirs.
bool SkinnedDialog::handleMouseMove(QObject* watched) {
    if (watched == imgClose) {
        setCloseImageHover(true);
        return true;
    }
    if (watched == imgBackground) {
        picButtonsResetImage();
        return true;
    }
    if (watched == picBG) {
        setCloseImageHover(false);
    }
    return false;
}

bool SkinnedDialog::handleMousePress(QObject* watched, QMouseEvent* press) {
    if (watched == imgClose) {
        return true;
    }
    if (watched == picBG && press->button() == Qt::LeftButton) {
        windowskin::startDrag(this, press);
        return true;
    }
    return false;
}

bool SkinnedDialog::handleMouseRelease(QObject* watched, QMouseEvent* release) {
    if (watched != imgClose) {
        return false;
    }
    if (release->button() == Qt::LeftButton &&
        imgClose->rect().contains(release->position().toPoint())) {
        imgClose_Click();
    }
    return true;
}

void SkinnedDialog::setOpenFlag() {
    if (!mOpenFlag) {
        return;
    }
    *mOpenFlag = true;
    openFlagOwners().insert(mOpenFlag, this);
}

void SkinnedDialog::clearOpenFlag() {
    if (!mOpenFlag || openFlagOwners().value(mOpenFlag) != this) {
        return;
    }
    *mOpenFlag = false;
    openFlagOwners().remove(mOpenFlag);
}
