#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <QUrl>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "platform/twips.h"
#include "shared/globals.h"
#include "shared/serverconfig.h"
#include "shared/settingsfiles.h"
#include "startup/frmClassSelect.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/messagewindow.h"
#include "tests/support/windowsystem.h"
#include "workspace/frmMain.h"
#include "workspace/frmSample.h"
#include "workspace/frmSearch.h"

namespace {

const QStringList kCaptions{"學習進度", "犯錯記錄", "題目搜尋", "前一練習", "後一練習", "回前內容",
                            "造句範例", "我的造句", "批改句子", "問題回饋", "結束離開"};
constexpr int kNavigationMs = 10000;
const QColor kWhite(255, 255, 255);
const QColor kGrey(100, 100, 100);

class MainWindowToolBarTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window = makeMainWindow("LXV");
    }

    bool showsPicture(const QLabel* label, const QPixmap& picture) const {
        return label->pixmap().cacheKey() == picture.cacheKey();
    }
    bool showsFace(int button, int face) const {
        const auto& faces =
            window->mButtonStyle == 1 ? window->imgMenusBtn : window->imgMenusSmallBtn;
        return showsPicture(window->picMenus[button], faces[face]);
    }
    bool isOn(int button) const {
        return window->picMenus[button]->isEnabled() && window->lblMenus[button]->isEnabled() &&
               showsPicture(window->imgMenus[button], window->imgMenusPic[button]);
    }
    bool isOff(int button) const {
        return !window->picMenus[button]->isEnabled() && !window->lblMenus[button]->isEnabled() &&
               showsPicture(window->imgMenus[button], window->imgMenusPicDisable[button]) &&
               showsFace(button, 0);
    }
    bool tabIsSelected(int tab) const {
        return showsPicture(window->picInfoMenu[tab], window->imgInfoMenuOn);
    }
    QColor tabCaptionColour(int tab) const {
        return window->lblInfoMenu[tab]->palette().color(QPalette::Active, QPalette::WindowText);
    }

    void clickButton(int button) {
        QTest::mouseClick(window->picMenus[button], Qt::LeftButton, {}, QPoint(3, 3));
    }
    void clickTab(int tab) { QTest::mouseClick(window->lblInfoMenu[tab], Qt::LeftButton); }
    // Through the window, as the window system sends it: Qt hands the
    // control press, release, double-click, release.
    void doubleClick(QWidget* control) {
        const QPoint place = control->mapTo(window, QPoint(3, 3));
        QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, place);
    }

    // A history of three graded questions, at the position given; their
    // keys in history order.
    QStringList gradeThreeQuestions(int position, bool runNodeClick) {
        const QStringList keys{"QUIZ_U1000101", "QUIZ_U2000102", "QUIZ_U3000103"};
        for (int i = 0; i < keys.size(); ++i) {
            gHistory[i + 1] = node(keys[i])->index();
        }
        gHistoryCount = 3;
        gHistoryPos = position;
        window->SetTreeNowSelect(gHistory[position], runNodeClick);
        return keys;
    }

    void selectNode(const QString& key) { window->treMain->clickNode(node(key)); }
    TreeNode* node(const QString& key) const { return window->treMain->nodeByKey(key); }

    frmMain* window = nullptr;
};

TEST_F(MainWindowToolBarTest, LargeButtonsFollowOneAnotherAndButtonSixTakesTheBackButtonsPlace) {
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(window->lblMenus[i]->text(), kCaptions[i]);
        EXPECT_EQ(window->lblMenus[i]->palette().color(QPalette::Active, QPalette::WindowText),
                  QColor(0, 0, 200));
    }
    EXPECT_EQ(window->picMenus[0]->x(), twipsToPixels(60));
    for (int i = 1; i < 11; ++i) {
        const int previous = i == 6 ? 4 : i - 1;
        EXPECT_EQ(window->picMenus[i]->x(),
                  window->picMenus[previous]->x() + window->picMenus[previous]->width())
            << i;
    }
    EXPECT_EQ(window->picMenus[5]->x(), window->picMenus[6]->x());
    EXPECT_EQ(window->picMenus[0]->size(), window->imgMenusBtn[0].size());
    EXPECT_EQ(window->picMenu->height(),
              twipsToPixels(pixelsToTwips(window->picMenus[0]->height()) + 80));

    const QLabel* icon = window->imgMenus[0];
    const QLabel* caption = window->lblMenus[0];
    EXPECT_EQ(icon->geometry(), QRect((window->picMenus[0]->width() - 32) / 2, 4, 32, 32));
    EXPECT_EQ(caption->y(), twipsToPixels(540));
    EXPECT_EQ(caption->x(), (window->picMenus[0]->width() - caption->width()) / 2);
}

TEST_F(MainWindowToolBarTest, SmallIconsSitBesideTheCaptionAndTheThirdStyleShowsNone) {
    window->mButtonStyle = 2;
    window->SetMenuButtons(100, 0);

    const QLabel* button = window->picMenus[3];
    const QLabel* icon = window->imgMenus[3];
    const QLabel* caption = window->lblMenus[3];
    EXPECT_EQ(button->size(), window->imgMenusSmallBtn[0].size());
    EXPECT_EQ(icon->geometry(), QRect(twipsToPixels(40), (button->height() - 20) / 2, 20, 20));
    EXPECT_EQ(caption->geometry().right() + 1,
              twipsToPixels(pixelsToTwips(button->width()) - pixelsToTwips(caption->width()) - 40) +
                  caption->width());
    EXPECT_EQ(window->picMenu->height(), twipsToPixels(pixelsToTwips(button->height()) + 80));

    window->mButtonStyle = 3;
    window->SetMenuButtons(100, 0);
    EXPECT_TRUE(icon->isHidden());
    EXPECT_EQ(caption->x(), (button->width() - caption->width()) / 2);
    EXPECT_EQ(window->picMenus[6]->x(), window->picMenus[4]->x() + window->picMenus[4]->width());
}

TEST_F(MainWindowToolBarTest, ADisabledButtonKeepsItsGreyedLook) {
    window->SetMenuButtons(2, 3);
    ASSERT_TRUE(isOff(2));
    for (int face : {0, 1, 2}) {
        window->SetMenuButtons(2, face);
        EXPECT_TRUE(isOff(2)) << face;
    }
    window->SetMenuButtons(2, 4);
    EXPECT_TRUE(isOn(2));
}

TEST_F(MainWindowToolBarTest, HoveringGivesOneButtonTheHoverFaceAtATime) {
    QTest::mouseMove(window->picMenus[0], QPoint(5, 5));
    EXPECT_EQ(window->mHoverButton, 0);
    EXPECT_TRUE(showsFace(0, 2));

    QTest::mouseMove(window->lblMenus[1], QPoint(2, 2));
    EXPECT_EQ(window->mHoverButton, 1);
    EXPECT_TRUE(showsFace(0, 0));
    EXPECT_TRUE(showsFace(1, 2));

    QTest::mouseMove(window->picLeft, QPoint(5, window->picLeft->height() - 5));
    EXPECT_EQ(window->mHoverButton, 99);
    EXPECT_TRUE(showsFace(1, 0));
}

TEST_F(MainWindowToolBarTest, ADisabledButtonGetsNoHoverAndNoPress) {
    ASSERT_TRUE(isOff(8));
    QTest::mouseMove(window->picMenus[8], QPoint(5, 5));
    EXPECT_EQ(window->mHoverButton, 99);

    const QPoint iconPlace = window->imgMenus[8]->pos();
    QTest::mousePress(window->picMenus[8], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(isOff(8));
    EXPECT_EQ(window->imgMenus[8]->pos(), iconPlace);
    QTest::mouseRelease(window->picMenus[8], Qt::LeftButton, {}, QPoint(5, 5));
}

// Ten twips are less than a pixel; the press shows as one.
TEST_F(MainWindowToolBarTest, PressingShiftsIconAndCaptionAndReleasingShiftsThemBack) {
    const QPoint iconPlace = window->imgMenus[0]->pos();
    const QPoint captionPlace = window->lblMenus[0]->pos();

    QTest::mousePress(window->picMenus[0], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(showsFace(0, 1));
    EXPECT_EQ(window->imgMenus[0]->pos(), iconPlace + QPoint(1, 0));
    EXPECT_EQ(window->lblMenus[0]->pos(), captionPlace + QPoint(1, 0));

    const QPoint outside(window->picMenus[0]->width() + 5, 5);
    QTest::mouseRelease(window->picMenus[0], Qt::LeftButton, {}, outside);
    EXPECT_TRUE(showsFace(0, 2));
    EXPECT_EQ(window->imgMenus[0]->pos(), iconPlace);
    EXPECT_EQ(window->lblMenus[0]->pos(), captionPlace);
    EXPECT_FALSE(tabIsSelected(2)) << "a release outside the button is no click";
}

TEST_F(MainWindowToolBarTest, ACaptionClickActsLikeItsButton) {
    QTest::mouseClick(window->lblMenus[2], Qt::LeftButton);
    EXPECT_TRUE(gSearchOpen);
    EXPECT_TRUE(FormInstance<frmSearch>::get()->isVisible());

    selectNode("QUIZ_U1000101");
    QTest::mouseClick(window->lblMenus[6], Qt::LeftButton);
    QTest::mouseClick(window->lblMenus[7], Qt::LeftButton);
    EXPECT_TRUE(gSampleOpen);
    EXPECT_TRUE(gSentenceOpen);

    QTest::mouseClick(window->lblMenus[0], Qt::LeftButton);
    EXPECT_TRUE(tabIsSelected(2));
    EXPECT_TRUE(window->picQuizArea->isHidden());
}

TEST_F(MainWindowToolBarTest, FeedbackBeforeAnyCheckShowsMessageSeven) {
    SetFile_IO(gRegistrySetFile, "W", "sentence", "0");
    window->SetMenuButtons(9, 4);
    MessageAnswerer answerer("OK");
    clickButton(9);
    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().first().contains("目前您並沒有執行辨析動作"));
}

TEST_F(MainWindowToolBarTest, HistoryButtonsWalkTheGradedQuestions) {
    const QStringList keys = gradeThreeQuestions(1, false);
    EXPECT_TRUE(isOff(3));
    EXPECT_TRUE(isOn(4));

    clickButton(4);
    EXPECT_EQ(gHistoryPos, 2);
    EXPECT_EQ(window->treMain->selectedItem()->key(), keys[1]);
    EXPECT_EQ(gNodeKey, keys[1]);
    EXPECT_TRUE(isOn(3));
    EXPECT_TRUE(isOn(4));

    clickButton(4);
    EXPECT_EQ(gHistoryPos, 3);
    EXPECT_TRUE(isOff(4));

    clickButton(3);
    clickButton(3);
    EXPECT_EQ(gHistoryPos, 1);
    EXPECT_EQ(gNodeKey, keys[0]);
    EXPECT_TRUE(isOff(3));
}

// The history holds nodes of the course that was open; opening a course,
// the same one again too, empties it.
TEST_F(MainWindowToolBarTest, OpeningACourseEmptiesTheHistory) {
    gradeThreeQuestions(2, true);
    ASSERT_TRUE(isOn(3));

    FormInstance<frmClassSelect>::get()->ReloadClass("DEMO");
    EXPECT_EQ(gHistoryCount, 0);
    EXPECT_EQ(gHistoryPos, 0);
    EXPECT_TRUE(isOff(3));
    EXPECT_TRUE(isOff(4));
    const QString shownKey = gNodeKey;
    window->picMenus_Click(3);
    window->picMenus_Click(4);
    EXPECT_EQ(gNodeKey, shownKey);
}

TEST_F(MainWindowToolBarTest, ADoubleClickOnAButtonOrATabIsOneClick) {
    const QStringList keys = gradeThreeQuestions(3, true);

    doubleClick(window->picMenus[3]);
    EXPECT_EQ(gHistoryPos, 2);
    EXPECT_EQ(gNodeKey, keys[1]);
    doubleClick(window->lblMenus[3]);
    EXPECT_EQ(gHistoryPos, 1);
    clickButton(4);
    EXPECT_EQ(gHistoryPos, 2) << "the click after a double-click is a click";
    queueClicksWhileBusy(window->picMenus[4], 1);
    EXPECT_EQ(gHistoryPos, 3) << "a click that waited while the program was busy";
    queueClicksWhileBusy(window->picMenus[3], 2);
    EXPECT_EQ(gHistoryPos, 2) << "a double-click that waited while the program was busy";

    // The tab's page loads between the clicks, so that a second navigation
    // would not cancel the first unseen; the tab gets Qt's events all the
    // same.
    QStringList addresses;
    window->webMain->setBeforeNavigate2(
        [&addresses](const QString& url, bool&) { addresses << url; });
    QLabel* tab = window->lblInfoMenu[1];
    QTest::mouseClick(tab, Qt::LeftButton);
    ASSERT_TRUE(window->webMain->waitForLoad(kNavigationMs));
    QTest::mouseDClick(tab, Qt::LeftButton);
    QTest::mouseRelease(tab, Qt::LeftButton);
    ASSERT_TRUE(window->webMain->waitForLoad(kNavigationMs));
    EXPECT_EQ(addresses.size(), 1);
    EXPECT_TRUE(tabIsSelected(1));
}

TEST_F(MainWindowToolBarTest, WithOneHistoryEntryBackAndForwardDoNothing) {
    gHistory[1] = node("QUIZ_U1000102")->index();
    gHistoryCount = 1;
    gHistoryPos = 1;
    const QString shownKey = gNodeKey;

    window->picMenus_Click(3);
    window->picMenus_Click(4);
    EXPECT_EQ(gHistoryPos, 1);
    EXPECT_EQ(gNodeKey, shownKey);
}

TEST_F(MainWindowToolBarTest, InfoTabsShowTheirPagesAndTheGreyedTabIsIgnored) {
    selectNode("U1000100");
    ASSERT_EQ(window->mInfoDisabledTab, 1);
    EXPECT_EQ(tabCaptionColour(1), kGrey);

    clickTab(1);
    EXPECT_TRUE(tabIsSelected(0));
    EXPECT_FALSE(tabIsSelected(1));

    clickTab(3);
    EXPECT_TRUE(tabIsSelected(3));
    EXPECT_FALSE(tabIsSelected(0));
    EXPECT_TRUE(window->picQuizArea->isHidden());

    selectNode("QUIZ_U1000101");
    clickTab(1);
    EXPECT_TRUE(tabIsSelected(1));
    EXPECT_FALSE(window->picQuizArea->isHidden());

    clickTab(0);
    EXPECT_TRUE(tabIsSelected(0));
    EXPECT_FALSE(window->picQuizArea->isHidden());
    EXPECT_EQ(gNodeKey, "QUIZ_U1000101");

    clickTab(2);
    EXPECT_TRUE(tabIsSelected(2));
    EXPECT_TRUE(window->picQuizArea->isHidden());
}

TEST_F(MainWindowToolBarTest, TheManualTabAndTheResultTabNavigateToTheirPages) {
    QStringList addresses;
    window->webMain->setBeforeNavigate2(
        [&addresses](const QString& url, bool&) { addresses << url; });
    selectNode("QUIZ_U1000101");
    clickTab(3);
    ASSERT_TRUE(QTest::qWaitFor([&addresses] { return addresses.size() == 1; }, kNavigationMs));
    clickTab(1);
    ASSERT_TRUE(QTest::qWaitFor([&addresses] { return addresses.size() == 2; }, kNavigationMs));

    EXPECT_EQ(addresses[0], gWebURL + "_htmls/LXV_manual.htm");
    EXPECT_EQ(QUrl(addresses[1]).toLocalFile(), basePath() + "/Lexivo2/manual/check.htm");
}

// The edition has no web site of its own and takes the configured one.
TEST_F(MainWindowToolBarTest, WithoutAWebSiteTheManualComesFromTheConfiguredOne) {
    QStringList addresses;
    window->webMain->setBeforeNavigate2(
        [&addresses](const QString& url, bool&) { addresses << url; });
    gWebURL.clear();
    clickTab(3);

    ASSERT_TRUE(QTest::qWaitFor([&addresses] { return addresses.size() == 1; }, kNavigationMs));
    EXPECT_EQ(addresses[0], loadServerConfig().web + "_htmls/LXV_manual.htm");
}

TEST_F(MainWindowToolBarTest, TabPaintingMarksTheSelectedTabLast) {
    window->SetInfoMenu(99, 2, false);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(tabIsSelected(i)) << i;
    }
    EXPECT_EQ(tabCaptionColour(2), kGrey);

    window->SetInfoMenu(2, 2, false);
    EXPECT_TRUE(tabIsSelected(2));
    EXPECT_EQ(tabCaptionColour(2), kWhite);
}

TEST_F(MainWindowToolBarTest, CourseCommandsCanBeSwitchedOffAndOnAgain) {
    const QList<QAction*> courseItems{window->mnuFileSave,      window->mnuPrintSetup,
                                      window->mnuPrint,         window->mnuPrintPreview,
                                      window->mnuSchedule,      window->mnuCleanError,
                                      window->mnuCleanSchedule, window->mnuCleanRec,
                                      window->mnuSync,          window->mnuImportSync};

    window->DisableAllButtonMenus(true);
    for (int i = 0; i < 11; ++i) {
        EXPECT_TRUE(isOff(i)) << i;
        EXPECT_EQ(window->imgMenus[i]->pixmap().toImage(),
                  QPixmap(QString(":/skin/main/tool-%1-off.png").arg(i)).toImage())
            << i;
    }
    for (QAction* item : courseItems) {
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(tabIsSelected(i));
        EXPECT_EQ(tabCaptionColour(i), kGrey);
    }
    EXPECT_TRUE(window->mnuFileOpen->isEnabled());
    EXPECT_TRUE(window->mnuRebuildEngine->isEnabled());

    window->DisableAllButtonMenus(false);
    for (int i : {0, 1, 2, 5, 6, 7, 10}) {
        EXPECT_TRUE(isOn(i)) << i;
    }
    for (int i : {3, 4, 8, 9}) {
        EXPECT_TRUE(isOff(i)) << i;
    }
    for (QAction* item : courseItems) {
        EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
    }
    EXPECT_TRUE(tabIsSelected(0));
    EXPECT_EQ(tabCaptionColour(1), kGrey);

    window->SetMenuButtons(100, 0);
    for (int i = 0; i < 11; ++i) {
        EXPECT_TRUE(isOn(i)) << i;
        EXPECT_TRUE(showsFace(i, 0)) << i;
    }
}

class MainWindowWithoutCourseTest : public MainWindowTest {};

TEST_F(MainWindowWithoutCourseTest, TabsDoNothingWhileTheTreeIsEmpty) {
    frmMain* window = makeMainWindowWithoutCourse("LXV");
    ASSERT_EQ(window->treMain->count(), 0);
    for (int i = 0; i < 4; ++i) {
        QTest::mouseClick(window->lblInfoMenu[i], Qt::LeftButton);
        EXPECT_NE(window->picInfoMenu[i]->pixmap().cacheKey(), window->imgInfoMenuOn.cacheKey());
    }
}

}  // namespace
