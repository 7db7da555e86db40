#include "workspace/toolwindow.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

#include "platform/browser.h"
#include "platform/twips.h"
#include "platform/waituntil.h"
#include "shared/dialogstyle.h"
#include "shared/globals.h"
#include "shared/helpers.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");

// The window is 6300 x 4500 twips: the caption band, a row of tabs where the
// window has them, and the list below.
const QRect kCaptionTwips(240, 0, 5400, 510);
constexpr int kTabTopTwips = 600;
constexpr int kTabSpacingTwips = 1250;
constexpr int kTabsRightMarginTwips = 300;
const QRect kListTwips(150, 600, 6000, 3750);
const QRect kListBelowTabsTwips(150, 975, 6000, 3375);

}  // namespace

ToolWindow::ToolWindow(bool* openFlag) : SkinnedDialog(true, openFlag) {
    createControls();
}

void ToolWindow::createControls() {
    imgInfoMenuOn = QPixmap(":/skin/tooltab-on.png");
    imgInfoMenuOff = QPixmap(":/skin/tooltab-off.png");

    picCaption = new QLabel(picBG);
    picCaption->setGeometry(pixelsOf(kCaptionTwips));
    picCaption->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblCaption = newCaptionLabel(picCaption);
    lblCaption->setGeometry(picCaption->rect());

    webMain = new Browser(picBG);
    webMain->setGeometry(pixelsOf(kListTwips));
}

void ToolWindow::openAtRightEdge(int topTwips) {
    setSkin(QPixmap(":/skin/toolwindow-bg.png"));
    imgClose->raise();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect();
    move(area.x() + area.width() - width(), area.y() + twipsToPixels(topTwips));
    startFadeIn(false);
}

void ToolWindow::createTabs(QLabel** pictures, QLabel** captions, int count) {
    for (int i = 0; i < count; ++i) {
        auto* picture = new QLabel(picBG);
        picture->setPixmap(imgInfoMenuOff);
        picture->resize(imgInfoMenuOff.size());
        picture->move(0, twipsToPixels(kTabTopTwips));
        picture->setCursor(Qt::PointingHandCursor);
        auto* caption = new QLabel(picture);
        caption->setGeometry(picture->rect());
        caption->setAlignment(Qt::AlignCenter);
        caption->setFont(dialogFont(13, false));
        for (QLabel* control : {picture, caption}) {
            control->installEventFilter(this);
        }
        pictures[i] = picture;
        captions[i] = caption;
        mTabPictures.append(picture);
        mTabCaptions.append(caption);
    }
    webMain->setGeometry(pixelsOf(kListBelowTabsTwips));
}

void ToolWindow::paintTabs(int pIndex, bool pReset, const QStringList& captions) {
    const int count = int(mTabPictures.size());
    for (int i = 0; i < count; ++i) {
        QLabel* picture = mTabPictures.at(i);
        if (pReset) {
            const int leftTwips = pixelsToTwips(picBG->width()) - kTabSpacingTwips * (count - i) -
                                  kTabsRightMarginTwips;
            picture->move(twipsToPixels(leftTwips), picture->y());
            mTabCaptions.at(i)->setText(captions.value(i));
        }
        picture->setPixmap(i == pIndex ? imgInfoMenuOn : imgInfoMenuOff);
        mTabCaptions.at(i)->setStyleSheet("color: rgb(255, 255, 255);");
    }
}

void ToolWindow::picInfoMenu_Click(int Index) {
    Q_UNUSED(Index);
}

int ToolWindow::tabIndexOf(QObject* control) const {
    for (int i = 0; i < mTabPictures.size(); ++i) {
        if (control == mTabPictures.at(i) || control == mTabCaptions.at(i)) {
            return i;
        }
    }
    return -1;
}

// A press on a tab is the tab's, not the start of a drag of the window.
bool ToolWindow::eventFilter(QObject* watched, QEvent* event) {
    const int tab = tabIndexOf(watched);
    if (tab < 0) {
        return SkinnedDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseButtonPress) {
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* release = static_cast<QMouseEvent*>(event);
        const auto* control = static_cast<QWidget*>(watched);
        if (release->button() == Qt::LeftButton &&
            control->rect().contains(release->position().toPoint())) {
            picInfoMenu_Click(tab);
        }
        return true;
    }
    return SkinnedDialog::eventFilter(watched, event);
}

void ToolWindow::clearList() {
    webMain->hide();
    webMain->Navigate2("about:blank");
    doEvents();
}

void ToolWindow::showList(const QString& page) {
    webMain->writeDocument(page);
    webMain->reload();
    webMain->show();
    doEvents();
}

QString ToolWindow::questionCode() {
    return gNodeKey.startsWith("QUIZ_") ? gNodeKey.mid(5) : gNodeKey;
}

// The list may be neither dragged, nor selected, nor given a context menu.
QString ToolWindow::listPageHead(const QString& cellLine) {
    return GetHtmlHeader("HEADER", "#FFFFFF") +
           "<body scroll='auto' topmargin='0' leftmargin='0' rightmargin='0' bottommargin='0' "
           "ONDRAGSTART='window.event.returnValue=false' "
           "ONCONTEXTMENU='window.event.returnValue=false' "
           "onSelectStart='event.returnValue=false'>" +
           CRLF + "<div align='left'>" + CRLF + "<table border='0' width='80%' id='table1'>" +
           CRLF + cellLine + CRLF;
}

QString ToolWindow::listPageFoot() {
    return "</td>" + CRLF + "</table>" + CRLF + GetHtmlHeader("FOOTER");
}
