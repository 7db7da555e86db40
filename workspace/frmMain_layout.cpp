#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>

#include "platform/browser.h"
#include "platform/treeview.h"
#include "workspace/frmMain.h"
#include "workspace/frmMain_measures.h"
#include "workspace/twipsgeometry.h"

using namespace mainmeasures;
using namespace twipsgeometry;

// Each size change made here raises a resize, which lays the window out
// again with the new size.
void frmMain::ArrangeMainLayout() {
    if (isMinimized()) {
        return;
    }
    if (pixelsToTwips(width()) < kMinWindowWidth) {
        resize(twipsToPixels(kMinWindowWidth), height());
        return;
    }
    if (pixelsToTwips(height()) < kMinWindowHeight) {
        resize(width(), twipsToPixels(kMinWindowHeight));
        return;
    }
    const int innerWidth = widthTwips(centralWidget());
    const int innerHeight = heightTwips(centralWidget());
    moveTwips(picMenu, 0, 0, innerWidth, heightTwips(picMenu));

    const int usableWidth = innerWidth - kSplitterGap;
    const int leftWidth = std::max(kMinPaneWidth, static_cast<int>(usableWidth * mSplitRatio));
    const int paneTop = heightTwips(picMenu);
    const int paneHeight = innerHeight - heightTwips(picMenu) - heightTwips(stbStatus);
    moveTwips(picLeft, 0, paneTop, leftWidth, paneHeight);

    const int rightWidth = usableWidth - leftWidth;
    if (rightWidth < kMinPaneWidth) {
        return;
    }
    moveTwips(picRight, leftWidth + kSplitterGap, paneTop, rightWidth, paneHeight);
}

void frmMain::ReSizeRight(double pQuizHeight, double pAnsHeight) {
    const int rightWidth = widthTwips(picRight);
    const int rightHeight = heightTwips(picRight);
    for (QWidget* area : {picInfoArea, picQuizArea, picAnsArea}) {
        setWidthTwips(area, rightWidth);
    }
    if (picQuizArea->isHidden()) {
        moveTwips(picInfoArea, 0, 0, rightWidth, rightHeight);
    } else {
        const int ansHeight =
            pAnsHeight == 0 ? kDefaultAnsHeight : static_cast<int>(pAnsHeight * kTwipsPerPixel);
        const int quizHeight =
            pQuizHeight == 0 ? kDefaultQuizHeight : static_cast<int>(pQuizHeight * kTwipsPerPixel);
        const int infoHeight = rightHeight - ansHeight - quizHeight;
        moveTwips(picInfoArea, 0, 0, rightWidth, infoHeight);
        moveTwips(picQuizArea, 0, infoHeight, rightWidth, quizHeight);
        moveTwips(picAnsArea, 0, quizHeight + infoHeight, rightWidth, ansHeight);
    }
    const int infoWidth = widthTwips(picInfoArea);
    for (int i = 0; i < kInfoTabCount; ++i) {
        setLeftTwips(picInfoMenu[i], infoWidth - (kInfoTabCount - i) * kInfoTabSpacing);
    }
    setWidthTwips(webMain, infoWidth);
    setHeightTwips(webMain, heightTwips(picInfoArea) - topTwips(webMain));
    if (!picQuizArea->isHidden()) {
        setWidthTwips(webQuiz, widthTwips(picQuizArea));
        setHeightTwips(webQuiz, heightTwips(picQuizArea) - topTwips(webQuiz));
        setWidthTwips(txtInput, widthTwips(picAnsArea) - leftTwips(txtInput));
        setHeightTwips(txtInput, heightTwips(picAnsArea) - topTwips(txtInput));
    }
}

// Without a resize the quiz and answer areas keep their heights; the info
// area takes what they leave, and the two areas stand right below it, so the
// page is neither cut off by an info area of an earlier height nor covered
// by areas left at an earlier place.
void frmMain::SetRightAreaStyle(bool pStyle, bool pNeedResize) {
    picQuizArea->setVisible(pStyle);
    picAnsArea->setVisible(pStyle);
    if (pNeedResize) {
        ReSizeRight(mQuizHeight, 0);
        return;
    }
    const int rightHeight = heightTwips(picRight);
    const int quizHeight = heightTwips(picQuizArea);
    const int infoHeight =
        pStyle ? rightHeight - heightTwips(picAnsArea) - quizHeight : rightHeight;
    setHeightTwips(picInfoArea, infoHeight);
    setHeightTwips(webMain, infoHeight - topTwips(webMain));
    if (pStyle) {
        setTopTwips(picQuizArea, infoHeight);
        setTopTwips(picAnsArea, infoHeight + quizHeight);
    }
}
