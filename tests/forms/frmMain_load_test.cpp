#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>

#include "platform/big5.h"
#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "platform/twips.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "startup/frmSplash.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/messagewindow.h"
#include "workspace/frmErrSentence.h"
#include "workspace/frmMain.h"
#include "workspace/frmSample.h"
#include "workspace/frmSearch.h"
#include "workspace/frmSentence.h"

namespace {

constexpr int kPageLoadMs = 20000;
constexpr int kTickWaitMs = 10000;

// Captions in display order; "-" is a separator line.
QStringList captions(const QMenu* menu) {
    QStringList texts;
    for (const QAction* item : menu->actions()) {
        texts << (item->isSeparator() ? "-" : item->text());
    }
    return texts;
}

QList<QAction*> lxvOnlyItems(const frmMain* window) {
    return {window->mnuS1,
            window->mnuSchedule,
            window->mnuS2,
            window->mnuCleanError,
            window->mnuCleanSchedule,
            window->mnuCleanRec,
            window->mnuSync,
            window->mnuF1,
            window->mnuImportSync,
            window->mnuF4};
}

// A loaded page is painted a moment later: until then the pane, or the
// place of its first picture, is one colour.
bool isOneColour(const QImage& picture, const QRect& area) {
    const QRect inside = area.intersected(picture.rect());
    for (int y = inside.top(); y <= inside.bottom(); y += 2) {
        for (int x = inside.left(); x <= inside.right(); x += 2) {
            if (picture.pixel(x, y) != picture.pixel(inside.topLeft())) {
                return false;
            }
        }
    }
    return true;
}

bool showsPageWithItsPicture(Browser* browser) {
    const QVariantList box =
        browser
            ->runJavaScriptSync(
                "(() => { const r = document.images[0].getBoundingClientRect();"
                " return [r.left, r.top, r.width, r.height]; })()")
            .toList();
    if (box.size() != 4) {
        return false;
    }
    const QRect picture(box[0].toInt(), box[1].toInt(), box[2].toInt(), box[3].toInt());
    const QImage shown = browser->grab().toImage();
    return !picture.isEmpty() && !isOneColour(shown, shown.rect().adjusted(10, 10, -10, -10)) &&
           !isOneColour(shown, picture);
}

bool isButtonOn(const frmMain* window, int button) {
    return window->picMenus[button]->isEnabled() && window->lblMenus[button]->isEnabled();
}

class MainWindowLoadTest : public MainWindowTest {};

// The course has a plan, so that no plan dialog takes the splash's place.
TEST_F(MainWindowLoadTest, OpensTheLastCourseInAMaximizedUsableWindow) {
    setUpEdition("LXV", QString());
    installDemoCourse();
    ASSERT_TRUE(
        big5::writeLines(basePath() + "/Lexivo2/DEMO.lxs",
                         {"DEMO", "英文造句入門", "勤奮好學型", "40", "2024/3/1", "2024/4/10"}));
    setLastCourse("DEMO");
    frmMain* window = FormInstance<frmMain>::get();

    EXPECT_TRUE(window->isVisible());
    // A screen too small for the window keeps it from being maximized.
    const QSize screen = window->screen()->availableSize();
    if (screen.width() >= 900 && screen.height() >= 700) {
        EXPECT_TRUE(window->isMaximized());
    }
    EXPECT_GE(window->width(), twipsToPixels(12000));
    EXPECT_GE(window->height(), twipsToPixels(8250));
    EXPECT_TRUE(gStartupDone);
    EXPECT_FALSE(gInFormLoad);
    EXPECT_DOUBLE_EQ(window->mSplitRatio, 0.3);
    EXPECT_EQ(window->mButtonStyle, 1);
    EXPECT_EQ(gFontSize, "16px");
    EXPECT_GT(window->treMain->count(), 0);
    EXPECT_TRUE(window->mnuFileSave->isEnabled());
    for (int button : {0, 1, 2, 10}) {
        EXPECT_TRUE(isButtonOn(window, button)) << button;
    }
    for (QAction* item : lxvOnlyItems(window)) {
        EXPECT_TRUE(item->isVisible());
    }
    const std::pair<QTimer*, int> timers[] = {{&window->tmrSyncMessageWait, 1000},
                                              {&window->tmrReloadClassWaitProc, 3000},
                                              {&window->tmrMessage, 1000},
                                              {&window->tmrEngineResponse, 1000}};
    for (const auto& [timer, interval] : timers) {
        EXPECT_FALSE(timer->isActive());
        EXPECT_EQ(timer->interval(), interval);
    }
    ASSERT_TRUE(FormInstance<frmSplash>::isLoaded());
    EXPECT_TRUE(FormInstance<frmSplash>::get()->tmrHide.isActive());

    ASSERT_TRUE(window->webMain->waitForLoad(kPageLoadMs));
    ASSERT_TRUE(QTest::qWaitFor([window] { return showsPageWithItsPicture(window->webMain); },
                                kPageLoadMs));
    EXPECT_FALSE(saveScreenshot(window, "main-window-demo-course").isEmpty());
}

TEST_F(MainWindowLoadTest, TheMenusHoldTheirItemsWithShortcutsIconsAndStartStates) {
    frmMain* window = makeMainWindow("LXV");

    EXPECT_EQ(window->menuBar()->actions().size(), 3);
    EXPECT_EQ(window->mnuFile->title(), "檔案(&F)");
    EXPECT_EQ(captions(window->mnuFile),
              QStringList({"載入課程", "下載課程", "安裝已下載的課程", "-", "儲存檔案", "同步資料",
                           "-", "匯入其他帳號資料", "-", "引擎重建", "-", "設定列印格式", "列印",
                           "預覽列印", "-", "結束離開"}));
    EXPECT_EQ(window->mnuSetup->title(), "設定(&S)");
    EXPECT_EQ(captions(window->mnuSetup),
              QStringList({"快速按鈕圖示", "問題區字形", "-", "進度計劃", "-", "清空犯錯記錄",
                           "清空學習記錄", "清空我的造句"}));
    EXPECT_EQ(captions(window->mnuButtonImage), QStringList({"大圖示", "小圖示", "無圖示"}));
    EXPECT_EQ(captions(window->mnuFontSize), QStringList({"大字型", "小字型"}));
    EXPECT_EQ(window->mnuHelp->title(), "幫助(&H)");
    EXPECT_EQ(captions(window->mnuHelp),
              QStringList({"使用手冊", "學習網站", "-", "服務及其他試用", "-", "關於lexivo"}));

    EXPECT_EQ(window->mnuFileSave->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(window->mnuPrint->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(window->mnuExit->shortcut(), QKeySequence("Ctrl+X"));
    for (QAction* off : {window->mnuDownloadCourse, window->mnuFileInstall, window->mnuLearnWeb}) {
        EXPECT_TRUE(off->isVisible());
        EXPECT_FALSE(off->isEnabled()) << off->text().toStdString();
    }
    EXPECT_TRUE(window->mnuButtonImages[0]->isChecked());
    EXPECT_FALSE(window->mnuButtonImages[1]->isChecked());
    EXPECT_TRUE(window->mnuFontSizes[0]->isChecked());

    for (QAction* item : {window->mnuFileOpen, window->mnuPrint, window->mnuPrintPreview,
                          window->mnuButtonImage->menuAction(), window->mnuFontSize->menuAction(),
                          window->mnuManual, window->mnuWeb}) {
        EXPECT_FALSE(item->icon().isNull()) << item->text().toStdString();
    }
    EXPECT_TRUE(window->mnuExit->icon().isNull());
}

// A resize while the window loads enters the load again, which returns at
// once: the layout runs with what the first load has set so far.
TEST_F(MainWindowLoadTest, ALoadEnteredDuringTheLoadChangesNothing) {
    frmMain* window = makeMainWindow("LXV");
    gStartupDone = false;
    gInFormLoad = true;
    window->mSplitRatio = 0.25;
    window->mButtonStyle = 2;

    window->showNormal();
    window->resize(1000, 700);
    QCoreApplication::processEvents();

    EXPECT_FALSE(gStartupDone);
    EXPECT_DOUBLE_EQ(window->mSplitRatio, 0.25);
    EXPECT_EQ(window->mButtonStyle, 2);
    EXPECT_EQ(window->picLeft->width(), static_cast<int>((15000 - 40) * 0.25) / 15);
}

TEST_F(MainWindowLoadTest, MinimizingTakesTheSentenceWindowsAlongButNotTheOthers) {
    frmMain* window = makeMainWindow("LXV");
    for (int button : {2, 6, 7}) {
        window->picMenus_Click(button);
    }

    window->showMinimized();
    EXPECT_TRUE(FormInstance<frmSample>::get()->isMinimized());
    EXPECT_TRUE(FormInstance<frmSentence>::get()->isMinimized());
    EXPECT_FALSE(FormInstance<frmSearch>::get()->isMinimized());

    window->showMaximized();
    EXPECT_FALSE(FormInstance<frmSample>::get()->isMinimized());
    EXPECT_FALSE(FormInstance<frmSentence>::get()->isMinimized());
}

TEST_F(MainWindowLoadTest, ClosingTheToolWindowsUnloadsEveryOpenOne) {
    frmMain* window = makeMainWindow("LXV");
    window->CloseOtherUpForm();

    FormInstance<frmSentence>::get()->show();
    FormInstance<frmSample>::get()->show();
    FormInstance<frmSearch>::get()->show();
    FormInstance<frmErrSentence>::get()->show();
    ASSERT_TRUE(gSentenceOpen && gSampleOpen && gSearchOpen && gErrSentenceOpen);

    window->CloseOtherUpForm();
    EXPECT_FALSE(gSentenceOpen || gSampleOpen || gSearchOpen || gErrSentenceOpen);
    EXPECT_FALSE(FormInstance<frmSentence>::isLoaded());
    EXPECT_FALSE(FormInstance<frmSample>::isLoaded());
    EXPECT_FALSE(FormInstance<frmSearch>::isLoaded());
    EXPECT_FALSE(FormInstance<frmErrSentence>::isLoaded());
}

class MainWindowEditionTest : public MainWindowTest,
                              public ::testing::WithParamInterface<const char*> {};

TEST_P(MainWindowEditionTest, WithoutACourseOnlyExitAndTheCourseMenusStayOn) {
    const QString edition = GetParam();
    frmMain* window = makeMainWindowWithoutCourse(edition);

    EXPECT_TRUE(gStartupDone);
    EXPECT_EQ(window->treMain->count(), 0);
    for (int button = 0; button < 10; ++button) {
        EXPECT_FALSE(isButtonOn(window, button)) << button;
    }
    EXPECT_TRUE(isButtonOn(window, 10));
    EXPECT_FALSE(window->mnuPrint->isEnabled());
    EXPECT_TRUE(window->mnuFileOpen->isEnabled());
    EXPECT_TRUE(window->mnuRebuildEngine->isEnabled());

    const bool lxv = edition == "LXV";
    for (QAction* item : lxvOnlyItems(window)) {
        EXPECT_EQ(item->isVisible(), lxv) << item->text().toStdString();
    }
    EXPECT_TRUE(window->mnuRebuildEngine->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Editions, MainWindowEditionTest, ::testing::Values("LXV", "LXQ", "LXM"));

class MainWindowTimerTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window = makeMainWindow("LXV");
    }

    // The messages that one tick of the sync message timer shows.
    QStringList syncMessagesFor(const QString& tag) {
        MessageAnswerer answerer("OK");
        window->tmrSyncMessageWaitTag = tag;
        window->tmrSyncMessageWait.start();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !window->tmrSyncMessageWait.isActive(); },
                                    kTickWaitMs));
        EXPECT_TRUE(window->tmrSyncMessageWaitTag.isEmpty());
        return answerer.texts();
    }

    frmMain* window = nullptr;
};

TEST_F(MainWindowTimerTest, TheSyncTickEndsTheSyncOrTheImportOrTheRebuildWithItsMessage) {
    const QStringList plainSync = syncMessagesFor("SYNC");
    const QStringList emptyTag = syncMessagesFor("");
    gOldPno = "LEGACY01";
    const QStringList import = syncMessagesFor("SYNC");
    const QStringList rebuild = syncMessagesFor("REBUILD_ENGINE");

    ASSERT_EQ(plainSync.size(), 1);
    EXPECT_EQ(plainSync, emptyTag);
    EXPECT_TRUE(plainSync.first().startsWith("同步完成"));
    ASSERT_EQ(import.size(), 1);
    EXPECT_NE(import, plainSync);
    ASSERT_EQ(rebuild.size(), 1);
    EXPECT_TRUE(rebuild.first().contains("引擎已重建完成"));
}

TEST_F(MainWindowTimerTest, AnUnknownTagShowsNoMessageAndWaitsForNone) {
    EXPECT_TRUE(syncMessagesFor("SOMETHING").isEmpty());
    EXPECT_EQ(shownMessage(), nullptr);
}

TEST_F(MainWindowTimerTest, TheStatusTickRewritesTheStatusLineForTheSelectedQuestion) {
    window->treMain->clickNode(window->treMain->nodeByKey("QUIZ_U1000102"));
    window->stbStatus->clearMessage();
    window->tmrMessage.start();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->tmrMessage.isActive(); }, kTickWaitMs));
    EXPECT_TRUE(window->stbStatus->currentMessage().contains("目前是第 "));
}

TEST_F(MainWindowTimerTest, TheReloadTickOpensTheCourseAgainAndSaysSo) {
    window->treMain->clear();
    gReloadDone = false;
    window->tmrReloadClassWaitProc.start();
    ASSERT_TRUE(QTest::qWaitFor([] { return gReloadDone; }, kTickWaitMs));
    EXPECT_FALSE(window->tmrReloadClassWaitProc.isActive());
    EXPECT_GT(window->treMain->count(), 0);
    EXPECT_EQ(gCourseId, "DEMO");
}

}  // namespace
