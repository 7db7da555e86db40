#include <QLabel>
#include <QMouseEvent>
#include <QUrl>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "platform/waituntil.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/settingsfiles.h"
#include "startup/modalshow.h"
#include "workspace/batchedrepaint.h"
#include "workspace/frmFeedback.h"
#include "workspace/frmMain.h"
#include "workspace/frmMain_measures.h"
#include "workspace/frmSample.h"
#include "workspace/frmSearch.h"
#include "workspace/frmSentence.h"
#include "workspace/twipsgeometry.h"

using namespace mainmeasures;
using namespace twipsgeometry;

namespace {

constexpr int kCaptionFontPixels = 12;

const std::array<const char*, kToolButtonCount> kButtonCaptions{
    "學習進度", "犯錯記錄", "題目搜尋", "前一練習", "後一練習", "回前內容",
    "造句範例", "我的造句", "批改句子", "問題回饋", "結束離開"};

const std::array<const char*, kInfoTabCount> kTabCaptions{"學習內容", "分析結果", "個人資訊",
                                                          "使用手冊"};

template <class Control, std::size_t N>
int indexOf(const std::array<Control*, N>& controls, const QObject* watched) {
    for (std::size_t i = 0; i < N; ++i) {
        if (controls[i] == watched) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool isReleaseInside(QObject* watched, QMouseEvent* event) {
    const auto* control = static_cast<QWidget*>(watched);
    return event->button() == Qt::LeftButton &&
           control->rect().contains(event->position().toPoint());
}

}  // namespace

// Later buttons lie above earlier ones, so button 6 covers button 5, whose
// place it shares.
void frmMain::buildToolBar() {
    QFont captionFont = font();
    captionFont.setPixelSize(kCaptionFontPixels);
    for (int i = 0; i < kToolButtonCount; ++i) {
        picMenus[i] = new QLabel(picMenu);
        moveTwips(picMenus[i], kFirstToolButtonLeft, kToolButtonTop, 0, 0);
        imgMenus[i] = new QLabel(picMenus[i]);
        imgMenus[i]->setScaledContents(true);
        lblMenus[i] = new QLabel(picMenus[i]);
        lblMenus[i]->setFont(captionFont);
        picMenus[i]->setMouseTracking(true);
        lblMenus[i]->setMouseTracking(true);
    }
}

void frmMain::setCaptionColour(QLabel* caption, const QColor& colour) {
    QPalette palette = caption->palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, colour);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    caption->setPalette(palette);
}

void frmMain::SetMenuButtons(int pIndex, int pStyle) {
    picMenusTag[kButtonPageBack] = "NONE";
    if (pIndex == kWholeBar) {
        picMenu->hide();
        for (int i = 0; i < kToolButtonCount; ++i) {
            lblMenus[i]->setText(QString::fromUtf8(kButtonCaptions[i]));
        }
        for (int i = 0; i < kToolButtonCount; ++i) {
            setCaptionColour(lblMenus[i], kButtonCaption);
            imgMenus[i]->setPixmap(imgMenusPic[i]);
            picMenus[i]->setEnabled(true);
            lblMenus[i]->setEnabled(true);
            paintButtonFace(i, kFaceNormal);
            placeButtonContents(i);
        }
        placeButtons();
        setHeightTwips(picMenu, heightTwips(picMenus[0]) + kToolBarBottomMargin);
        picMenu->show();
        return;
    }
    if (pIndex < 0 || pIndex >= kToolButtonCount) {
        return;
    }
    switch (pStyle) {
        case kStyleDisable:
        case kStyleEnable: {
            const bool enable = pStyle == kStyleEnable;
            paintButtonFace(pIndex, kFaceNormal);
            imgMenus[pIndex]->setPixmap(enable ? imgMenusPic[pIndex] : imgMenusPicDisable[pIndex]);
            picMenus[pIndex]->setEnabled(enable);
            lblMenus[pIndex]->setEnabled(enable);
            doEvents();
            break;
        }
        case kFaceNormal:
        case kFacePressed:
        case kFaceHover:
            // A disabled button keeps its greyed look.
            if (picMenus[pIndex]->isEnabled()) {
                paintButtonFace(pIndex, pStyle);
                imgMenus[pIndex]->setPixmap(imgMenusPic[pIndex]);
                doEvents();
            }
            break;
        default:
            break;
    }
}

// A button takes the size of its face.
void frmMain::paintButtonFace(int pIndex, int pFace) {
    const QPixmap& face =
        mButtonStyle == kLargeIcons ? imgMenusBtn[pFace] : imgMenusSmallBtn[pFace];
    picMenus[pIndex]->setPixmap(face);
    picMenus[pIndex]->resize(face.size());
}

void frmMain::placeButtonContents(int pIndex) {
    QLabel* button = picMenus[pIndex];
    QLabel* icon = imgMenus[pIndex];
    QLabel* caption = lblMenus[pIndex];
    caption->adjustSize();
    const int buttonWidth = widthTwips(button);
    const int buttonHeight = heightTwips(button);
    const int captionWidth = widthTwips(caption);
    const int captionHeight = heightTwips(caption);
    switch (mButtonStyle) {
        case kLargeIcons:
            moveTwips(icon, (buttonWidth - kLargeIconSize) / 2, kLargeIconTop, kLargeIconSize,
                      kLargeIconSize);
            icon->show();
            moveTwips(caption, (buttonWidth - captionWidth) / 2, kLargeCaptionTop, captionWidth,
                      captionHeight);
            break;
        case kSmallIcons:
            moveTwips(icon, kSmallIconLeft, (buttonHeight - kSmallIconSize) / 2, kSmallIconSize,
                      kSmallIconSize);
            icon->show();
            moveTwips(caption, buttonWidth - captionWidth - kSmallCaptionRightMargin,
                      (buttonHeight - captionHeight) / 2, captionWidth, captionHeight);
            break;
        default:
            moveTwips(icon, 0, 0, 1, 1);
            icon->hide();
            moveTwips(caption, (buttonWidth - captionWidth) / 2, (buttonHeight - captionHeight) / 2,
                      captionWidth, captionHeight);
            break;
    }
}

// A button follows the one before it, skipping one that takes no room.
void frmMain::placeButtons() {
    for (int i = 1; i < kToolButtonCount; ++i) {
        int previous = i - 1;
        if (picMenusTag[previous] == "NONE") {
            previous = i - 2;
        }
        setLeftTwips(picMenus[i], leftTwips(picMenus[previous]) + widthTwips(picMenus[previous]));
    }
}

void frmMain::SetInfoMenu(int pIndex, int pDisableIndex, bool pReset) {
    if (pReset) {
        for (int i = 0; i < kInfoTabCount; ++i) {
            lblInfoMenu[i]->setText(QString::fromUtf8(kTabCaptions[i]));
        }
    }
    for (int i = 0; i < kInfoTabCount; ++i) {
        picInfoMenu[i]->setPixmap(imgInfoMenuOff);
        setCaptionColour(lblInfoMenu[i], i == pDisableIndex ? kGreyedTabCaption : kTabCaption);
    }
    if (pIndex >= 0 && pIndex < kInfoTabCount) {
        picInfoMenu[pIndex]->setPixmap(imgInfoMenuOn);
        setCaptionColour(lblInfoMenu[pIndex], kTabCaption);
    }
}

void frmMain::InitialClassInterface(bool pOuterCall) {
    {
        BatchedRepaint wholeBar(picMenu);
        for (int button :
             {kButtonHistoryBack, kButtonHistoryForward, kButtonCheck, kButtonFeedback}) {
            SetMenuButtons(button, kStyleDisable);
        }
    }
    mInfoDisabledTab = kTabResult;
    SetInfoMenu(kTabContent, mInfoDisabledTab, true);
    gHistoryCount = 0;
    gHistoryPos = 0;
    gStudyPageDirty = true;
    if (!pOuterCall) {
        webMain->Navigate2("about:blank");
        webQuiz->Navigate2("about:blank");
        gQuizSelected = false;
    }
}

void frmMain::picMenus_Click(int Index) {
    switch (Index) {
        case kButtonProgress:
            SetRightAreaStyle(false, false);
            SetInfoMenu(kTabPersonal, mInfoDisabledTab, false);
            if (gEdition == "LXV") {
                CalcProgressPage();
            } else {
                CalcProgressPageLXQ();
            }
            break;
        case kButtonErrors:
            SetRightAreaStyle(false, false);
            SetInfoMenu(kTabPersonal, mInfoDisabledTab, false);
            if (gEdition == "LXV") {
                GetHtmlListAllErrType();
            } else {
                GetHtmlListAllErrTypeLXQ();
            }
            break;
        case kButtonSearch:
            FormInstance<frmSearch>::get()->show();
            break;
        case kButtonHistoryBack:
            if (gHistoryPos - 1 >= 1) {
                --gHistoryPos;
                SetTreeNowSelect(gHistory[gHistoryPos], true);
            }
            break;
        case kButtonHistoryForward:
            if (gHistoryPos + 1 <= gHistoryCount) {
                ++gHistoryPos;
                SetTreeNowSelect(gHistory[gHistoryPos], true);
            }
            break;
        case kButtonPageBack:
            webMain->goBack();
            break;
        case kButtonExamples:
            FormInstance<frmSample>::get()->show();
            break;
        case kButtonMySentences:
            FormInstance<frmSentence>::get()->show();
            break;
        case kButtonCheck:
            PassStringToEngine();
            break;
        case kButtonFeedback:
            showFeedback();
            break;
        case kButtonExit:
            QueryForCloseProc();
            break;
        default:
            break;
    }
}

// Feedback is about a graded sentence; before the first check there is none.
// While its send is on its way the window is loaded but stepped aside:
// opening it again over that send would end the send unseen.
void frmMain::showFeedback() {
    if (FormInstance<frmFeedback>::isLoaded()) {
        return;
    }
    const QString sentence = SetFile_IO(gRegistrySetFile, "R", "sentence");
    if (!sentence.isEmpty() && sentence != "0") {
        CloseOtherUpForm();
        showModalAndWait(FormInstance<frmFeedback>::get());
        return;
    }
    MessageBoxAndWait("7", 0, "OK", "0");
}

void frmMain::picMenus_MouseMove(int Index) {
    if (Index != mHoverButton && lblMenus[Index]->isEnabled()) {
        SetMenuButtons(mHoverButton, kFaceNormal);
        SetMenuButtons(Index, kFaceHover);
        mHoverButton = Index;
    }
}

void frmMain::picMenus_MouseDown(int Index) {
    SetMenuButtons(Index, kFacePressed);
    shiftButtonContents(Index, kPressShift);
    doEvents();
}

void frmMain::picMenus_MouseUp(int Index) {
    SetMenuButtons(Index, kFaceHover);
    shiftButtonContents(Index, -kPressShift);
    doEvents();
}

// The shift is less than a pixel; it still shows as one.
void frmMain::shiftButtonContents(int pIndex, int pTwips) {
    const int pixels = std::max(1, twipsToPixels(std::abs(pTwips)));
    const int shift = pTwips < 0 ? -pixels : pixels;
    for (QLabel* control : {imgMenus[pIndex], lblMenus[pIndex]}) {
        control->move(control->x() + shift, control->y());
    }
}

void frmMain::picMenu_MouseMove() {
    if (mHoverButton != kNone) {
        SetMenuButtons(mHoverButton, kFaceNormal);
        mHoverButton = kNone;
    }
}

void frmMain::picInfoMenu_Click(int Index) {
    if (Index == mInfoDisabledTab || treMain->count() == 0) {
        return;
    }
    SetInfoMenu(Index, mInfoDisabledTab, false);
    switch (Index) {
        case kTabContent:
            SetRightAreaStyle(gQuizSelected, false);
            if (TreeNode* selected = treMain->selectedItem()) {
                treMain_NodeClick(selected);
            }
            break;
        case kTabResult:
            SetRightAreaStyle(true, false);
            webMain->Navigate2(
                QUrl::fromLocalFile(gBasePath + "/Lexivo2/" + gHtmlFolderName + "/check.htm")
                    .toString());
            break;
        case kTabPersonal:
            SetRightAreaStyle(false, false);
            picMenus_Click(kButtonProgress);
            break;
        case kTabManual:
            SetRightAreaStyle(false, false);
            webMain->Navigate2(onlineManualUrl());
            break;
        default:
            break;
    }
}

// A caption passes its mouse to its button; a disabled button takes none,
// and moving over it takes the hover face off the others.
bool frmMain::toolBarMouseEvent(QObject* watched, QMouseEvent* event) {
    int index = indexOf(picMenus, watched);
    if (index < 0) {
        index = indexOf(lblMenus, watched);
    }
    if (index < 0) {
        return false;
    }
    if (!picMenus[index]->isEnabled() || !lblMenus[index]->isEnabled()) {
        if (event->type() == QEvent::MouseMove) {
            picMenu_MouseMove();
        }
        return true;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            notePress(event);
            picMenus_MouseDown(index);
            break;
        case QEvent::MouseMove:
            picMenus_MouseMove(index);
            break;
        case QEvent::MouseButtonRelease: {
            // Settled before the release pumps events: a busy program meets
            // the double-click of the same click in that pump.
            const bool clicks = releaseClicks(watched, event);
            picMenus_MouseUp(index);
            if (clicks) {
                picMenus_Click(index);
            }
            break;
        }
        default:
            break;
    }
    return true;
}

bool frmMain::infoTabMouseEvent(QObject* watched, QMouseEvent* event) {
    int index = indexOf(picInfoMenu, watched);
    if (index < 0) {
        index = indexOf(lblInfoMenu, watched);
    }
    if (index < 0) {
        return false;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            notePress(event);
            break;
        case QEvent::MouseButtonRelease:
            if (releaseClicks(watched, event)) {
                picInfoMenu_Click(index);
            }
            break;
        default:
            break;
    }
    return true;
}

// Qt sends a double-click as press, release, double-click, release; the
// learner meant one click.
void frmMain::notePress(QMouseEvent* event) {
    mDoubleClickPress = event->type() == QEvent::MouseButtonDblClick;
}

bool frmMain::releaseClicks(QObject* watched, QMouseEvent* event) const {
    return !mDoubleClickPress && isReleaseInside(watched, event);
}
