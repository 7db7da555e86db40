#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>

#include "platform/browser.h"
#include "platform/treeview.h"
#include "platform/twips.h"
#include "tests/support/mainwindowfixture.h"
#include "workspace/frmMain.h"

namespace {

class MainWindowLayoutTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window = makeMainWindow("LXV");
    }

    // A restored window of the given size, laid out.
    void showNormalSized(int width, int height) {
        window->showNormal();
        window->resize(width, height);
        QCoreApplication::processEvents();
    }

    QWidget* surface() const { return window->centralWidget(); }

    // A point in the gap between the two panes, in the surface's pixels.
    QPoint splitterGap() const {
        const int gapX = (window->picLeft->geometry().right() + window->picRight->x() + 1) / 2;
        return {gapX, window->picLeft->y() + window->picLeft->height() / 2};
    }

    void dragSplitterTo(int x) {
        const QPoint gap = splitterGap();
        QTest::mousePress(surface(), Qt::LeftButton, {}, gap);
        QTest::mouseMove(surface(), QPoint(x, gap.y()));
        QTest::mouseRelease(surface(), Qt::LeftButton, {}, QPoint(x, gap.y()));
    }

    frmMain* window = nullptr;
};

TEST_F(MainWindowLayoutTest, ANarrowOrLowWindowIsEnlargedToTheMinimumFirst) {
    showNormalSized(700, 600);
    EXPECT_EQ(window->width(), twipsToPixels(12000));

    showNormalSized(900, 400);
    EXPECT_EQ(window->width(), 900);
    EXPECT_EQ(window->height(), twipsToPixels(8250));
}

// 803 pixels are 12045 twips, the nearest to the 12040 of the measures:
// tree 3601, work pane from 3641 and 8404 wide, i.e. 240, 242 and 560 pixels.
TEST_F(MainWindowLayoutTest, TheTreePaneTakesItsShareOfTheWidthLessTheGap) {
    showNormalSized(803, 700);
    ASSERT_EQ(surface()->width(), 803);

    EXPECT_EQ(window->picLeft->x(), 0);
    EXPECT_EQ(window->picLeft->width(), 240);
    EXPECT_EQ(window->picRight->x(), 242);
    EXPECT_EQ(window->picRight->width(), 560);
}

TEST_F(MainWindowLayoutTest, PanesFillTheHeightBetweenToolBarAndStatusLine) {
    showNormalSized(900, 700);
    const int paneTop = window->picMenu->height();
    const int paneHeight = surface()->height() - paneTop - window->stbStatus->height();

    EXPECT_EQ(window->picMenu->geometry(), QRect(0, 0, surface()->width(), paneTop));
    for (QWidget* pane : {window->picLeft, window->picRight}) {
        EXPECT_EQ(pane->y(), paneTop);
        EXPECT_EQ(pane->height(), paneHeight);
    }
    EXPECT_EQ(window->stbStatus->geometry().bottom(), surface()->height() - 1);
    EXPECT_EQ(window->treMain->size(), window->picLeft->size());
}

TEST_F(MainWindowLayoutTest, WithTheQuizAreaHiddenTheInfoAreaFillsTheWorkPane) {
    showNormalSized(900, 700);
    window->SetRightAreaStyle(false, true);

    EXPECT_TRUE(window->picQuizArea->isHidden());
    EXPECT_TRUE(window->picAnsArea->isHidden());
    EXPECT_EQ(window->picInfoArea->geometry(), QRect(QPoint(0, 0), window->picRight->size()));
    EXPECT_EQ(window->webMain->width(), window->picInfoArea->width());
    EXPECT_EQ(window->webMain->geometry().bottom(), window->picInfoArea->height() - 1);
}

TEST_F(MainWindowLayoutTest, WithTheQuizAreaShownTheAreasAreStackedAndTheTabsSitAtTheRight) {
    showNormalSized(900, 700);
    window->SetRightAreaStyle(true, true);

    const int quizHeight = twipsToPixels(2250);
    const int ansHeight = twipsToPixels(1275);
    const int infoHeight = window->picRight->height() - ansHeight - quizHeight;
    EXPECT_EQ(window->picInfoArea->height(), infoHeight);
    EXPECT_EQ(window->picQuizArea->geometry(),
              QRect(0, infoHeight, window->picRight->width(), quizHeight));
    EXPECT_EQ(window->picAnsArea->geometry(),
              QRect(0, infoHeight + quizHeight, window->picRight->width(), ansHeight));
    EXPECT_EQ(window->webQuiz->size(), window->picQuizArea->size());
    EXPECT_EQ(window->txtInput->geometry().right(), window->picAnsArea->width() - 1);
    EXPECT_EQ(window->txtInput->geometry().bottom(), ansHeight - 1);

    const int areaWidth = pixelsToTwips(window->picInfoArea->width());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(window->picInfoMenu[i]->x(), twipsToPixels(areaWidth - (4 - i) * 1250)) << i;
    }
}

TEST_F(MainWindowLayoutTest, TheQuizHeightOfAQuestionHoldsUntilTheWorkPaneIsResized) {
    showNormalSized(900, 700);
    window->mQuizHeight = 90;
    window->SetRightAreaStyle(true, true);
    EXPECT_EQ(window->picQuizArea->height(), 90);

    showNormalSized(950, 700);
    EXPECT_EQ(window->picQuizArea->height(), twipsToPixels(2250));
}

// Shown again without a layout, the areas keep their heights and stand
// below an info area that makes room for them.
TEST_F(MainWindowLayoutTest, ShowingOrHidingTheQuizWithoutResizeRestacksTheAreas) {
    showNormalSized(900, 700);
    window->SetRightAreaStyle(false, true);
    window->SetRightAreaStyle(true, false);

    const QRect quiz = window->picQuizArea->geometry();
    EXPECT_EQ(window->picInfoArea->height(), quiz.top());
    EXPECT_EQ(window->picAnsArea->y(), quiz.bottom() + 1);
    EXPECT_EQ(window->picAnsArea->geometry().bottom(), window->picRight->height() - 1);
    EXPECT_EQ(window->webMain->geometry().bottom(), window->picInfoArea->height() - 1);

    window->SetRightAreaStyle(false, false);
    EXPECT_EQ(window->picInfoArea->height(), window->picRight->height());
    EXPECT_EQ(window->webMain->geometry().bottom(), window->picRight->height() - 1);
}

TEST_F(MainWindowLayoutTest, DraggingTheSplitterStopsAtTwentyAndFortyPercent) {
    showNormalSized(1000, 700);

    dragSplitterTo(5);
    EXPECT_DOUBLE_EQ(window->mSplitRatio, 0.2);
    EXPECT_EQ(window->picLeft->width(), twipsToPixels(static_cast<int>((15000 - 40) * 0.2)));

    dragSplitterTo(995);
    EXPECT_DOUBLE_EQ(window->mSplitRatio, 0.4);
    EXPECT_EQ(window->picLeft->width(), twipsToPixels(static_cast<int>((15000 - 40) * 0.4)));

    dragSplitterTo(350);
    EXPECT_DOUBLE_EQ(window->mSplitRatio, 0.35);
    EXPECT_FALSE(window->mDragging);
}

TEST_F(MainWindowLayoutTest, OnlyTheGapBetweenThePanesIsASplitter) {
    showNormalSized(1000, 700);
    const double ratio = window->mSplitRatio;
    const QPoint onPane = window->picLeft->geometry().center();

    QTest::mousePress(window->picLeft, Qt::LeftButton, {}, window->picLeft->rect().center());
    QTest::mouseMove(surface(), QPoint(350, onPane.y()));
    QTest::mouseRelease(window->picLeft, Qt::LeftButton, {}, window->picLeft->rect().center());
    EXPECT_FALSE(window->mDragging);

    QTest::mouseMove(surface(), splitterGap());
    QTest::mouseMove(surface(), QPoint(350, onPane.y()));
    EXPECT_DOUBLE_EQ(window->mSplitRatio, ratio);
}

}  // namespace
