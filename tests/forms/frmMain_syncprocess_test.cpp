#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/servicescripts.h"
#include "tests/forms/lxvrecordsfixture.h"
#include "tests/support/fulldisk.h"
#include "tests/support/messagewindow.h"
#include "tests/support/windowsystem.h"
#include "workspace/frmMain.h"
#include "workspace/frmSearch.h"
#include "workspace/treeimages.h"

namespace {

class SyncProcessTest : public LxvRecordsTest {
protected:
    void SetUp() override {
        LxvRecordsTest::SetUp();
        window = openDemo();
        runOnLearnerDb(
            "insert into UserSntn values ('L1', 'U1000101', 'Local sentence.', "
            "'2020-01-01')");
        runOnLearnerDb(
            "insert into errsentence values ('L2', 'local *wrong*', 'CP001', "
            "'2020-01-01', 'N')");
        setVisited("U1000101", "3");
        standin.clearLog();
    }

    // Everything the sync may change, to compare before and after.
    QStringList localRecords() const {
        QStringList records =
            learnerRows("select * from UserSntn") + learnerRows("select * from errsentence");
        for (const auto& [unit, state] : visitedStates()) {
            records << QString::fromStdString(unit + ":" + state);
        }
        return records;
    }

    frmMain* window = nullptr;
};

TEST_F(SyncProcessTest, ReplacesSentencesAndProgressWithTheServiceCopy) {
    upload("DEMO0001", "demo", "U1000102", "3", "0", "It's my book.");
    upload("DEMO0001", "demo", "U2000101", "2", "PU001", "I get up at seven");
    upload("DEMO0001", "demo", "U2000102", "2", "DW001", "I I go to school.");
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    PleaseWaitWatcher pleaseWait;

    window->SyncProcess(false);

    EXPECT_EQ(pleaseWait.texts(), QStringList{"正在進行資料同步處理中....請稍候"});
    const QStringList correct = learnerRows("select qcode, Sentence, sentdate from UserSntn");
    EXPECT_EQ(correct, QStringList{"U1000102|It’s my book.|" + today});
    EXPECT_EQ(learnerRows("select errcode, sentence, errdate, fromserver from errsentence"),
              QStringList({"PU001|I get up at *seven*|" + today + "|Y",
                           "DW001|*I I* go to school.|" + today + "|Y"}));
    auto expected = visitedStates();
    for (auto& [unit, state] : expected) {
        state = unit == "U1000102" ? "3" : unit == "U2000101" || unit == "U2000102" ? "2" : "1";
    }
    EXPECT_EQ(visitedStates(), expected);
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(window->tmrSyncMessageWaitTag, "SYNC");
    EXPECT_TRUE(window->tmrSyncMessageWait.isActive());
}

TEST_F(SyncProcessTest, AnEmptyServiceCopyEmptiesTheLocalRecords) {
    window->SyncProcess(false);
    EXPECT_TRUE(learnerRows("select * from UserSntn").isEmpty());
    EXPECT_TRUE(learnerRows("select * from errsentence").isEmpty());
    for (const auto& [unit, state] : visitedStates()) {
        EXPECT_EQ(state, "1") << unit;
    }
}

TEST_F(SyncProcessTest, SendsTheThreeRequestsWithTheSourceAccountOnlyOnCorrectSentences) {
    gOldPno = "OLD00001";
    PleaseWaitWatcher pleaseWait;
    window->SyncProcess(false);

    EXPECT_EQ(pleaseWait.texts(), QStringList{"正在進行資料匯入、同步處理中....請稍候"});
    EXPECT_EQ(requestsTo("p_lxv_sync_client.asp"),
              QStringList({"key=quillmarrowed&tp=ok&courseId=DEMO&pno=DEMO0001&frompno=OLD00001",
                           "key=quillmarrowed&tp=err&courseId=DEMO&pno=DEMO0001"}));
    EXPECT_EQ(requestsTo("p_lxv_getprogress.asp"),
              QStringList{"key=quillmarrowed&pno=DEMO0001&courseid=DEMO"});
}

TEST_F(SyncProcessTest, ManyUnitsAreWrittenInSeveralBatchesAndEveryOneGetsItsState) {
    // Enough units in each state that each state's statement must be split.
    QStringList attempted;
    QStringList finished;
    for (int i = 0; i < 40; ++i) {
        const QString id = QString("U9%1").arg(i, 6, 10, QChar('0'));
        ASSERT_TRUE(db::execute(
            "insert into bswunit (UNITID, PARENT, VISITED) values ('" + id + "', 'X', '1')",
            courseDb()));
        (i % 2 ? attempted : finished) << id;
    }
    for (const QString& id : attempted) {
        upload("DEMO0001", "demo", id, "2", "PU001", "no stop");
    }
    for (const QString& id : finished) {
        upload("DEMO0001", "demo", id, "3", "0", "Done.");
    }
    window->SyncProcess(false);

    const auto states = visitedStates();
    for (const QString& id : attempted) {
        EXPECT_EQ(states.at(id.toStdString()), "2") << id.toStdString();
    }
    for (const QString& id : finished) {
        EXPECT_EQ(states.at(id.toStdString()), "3") << id.toStdString();
    }
}

TEST_F(SyncProcessTest, ReopensTheCourseWhenAskedAndThenShowsTheEndMessage) {
    upload("DEMO0001", "demo", "U1000102", "3", "0", "I am twelve.");
    MessageAnswerer answerer("OK");
    window->SyncProcess(true);

    EXPECT_TRUE(gReloadDone);
    EXPECT_EQ(window->treMain->nodeByKey("QUIZ_U1000102")->image(), treeimage::kQuestionDone);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !answerer.texts().isEmpty(); }, kLongWaitMs));
    EXPECT_TRUE(answerer.texts().at(0).startsWith("同步完成！"));
    EXPECT_FALSE(window->isEnabled());
    clickThroughWindow(FormInstance<frmSchedule>::get()->imgClose);
    EXPECT_TRUE(window->isEnabled());
}

// A second sync or a page build started meanwhile would take over the
// please-wait box.
TEST_F(SyncProcessTest, ASearchThatEndsDuringTheSyncLeavesTheMainWindowDisabled) {
    // A plan on the service spares the reopened course the plan dialog.
    ASSERT_EQ(SetMemoServer("PUT", "40@2024/3/1@2024/4/10", gPno, gCourseId).left(3), "OK#");
    frmSearch* search = FormInstance<frmSearch>::get();
    search->show();
    search->txtSearch->setText("is");
    bool walkedDuringSync = false;
    WhenShown searchWhileWaiting(
        [&]() -> QWidget* { return window->tmrReloadClassWaitProc.isActive() ? search : nullptr; },
        [&](QWidget*) {
            clickThroughWindow(search->cmdSearch);
            walkedDuringSync =
                search->cmdSearch->isEnabled() && window->tmrReloadClassWaitProc.isActive();
            EXPECT_FALSE(window->isEnabled());
        });

    window->SyncProcess(true);

    EXPECT_TRUE(walkedDuringSync);
    EXPECT_TRUE(gReloadDone);
    EXPECT_TRUE(window->isEnabled());
}

// The reload's tick lands inside the click that the search's hit runs: the
// click stops where it finds its node gone, and the learner is left with the
// unit that the reload reselected, without a box to answer in.
TEST_F(SyncProcessTest, AReloadInsideTheClickOfASearchHitLeavesTheReselectedUnit) {
    ASSERT_EQ(SetMemoServer("PUT", "40@2024/3/1@2024/4/10", gPno, gCourseId).left(3), "OK#");
    window->treMain->clickNode(window->treMain->nodeByKey("U1000100"));
    frmSearch* search = FormInstance<frmSearch>::get();
    search->show();
    search->txtSearch->setText("介紹");
    WhenShown searchWhileWaiting(
        [&]() -> QWidget* { return window->tmrReloadClassWaitProc.isActive() ? search : nullptr; },
        [&](QWidget*) { clickThroughWindow(search->cmdSearch); });
    // The reload's three seconds run out as the hit's click begins.
    QTimer tickInsideClick;
    QObject::connect(&tickInsideClick, &QTimer::timeout, [&] {
        if (gNodeKey == "QUIZ_U1000101" && window->tmrReloadClassWaitProc.isActive()) {
            tickInsideClick.stop();
            window->tmrReloadClassWaitProc_Timer();
        }
    });
    tickInsideClick.start(0);
    MessageAnswerer answerer("OK");

    window->mnuSync->trigger();

    ASSERT_TRUE(searchWhileWaiting.seen());
    ASSERT_FALSE(tickInsideClick.isActive());
    EXPECT_TRUE(gReloadDone);
    EXPECT_EQ(window->treMain->selectedItem(), window->treMain->nodeByKey("U1000100"));
    EXPECT_FALSE(gQuizSelected);
    EXPECT_FALSE(window->txtInput->isVisible());
}

// Units in a state other than 2 or 3 stay at '1'; a line break after the
// last item or an empty item before the end does not refuse the sync.
TEST_F(SyncProcessTest, ProgressItemsAreReadOneByOne) {
    ASSERT_TRUE(standin.setMode("p_lxv_getprogress.asp",
                                "err:U1000102:3,U2000101:0,U2000102:2,U3000101:3\r\n,,U3000102:3"));
    MessageAnswerer answerer("OK");
    window->SyncProcess(false);

    EXPECT_TRUE(answerer.texts().isEmpty());
    auto expected = visitedStates();
    for (auto& [unit, state] : expected) {
        state = unit == "U1000102" ? "3" : unit == "U2000102" ? "2" : "1";
    }
    EXPECT_EQ(visitedStates(), expected);
    EXPECT_TRUE(window->tmrSyncMessageWait.isActive());
}

struct SyncFault {
    const char* script;
    const char* mode;
    const char* message;
};

void PrintTo(const SyncFault& fault, std::ostream* out) {
    *out << fault.script << " " << fault.mode;
}

const char* const kNetworkDown = "目前網路中斷或傳輸品質不佳，請檢查網路連線";
const char* const kUnreadable = "無法讀取伺服器傳回的學習記錄，同步未能完成";
const char* const kDatabaseFailed = "課程資料庫無法讀寫，可能已經損毀";
const char* const kFolderNotWritable = "無法寫入本程式的資料夾";

class RefusedSyncTest : public SyncProcessTest {
protected:
    void SetUp() override {
        SyncProcessTest::SetUp();
        upload("DEMO0001", "demo", "U1000102", "3", "0", "I am twelve.");
        upload("DEMO0001", "demo", "U2000101", "2", "PU001", "I get up at seven");
        before = localRecords();
    }
    // The learner's answerer, which notes the icon of each message.
    std::function<void()> noteIcons() {
        return [this] { icons << shownMessageIcon(); };
    }
    // Nothing changed, the learner is told why (an error), and the window
    // is usable.
    void expectRefused(const MessageAnswerer& answerer, const char* message) {
        EXPECT_EQ(localRecords(), before);
        EXPECT_EQ(icons, QList<int>{1});
        ASSERT_EQ(answerer.trimmedTexts().size(), 1);
        EXPECT_TRUE(answerer.trimmedTexts().at(0).startsWith(message))
            << answerer.trimmedTexts().at(0).toStdString();
        EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
        EXPECT_TRUE(window->isEnabled());
        EXPECT_FALSE(window->tmrSyncMessageWait.isActive());
        EXPECT_FALSE(window->tmrReloadClassWaitProc.isActive());
    }

    QStringList before;
    QList<int> icons;
};

class FailedSyncTest : public RefusedSyncTest, public ::testing::WithParamInterface<SyncFault> {};

TEST_P(FailedSyncTest, KeepsTheLocalRecordsAndSaysWhy) {
    ASSERT_TRUE(standin.setMode(GetParam().script, GetParam().mode));
    MessageAnswerer answerer("OK", noteIcons());
    window->SyncProcess(true);
    expectRefused(answerer, GetParam().message);
}

// A "#" inside a sentence shifts its date out of place.
INSTANTIATE_TEST_SUITE_P(
    Replies, FailedSyncTest,
    ::testing::Values(SyncFault{"p_lxv_sync_client.asp", "offline", kNetworkDown},
                      SyncFault{"p_lxv_getprogress.asp", "offline", kNetworkDown},
                      SyncFault{"p_lxv_getprogress.asp", "err:ERR_NOTFOUND", kUnreadable},
                      SyncFault{"p_lxv_sync_client.asp", "err:ERR_NOTFOUND", kUnreadable},
                      SyncFault{"p_lxv_sync_client.asp", "garbage", kUnreadable},
                      SyncFault{"p_lxv_sync_client.asp", "err:x#U1000102#It's #1 done#2011/3/1<@>",
                                kUnreadable}));

// The progress is written after the sentences: a statement that fails there
// takes the new sentences back with it.
TEST_F(RefusedSyncTest, AProgressWriteThatFailsMidwayChangesNeitherDatabase) {
    ASSERT_TRUE(
        db::execute("create trigger refuse_finished before update of VISITED on bswunit "
                    "when new.VISITED = '3' begin select raise(abort, 'refused'); end",
                    courseDb()));
    MessageAnswerer answerer("OK", noteIcons());
    window->SyncProcess(true);
    expectRefused(answerer, kDatabaseFailed);
}

// A full disk is no damaged course: the learner is not sent to reinstall it.
TEST_F(RefusedSyncTest, RecordsThatTheDiskRefusesAskForAWritableFolder) {
    MessageAnswerer answerer("OK", noteIcons());
    {
        const FullDisk full;
        window->SyncProcess(true);
    }
    expectRefused(answerer, kFolderNotWritable);
}

// Fifteen finished units take two statements; only the first one fails, so
// the failure is not the last word of the write.
TEST_F(RefusedSyncTest, AnEarlyProgressBatchThatFailsChangesNeitherDatabase) {
    QStringList finished;
    for (int unit = 1; unit <= 3; ++unit) {
        for (int question = 1; question <= 5; ++question) {
            finished << "U" + QString::number(unit) + "00010" + QString::number(question) + ":3";
        }
    }
    ASSERT_TRUE(standin.setMode("p_lxv_getprogress.asp", "err:" + finished.join(',')));
    ASSERT_TRUE(
        db::execute("create trigger refuse_first before update of VISITED on bswunit "
                    "when new.VISITED = '3' and old.UNITID = 'U1000101' "
                    "begin select raise(abort, 'refused'); end",
                    courseDb()));
    MessageAnswerer answerer("OK", noteIcons());
    window->SyncProcess(true);
    expectRefused(answerer, kDatabaseFailed);
}

}  // namespace
