#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QTest>
#include <QTimer>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/install.h"
#include "startup/frmClassSelect.h"
#include "startup/frmLXVImportLogin.h"
#include "startup/frmSplash.h"
#include "tests/forms/lxvrecordsfixture.h"
#include "tests/support/endedchild.h"
#include "tests/support/fulldisk.h"
#include "tests/support/messagewindow.h"
#include "tests/support/servicelog.h"
#include "tests/support/windowsystem.h"
#include "workspace/frmMain.h"
#include "workspace/treeimages.h"

namespace {

// Catches the addresses that the program hands to the learner's browser.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    UrlCatcher() {
        QDesktopServices::setUrlHandler("http", this, "openUrl");
        QDesktopServices::setUrlHandler("https", this, "openUrl");
    }
    ~UrlCatcher() override {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
    }
    QStringList urls;

public Q_SLOTS:
    void openUrl(const QUrl& url) { urls << url.toString(); }
};

class MenuTest : public LxvRecordsTest {
protected:
    void SetUp() override {
        LxvRecordsTest::SetUp();
        window = openDemo();
        runOnLearnerDb("insert into mistakes values ('CP001', 2)");
        runOnLearnerDb(
            "insert into errsentence values ('E1', '*i* am', 'CP001', '2024-01-01', "
            "'N')");
        runOnLearnerDb(
            "insert into UserSntn values ('S1', 'U1000101', 'I am Lin.', "
            "'2024-01-01')");
        setVisited("U1000101", "3");
        setVisited("U1000102", "2");
        upload("DEMO0001", "demo", "U1000101", "3", "0", "I am Lin.");
        upload("DEMO0001", "demo", "U1000102", "2", "CP001", "i am twelve.");
        standin.clearLog();
    }

    int checkedCount(const auto& items) const {
        return int(std::count_if(items.begin(), items.end(),
                                 [](const QAction* item) { return item->isChecked(); }));
    }
    QStringList resetKinds() {
        QStringList kinds;
        for (const QString& body : requestsTo("p_lxv_proc_reset.asp")) {
            kinds << body.section("&tp=", 1).section('&', 0, 0);
        }
        return kinds;
    }
    QStringList serviceTable(const QString& table) {
        QStringList rows;
        for (const QStringList& row : standin.state(table).mid(1)) {
            rows << row.join('|');
        }
        return rows;
    }

    frmMain* window = nullptr;
};

TEST_F(MenuTest, ButtonImageItemsSetTheStyleWithExactlyOneChecked) {
    for (int index : {2, 1, 0}) {
        window->mnuButtonImages[index]->trigger();
        EXPECT_EQ(window->mButtonStyle, index + 1);
        EXPECT_EQ(checkedCount(window->mnuButtonImages), 1);
        EXPECT_TRUE(window->mnuButtonImages[index]->isChecked());
        EXPECT_EQ(window->imgMenus[0]->isVisible(), index != 2);
    }
    window->mnuButtonImages[1]->trigger();
    EXPECT_EQ(window->picMenus[0]->pixmap().cacheKey(), window->imgMenusSmallBtn[0].cacheKey());
}

TEST_F(MenuTest, FontItemsSetTheQuizFontAndRedrawTheQuestion) {
    window->treMain->clickNode(window->treMain->nodeByKey("QUIZ_U1000101"));
    window->mnuFontSizes[1]->trigger();
    EXPECT_EQ(gFontSize, "13px");
    EXPECT_EQ(checkedCount(window->mnuFontSizes), 1);
    ASSERT_TRUE(window->webQuiz->waitForLoad(kLongWaitMs));
    EXPECT_TRUE(window->webQuiz->runJavaScriptSync("document.body.innerHTML")
                    .toString()
                    .contains("font-size:13px"));
    window->mnuFontSizes[0]->trigger();
    EXPECT_EQ(gFontSize, "16px");
    EXPECT_TRUE(window->mnuFontSizes[0]->isChecked());
    EXPECT_FALSE(window->mnuFontSizes[1]->isChecked());

    // A unit has no question text: the quiz pane is left with its margins.
    window->treMain->clickNode(window->treMain->nodeByKey("U1000100"));
    window->mnuFontSizes[1]->trigger();
    EXPECT_DOUBLE_EQ(window->mQuizHeight, 30);
}

TEST_F(MenuTest, CleaningErrorsEmptiesTheLocalErrorsAndResetsThemOnTheService) {
    QList<int> icons;
    MessageAnswerer answerer("OK", [&icons] { icons << shownMessageIcon(); });
    window->mnuCleanError->trigger();
    EXPECT_EQ(answerer.texts(),
              QStringList({"\n您確定要清空所有的犯錯記錄嗎?", "\n犯錯記錄已清除"}));
    EXPECT_EQ(icons, QList<int>({2, 0}));
    EXPECT_TRUE(learnerRows("select * from mistakes").isEmpty());
    EXPECT_TRUE(learnerRows("select * from errsentence").isEmpty());
    EXPECT_EQ(learnerRows("select id from UserSntn"), QStringList{"S1"});
    EXPECT_EQ(resetKinds(), QStringList{"error"});
    EXPECT_TRUE(serviceTable("err_sentences").isEmpty());
}

TEST_F(MenuTest, CleaningOwnSentencesEmptiesThemHereAndOnTheService) {
    MessageAnswerer answerer("OK");
    window->mnuCleanRec->trigger();
    EXPECT_EQ(answerer.texts().value(1), "\n造句記錄已清除");
    EXPECT_TRUE(learnerRows("select * from UserSntn").isEmpty());
    EXPECT_EQ(learnerRows("select id from errsentence"), QStringList{"E1"});
    EXPECT_EQ(resetKinds(), QStringList{"sentence"});
}

TEST_F(MenuTest, CleaningProgressRestartsThePlanTodayAndRebuildsTheTree) {
    gScheduleType = "日以繼夜型";
    gScheduleDays = 20;
    gScheduleStart = QDate(2024, 3, 1);
    gStudyPageDirty = false;
    MessageAnswerer answerer("OK");
    window->mnuCleanSchedule->trigger();

    const QDate today = QDate::currentDate();
    EXPECT_EQ(answerer.texts().value(1), "\n學習記錄已清除，計劃起始日已重新設定為今日");
    for (const auto& [unit, state] : visitedStates()) {
        EXPECT_EQ(state, "1") << unit;
    }
    EXPECT_EQ(gScheduleStart, today);
    EXPECT_EQ(gScheduleEnd, today.addDays(20));
    EXPECT_EQ(descriptorLines(),
              QStringList({"DEMO", "英文造句入門", "日以繼夜型", "20", GetDateString(today, "/"),
                           GetDateString(today.addDays(20), "/")}));
    EXPECT_EQ(resetKinds(), QStringList{"progress"});
    EXPECT_EQ(requestsTo("p_all_setmemo.asp").size(), 1);
    EXPECT_EQ(window->treMain->nodeByKey("QUIZ_U1000101")->image(), treeimage::kQuestionNew);
    EXPECT_TRUE(gStudyPageDirty);
}

// The disk fills up once the learner is asked, and has room again for the
// message that follows: the restarted plan cannot be written, so nothing is
// reset, here or on the service.
TEST_F(MenuTest, CleaningProgressWhenThePlanCannotBeWrittenChangesNothing) {
    gScheduleType = "日以繼夜型";
    gScheduleDays = 20;
    gScheduleStart = QDate(2024, 3, 1);
    ASSERT_TRUE(window->WriteScheduleSetFile());
    const QByteArray descriptor = readBytes(descriptorPath());
    const auto states = visitedStates();
    std::optional<FullDisk> diskFull;
    QList<int> icons;
    MessageAnswerer answerer("OK", [&] {
        icons << shownMessageIcon();
        diskFull ? diskFull.reset() : void(diskFull.emplace());
    });
    window->mnuCleanSchedule->trigger();

    ASSERT_EQ(answerer.trimmedTexts().size(), 2);
    EXPECT_TRUE(answerer.trimmedTexts().at(1).startsWith("無法寫入課程的進度計劃檔"));
    EXPECT_EQ(icons.value(1), 1);
    EXPECT_EQ(readBytes(descriptorPath()), descriptor);
    EXPECT_EQ(visitedStates(), states);
    EXPECT_EQ(gScheduleStart, QDate(2024, 3, 1));
    EXPECT_TRUE(standin.log().isEmpty());
}

TEST_F(MenuTest, CleaningProgressWithoutAPlanEndsThePlanToday) {
    gScheduleType = "NONE";
    gScheduleDays = 0;
    MessageAnswerer answerer("OK");
    window->mnuCleanSchedule_Click();
    EXPECT_EQ(gScheduleEnd, QDate::currentDate());
    EXPECT_EQ(descriptorLines().mid(2, 2), QStringList({"NONE", "0"}));
    EXPECT_TRUE(requestsTo("p_all_setmemo.asp").filter("act=PUT").isEmpty());
}

TEST_F(MenuTest, CancellingACleanUpChangesNothingHereOrOnTheService) {
    const QStringList mistakes = learnerRows("select * from mistakes");
    const auto states = visitedStates();
    const QByteArray descriptor = readBytes(descriptorPath());
    MessageAnswerer answerer("CANCEL");
    window->mnuCleanError_Click();
    window->mnuCleanSchedule_Click();
    window->mnuCleanRec_Click();
    EXPECT_EQ(answerer.texts().size(), 3);
    EXPECT_EQ(learnerRows("select * from mistakes"), mistakes);
    EXPECT_EQ(learnerRows("select id from UserSntn"), QStringList{"S1"});
    EXPECT_EQ(visitedStates(), states);
    EXPECT_EQ(readBytes(descriptorPath()), descriptor);
    EXPECT_TRUE(standin.log().isEmpty());
}

TEST_F(MenuTest, ACleanUpWithTheServiceUnreachableStillCleansHere) {
    gServerURL = unusedLoopbackBase();
    MessageAnswerer answerer("OK");
    window->mnuCleanRec_Click();
    EXPECT_EQ(answerer.texts().size(), 2);
    EXPECT_TRUE(learnerRows("select * from UserSntn").isEmpty());
}

TEST_F(MenuTest, SyncBringsTheServiceRecordsAndEndsWithMessageFifty) {
    MessageAnswerer answerer("OK");
    gOldPno = "left over";
    window->mnuSync->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.texts().size() == 2; }, kLongWaitMs));

    EXPECT_TRUE(answerer.texts().at(0).contains("同步功能"));
    EXPECT_TRUE(answerer.texts().at(1).startsWith("同步完成！"));
    EXPECT_TRUE(gOldPno.isEmpty());
    EXPECT_EQ(learnerRows("select qcode, Sentence from UserSntn"),
              QStringList{"U1000101|I am Lin."});
    EXPECT_EQ(learnerRows("select errcode from errsentence"), QStringList{"CP001"});
    EXPECT_EQ(visitedStates()["U1000102"], "2");
    // The reopened demo course has no plan: the plan dialog holds the main
    // window until the learner closes it.
    EXPECT_FALSE(window->isEnabled());
    clickThroughWindow(FormInstance<frmSchedule>::get()->imgClose);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(MenuTest, SyncOfflineOrCancelledChangesNothing) {
    const QStringList before = learnerRows("select * from UserSntn");
    {
        MessageAnswerer answerer("CANCEL");
        window->mnuSync_Click();
        EXPECT_EQ(answerer.texts().size(), 1);
    }
    gServerURL = unusedLoopbackBase();
    MessageAnswerer answerer("OK");
    window->mnuSync_Click();
    EXPECT_EQ(answerer.texts().value(1), "\n目前網路中斷或傳輸品質不佳，請檢查網路連線");
    EXPECT_EQ(learnerRows("select * from UserSntn"), before);
    EXPECT_FALSE(window->tmrSyncMessageWait.isActive());
}

TEST_F(MenuTest, ImportSignsInToTheOtherAccountAndMergesItsRecords) {
    upload("OLD00001", "old1234", "U2000101", "3", "0", "I get up at seven.");
    WhenShown signIn(loadedForm<frmLXVImportLogin>, [](QWidget* shown) {
        auto* form = static_cast<frmLXVImportLogin*>(shown);
        form->txtPno->setText("OLD00001");
        form->txtLogin->setText("old@lexivo.test");
        form->txtPassword->setText("old1234");
        QTest::mouseClick(form->picButtons[0], Qt::LeftButton);
    });
    MessageAnswerer answerer("OK");
    window->mnuImportSync_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.texts().size() == 2; }, kLongWaitMs));

    EXPECT_TRUE(signIn.seen());
    EXPECT_TRUE(answerer.texts().at(0).contains("匯入功能"));
    EXPECT_TRUE(answerer.texts().at(1).startsWith("匯入並同步完成！"));
    EXPECT_EQ(gOldPno, "OLD00001");
    EXPECT_TRUE(learnerRows("select qcode from UserSntn").contains("U2000101"));
    EXPECT_EQ(visitedStates()["U2000101"], "3");
    EXPECT_TRUE(requestsTo("p_lxv_sync_client.asp").at(0).endsWith("&frompno=OLD00001"));
}

TEST_F(MenuTest, ImportCancelledAtTheQuestionOrTheSignInImportsNothing) {
    {
        MessageAnswerer answerer("CANCEL");
        window->mnuImportSync_Click();
    }
    EXPECT_FALSE(FormInstance<frmLXVImportLogin>::isLoaded());
    const std::function<void(QWidget*)> waysOut[] = {
        [](QWidget* shown) {
            QTest::mouseClick(static_cast<frmLXVImportLogin*>(shown)->picButtons[1],
                              Qt::LeftButton);
        },
        closeByWindowSystem};
    for (const auto& wayOut : waysOut) {
        WhenShown signIn(loadedForm<frmLXVImportLogin>, wayOut);
        // A sign-in left open ends the command at the deadline, so that the
        // test fails on its assertions instead of waiting for ever.
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout,
                         [] { FormInstance<frmLXVImportLogin>::unload(); });
        deadline.start(kLongWaitMs);
        MessageAnswerer answerer("OK");
        window->mnuImportSync_Click();
        EXPECT_TRUE(signIn.seen());
        EXPECT_TRUE(gLoginDone);
        EXPECT_FALSE(gLoginOK);
        EXPECT_TRUE(requestsTo("p_lxv_sync_client.asp").isEmpty());
        EXPECT_TRUE(window->isEnabled());
        ASSERT_TRUE(QTest::qWaitFor([] { return !FormInstance<frmLXVImportLogin>::isLoaded(); }));
    }
}

TEST_F(MenuTest, RebuildingTheEngineReplacesItsFolderAndSaysSoASecondLater) {
    const QString engine = basePath() + "/glossor";
    writeBytes(engine + "/stale.txt", "old");
    writeBytes(engine + ".new/left.txt", "from a rebuild that ended there");
    MessageAnswerer answerer("OK");
    window->mnuRebuildEngine->trigger();

    EXPECT_FALSE(QFile::exists(engine + "/stale.txt"));
    EXPECT_FALSE(QFile::exists(engine + "/left.txt"));
    EXPECT_FALSE(QFileInfo::exists(engine + ".new"));
    EXPECT_TRUE(QFile::exists(engine + "/data/err4list.mdb"));
    EXPECT_TRUE(QFile::exists(basePath() + "/glossor.exe"));
    EXPECT_EQ(window->tmrSyncMessageWaitTag, "REBUILD_ENGINE");
    ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.texts().size() == 2; }, kLongWaitMs));
    EXPECT_EQ(answerer.texts().at(1), "\n引擎已重建完成！");
}

// A file where the engine's folder belongs, or a disk that fills up once
// the learner is asked (and has room again for the message that follows),
// keeps the whole package from unpacking: the learner is asked for a data
// folder that can be written, not for the program again.
class RebuildNotWrittenTest : public MenuTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RebuildNotWrittenTest, ARebuildThatCannotBeWrittenAsksForAWritableFolder) {
    const bool fileInTheWay = GetParam();
    const QString engine = basePath() + "/glossor";
    if (fileInTheWay) {
        ASSERT_TRUE(QDir(engine).removeRecursively());
        writeBytes(engine, "in the way");
    }
    std::optional<FullDisk> diskFull;
    QList<int> icons;
    MessageAnswerer answerer("OK", [&] {
        icons << shownMessageIcon();
        diskFull || fileInTheWay ? diskFull.reset() : void(diskFull.emplace());
    });
    window->mnuRebuildEngine->trigger();

    ASSERT_EQ(answerer.texts().size(), 2);
    EXPECT_TRUE(answerer.trimmedTexts().at(1).startsWith("無法寫入本程式的資料夾"));
    EXPECT_EQ(icons, QList<int>({2, 1}));
    EXPECT_FALSE(window->tmrSyncMessageWait.isActive());
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
    EXPECT_FALSE(QFileInfo::exists(engine + ".new")) << "nothing half made is left";
    EXPECT_EQ(QFile::exists(engine + "/data/err4list.mdb"), !fileInTheWay);
}

INSTANTIATE_TEST_SUITE_P(FileOrDisk, RebuildNotWrittenTest, ::testing::Bool());

// The learner leaves by Ctrl+X while the engine unpacks behind the please-wait
// box, and confirms: the program ends there, with the engine as it was beside
// the half unpacked one, and the next start finds a working engine.
TEST_F(MenuTest, AnExitConfirmedDuringTheRebuildEndsTheProgramThere) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const EndedChild child;
    EXPECT_EXIT(
        {
            EndedChild::nameFolder(basePath());
            EndedChild::nameFolder(standin.dataDir());
            MessageAnswerer answerer("OK");
            QTimer learner;
            QObject::connect(&learner, &QTimer::timeout, [&] {
                if (shownMessage() && shownMessage()->picProgress->isVisible()) {
                    learner.stop();
                    window->activateWindow();
                    QTest::keyClick(window->windowHandle(), Qt::Key_X, Qt::ControlModifier);
                }
            });
            learner.start(0);
            window->mnuRebuildEngine->trigger();
            std::fprintf(stderr, "the rebuild went on\n");
            std::_Exit(1);
        },
        ::testing::ExitedWithCode(0), child.matcher());
    ASSERT_FALSE(child.folders().isEmpty());
    gBasePath = child.folders().first();
    const QString engine = gBasePath + "/glossor";
    EXPECT_TRUE(QFileInfo::exists(engine + ".new/.unpacking")) << "ended while unpacking";
    EXPECT_TRUE(QFile::exists(engine + "/data/err4list.mdb"));
    InstallEngineData();
    EXPECT_TRUE(QFile::exists(engine + "/data/err4list.mdb"));
}

// A sync or a rebuild ends with its message a second later, when the
// learner may already have asked something else.
struct EndMessageRoad {
    const char* name;
    QAction* frmMain::*command;
    QAction* frmMain::*askedMeanwhile;
    const char* question;
    const char* endMessage;
};

std::string endMessageRoadName(const ::testing::TestParamInfo<EndMessageRoad>& info) {
    return info.param.name;
}

void PrintTo(const EndMessageRoad& road, std::ostream* out) {
    *out << road.name;
}

class EndMessageTest : public MenuTest, public ::testing::WithParamInterface<EndMessageRoad> {};

// The end message waits for the learner's answer to the question that is
// up, and each caller gets its own answer: a Cancel stays a Cancel.
TEST_P(EndMessageTest, WaitsUntilTheQuestionUpIsAnswered) {
    const EndMessageRoad& road = GetParam();
    // With a plan, the reopened course shows no plan dialog.
    ASSERT_TRUE(big5::writeLines(
        descriptorPath(), {"DEMO", "英文造句入門", "日以繼夜型", "20", "2024/3/1", "2024/3/21"}));
    const QStringList mistakes = learnerRows("select * from mistakes");
    QStringList texts;
    QTimer learner;
    QObject::connect(&learner, &QTimer::timeout, [&] {
        const bool endMessageDue = window->tmrSyncMessageWait.isActive();
        if (!shownMessage() && endMessageDue && window->isEnabled()) {
            learner.stop();
            (window->*road.askedMeanwhile)->trigger();
        }
    });
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        const QString text = shownMessageText();
        const bool asked = text == road.question;
        if (!messageButton("OK") || (asked && window->tmrSyncMessageWait.isActive())) {
            return;
        }
        texts << text;
        clickMessageButton(asked ? "CANCEL" : "OK");
    });
    learner.start(kPollIntervalMs);
    answerer.start(kPollIntervalMs);
    (window->*road.command)->trigger();

    ASSERT_TRUE(QTest::qWaitFor([&] { return texts.contains(road.endMessage); }, kLongWaitMs))
        << texts.join('|').toStdString();
    EXPECT_EQ(texts.mid(1), QStringList({road.question, road.endMessage}));
    EXPECT_TRUE(FormInstance<frmMain>::isLoaded());
    EXPECT_EQ(learnerRows("select * from mistakes"), mistakes);
    EXPECT_TRUE(resetKinds().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Roads, EndMessageTest,
    ::testing::Values(
        EndMessageRoad{"RebuildThenExit", &frmMain::mnuRebuildEngine, &frmMain::mnuExit,
                       "\n您確定要離開本程式嗎?", "\n引擎已重建完成！"},
        EndMessageRoad{"RebuildThenCleanErrors", &frmMain::mnuRebuildEngine,
                       &frmMain::mnuCleanError, "\n您確定要清空所有的犯錯記錄嗎?",
                       "\n引擎已重建完成！"},
        EndMessageRoad{"SyncThenCleanProgress", &frmMain::mnuSync, &frmMain::mnuCleanSchedule,
                       "您確定要清空學習記錄嗎?\n\n學習進度中的計劃起始日將重新設定為今日",
                       "同步完成！\n\n已自伺服器端將您的課程進度、所造的句子及犯錯記錄等，同步至本"
                       "台電腦。"},
        EndMessageRoad{"SyncThenCleanSentences", &frmMain::mnuSync, &frmMain::mnuCleanRec,
                       "\n您確定要清空所有的造句記錄嗎?",
                       "同步完成！\n\n已自伺服器端將您的課程進度、所造的句子及犯錯記錄等，同步至本"
                       "台電腦。"}),
    endMessageRoadName);

// The input box would take Ctrl+X as its cut; there too it asks to leave.
TEST_F(MenuTest, TheExitItemAndCtrlXAskBeforeLeaving) {
    window->treMain->clickNode(window->treMain->nodeByKey("QUIZ_U1000101"));
    window->txtInput->setText("I am Tom.");
    window->txtInput->selectAll();
    for (QWidget* focused :
         {static_cast<QWidget*>(window->treMain), static_cast<QWidget*>(window->txtInput)}) {
        QStringList texts;
        {
            MessageAnswerer answerer("CANCEL");
            window->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(window));
            focused->setFocus();
            QTest::keyClick(focused, Qt::Key_X, Qt::ControlModifier);
            texts = answerer.texts();
        }
        EXPECT_EQ(texts, QStringList{"\n您確定要離開本程式嗎?"})
            << focused->metaObject()->className();
    }
    EXPECT_EQ(window->txtInput->text(), "I am Tom.");
    EXPECT_EQ(window->picMenus[10]->pixmap().cacheKey(), window->imgMenusBtn[0].cacheKey());
    EXPECT_TRUE(FormInstance<frmMain>::isLoaded());
}

// While a wait holds the window disabled, the exit question would take the
// waiting message's place and its answer.
TEST_F(MenuTest, TheWindowSystemsCloseAsksBeforeLeavingUnlessAWaitIsUnderWay) {
    {
        MessageAnswerer answerer("CANCEL");
        closeByWindowSystem(window);
        EXPECT_EQ(answerer.texts(), QStringList{"\n您確定要離開本程式嗎?"});
    }
    EXPECT_TRUE(FormInstance<frmMain>::isLoaded());

    FormInstance<frmMessage>::get()->MessageBox("2991", 2, "OK_CANCEL", "2");
    ASSERT_FALSE(window->isEnabled());
    {
        MessageAnswerer answerer("CANCEL");
        closeByWindowSystem(window);
        EXPECT_TRUE(answerer.texts().isEmpty());
        EXPECT_EQ(gMsgResult, "");
    }
    EXPECT_EQ(shownMessageText(), "\n您確定要清空所有的犯錯記錄嗎?");
    clickMessageButton("CANCEL");
    EXPECT_TRUE(window->isEnabled());

    // A please-wait box leaves the window enabled, but its work goes on.
    FormInstance<frmMessage>::get()->ProgressMsgBox("5000", 0, "", "0");
    {
        MessageAnswerer answerer("CANCEL");
        closeByWindowSystem(window);
        EXPECT_TRUE(answerer.texts().isEmpty());
    }
    EXPECT_EQ(shownMessageText(), "\n正在取得與設定進度資料中, 請稍候....");
}

TEST_F(MenuTest, SaveAndPrintOpenTheirDialogs) {
    for (const QKeySequence& keys : {QKeySequence("Ctrl+S"), QKeySequence("Ctrl+P")}) {
        WhenShown dialog([] { return QApplication::activeModalWidget(); },
                         [](QWidget* shown) { static_cast<QDialog*>(shown)->reject(); });
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keySequence(window, keys);
        EXPECT_TRUE(dialog.seen()) << keys.toString().toStdString();
    }
}

TEST_F(MenuTest, HelpItemsOpenTheManualTabAndTheWebPages) {
    window->mnuManual->trigger();
    ASSERT_TRUE(window->webMain->waitForLoad(kLongWaitMs));
    EXPECT_EQ(window->picInfoMenu[3]->pixmap().cacheKey(), window->imgInfoMenuOn.cacheKey());
    EXPECT_TRUE(window->webMain->locationURL().endsWith("_htmls/LXV_manual.htm"));

    UrlCatcher catcher;
    window->mnuWeb->trigger();
    window->mnuLearnWeb_Click();
    window->mnuDownloadCourse_Click();
    EXPECT_EQ(catcher.urls.size(), 3);
    EXPECT_EQ(catcher.urls.value(2), standin.baseUrl() + "lxv_download/");

    window->mnuAbout->trigger();
    EXPECT_TRUE(FormInstance<frmSplash>::isLoaded());
    EXPECT_TRUE(FormInstance<frmSplash>::get()->isVisible());
}

TEST_F(MenuTest, OpeningACourseShowsThePicker) {
    WhenShown picker(loadedForm<frmClassSelect>,
                     [](QWidget*) { FormInstance<frmClassSelect>::unload(); });
    window->mnuFileOpen->trigger();
    EXPECT_TRUE(picker.seen());
}

}  // namespace

#include "frmMain_menus_test.moc"
