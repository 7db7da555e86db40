#include <gtest/gtest.h>

#include <functional>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/big5.h"
#include "platform/browser.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/install.h"
#include "shared/settingsfiles.h"
#include "startup/frmLXVImportLogin.h"
#include "startup/frmSchedule.h"
#include "tests/forms/servicefaultfixture.h"
#include "tests/support/messagewindow.h"
#include "workspace/frmFeedback.h"
#include "workspace/frmMain.h"
#include "workspace/studyplan.h"

// The main window meets a service or checking engine that is down, that
// stays silent past the time-outs, that answers with an "ERR_" code, or that
// sends garbage: at every request, the learner sees what happened, keeps
// every record, and can go on working.

namespace {

constexpr int kPollMs = 5;

const QString kNetworkDown = QStringLiteral("\n目前網路中斷或傳輸品質不佳，請檢查網路連線");
const QString kEngineTimeOut =
    QStringLiteral("\n等待解析引擎的回傳時間過久, 已中斷呼叫, 請再試一次");

// ---- The sentence check ----

class CheckFaultTest : public FaultTest<> {
protected:
    void SetUp() override {
        FaultTest::SetUp();
        openMainWindow();
        addLocalRecords();
    }
    void expectCheckEnded() {
        EXPECT_TRUE(window->txtInput->isEnabled());
        EXPECT_FALSE(window->tmrEngineResponse.isActive());
        EXPECT_FALSE(window->mCheckRunning);
        expectUsable(window);
    }
};

using CheckGivesUpTest = CheckFaultTest;

TEST_P(CheckGivesUpTest, WithMessage39AndRecordsNothing) {
    const QStringList before = localRecords();
    applyFault(GetParam());
    MessageAnswerer answerer("OK");
    check("U1000102", "I am ten years old.");

    EXPECT_EQ(answerer.texts(), QStringList{kEngineTimeOut});
    EXPECT_EQ(localRecords(), before);
    EXPECT_EQ(gHistoryCount, 0);
    expectCheckEnded();
}

INSTANTIATE_TEST_SUITE_P(Faults, CheckGivesUpTest,
                         ::testing::Values(ServiceFault{"", "stopped"},
                                           ServiceFault{"p_all_webengine_get.asp", "offline"},
                                           ServiceFault{"p_all_webengine_get.asp", "silent"},
                                           ServiceFault{"p_passWebEngine.asp", "offline"},
                                           ServiceFault{"p_passWebEngine.asp", "garbage"}),
                         faultTestName<ServiceFault>);

// The ten tries before the question fit in the check's time limit at the
// program's own pace of a tick a second, not at the shortened one.
class CheckAsksToGoOnTest : public CheckFaultTest {
protected:
    void SetUp() override {
        CheckFaultTest::SetUp();
        window->tmrEngineResponse.setInterval(1000);
    }
};

// An engine that the lookup does not name, or that fails its online test,
// is asked about; once it answers again, the check goes on and is recorded.
TEST_P(CheckAsksToGoOnTest, AndRecordsTheSentenceOnceTheEngineAnswers) {
    applyFault(GetParam());
    // The engine is mended while its question is up, and the requests after
    // it must succeed on a loaded machine too. Any other message is answered
    // too, so that it fails the case instead of holding it.
    MessageAnswerer answerer("OK", [this] {
        standin.setMode(GetParam().script, "normal");
        restoreTimeouts();
    });
    check("U1000102", "I am ten years old.");

    EXPECT_EQ(answerer.trimmedTexts(),
              QStringList{"無法連線至解析引擎。\n請按 [確定] 再試一次，或按 [取消] 結束程式。"});
    EXPECT_EQ(rows("select qcode from UserSntn where id <> 'L1'", gUserConnStr),
              QList<QStringList>{{"U1000102"}});
    EXPECT_EQ(visitedOf("U1000102"), "3");
    expectCheckEnded();
}

INSTANTIATE_TEST_SUITE_P(Faults, CheckAsksToGoOnTest,
                         ::testing::Values(ServiceFault{"p_all_webengine_get.asp", "garbage"},
                                           ServiceFault{"p_all_webengine_get.asp", "err:ERR_NONE"},
                                           ServiceFault{"p_passWebEngine_conn.asp", "offline"},
                                           ServiceFault{"p_passWebEngine_conn.asp", "silent"},
                                           ServiceFault{"p_passWebEngine_conn.asp", "garbage"},
                                           ServiceFault{"p_passWebEngine_conn.asp",
                                                        "err:ERR_BUSY"}),
                         faultTestName<ServiceFault>);

// ---- The upload of a result ----

struct UploadFault {
    ServiceFault fault;
    bool toldNetworkDown;
};

std::string uploadFaultName(const ::testing::TestParamInfo<UploadFault>& info) {
    return faultName(info.param.fault);
}

class UploadFaultTest : public FaultTest<UploadFault> {};

// The result is recorded here whatever becomes of its upload.
TEST_P(UploadFaultTest, KeepsTheResultHere) {
    openMainWindow();
    applyFault(GetParam().fault);
    // Told once the record is whole.
    QStringList atTheMessage;
    MessageAnswerer answerer("OK", [&] { atTheMessage << visitedOf("U1000102"); });
    check("U1000102", "I am ten years old.");

    EXPECT_EQ(answerer.texts(),
              GetParam().toldNetworkDown ? QStringList{kNetworkDown} : QStringList());
    EXPECT_EQ(atTheMessage, GetParam().toldNetworkDown ? QStringList{"3"} : QStringList());
    EXPECT_EQ(rows("select qcode from UserSntn", gUserConnStr), QList<QStringList>{{"U1000102"}});
    EXPECT_EQ(visitedOf("U1000102"), "3");
    EXPECT_EQ(gHistoryCount, 1);
    EXPECT_TRUE(window->txtInput->isEnabled());
    expectUsable(window);

    // The next check goes out as usual.
    const qsizetype messages = answerer.texts().size();
    restoreTimeouts();
    ASSERT_TRUE(standin.setMode(GetParam().fault.script, "normal"));
    standin.clearLog();
    check("U1000103", "my brother is a student.");
    EXPECT_EQ(answerer.texts().mid(messages), QStringList());
    EXPECT_EQ(formsPostedTo("p_lxv_proc_sentence.asp").size(), 1);
    EXPECT_EQ(visitedOf("U1000103"), "2");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, UploadFaultTest,
    ::testing::Values(UploadFault{{"p_getconn.asp", "silent"}, true},
                      UploadFault{{"p_getconn.asp", "garbage"}, true},
                      UploadFault{{"p_getconn.asp", "err:ERR_DATABASE"}, true},
                      UploadFault{{"p_lxv_proc_sentence.asp", "offline"}, true},
                      UploadFault{{"p_lxv_proc_sentence.asp", "silent"}, true},
                      UploadFault{{"p_lxv_proc_sentence.asp", "garbage"}, true},
                      UploadFault{{"p_lxv_proc_sentence.asp", "status:500"}, true},
                      UploadFault{{"p_lxv_proc_sentence.asp", "err:ERR_DATABASE"}, false}),
    uploadFaultName);

using LXQUploadFaultTest = FaultTest<>;

// The learner is told once the record is whole.
TEST_P(LXQUploadFaultTest, StillCountsTheMistakeHere) {
    openMainWindow("LXQ");
    applyFault(GetParam());
    QStringList atTheMessage;
    MessageAnswerer answerer("OK", [&] {
        atTheMessage = rowTexts("select errcode, times from mistakes", gUserConnStr)
                       << visitedOf("U1000102");
    });
    check("U1000102", "i am ten years old.");

    EXPECT_EQ(answerer.texts(), QStringList{kNetworkDown});
    EXPECT_EQ(atTheMessage, QStringList({"CP001|1", "2"}));
    expectUsable(window);
}

INSTANTIATE_TEST_SUITE_P(Faults, LXQUploadFaultTest,
                         ::testing::Values(ServiceFault{"p_getconn.asp", "offline"},
                                           ServiceFault{"p_proc_sentence.asp", "offline"}),
                         faultTestName<ServiceFault>);

// ---- The clean-ups ----

using CleanUpFaultTest = FaultTest<>;

// The reset request is lost, the local clean-up is not.
TEST_P(CleanUpFaultTest, CleansHereAndSaysSo) {
    openMainWindow();
    addLocalRecords();
    applyFault(GetParam());
    MessageAnswerer answerer("OK");
    window->mnuCleanError_Click();

    ASSERT_EQ(answerer.texts().size(), 2);
    EXPECT_EQ(answerer.texts().at(1).trimmed(), "犯錯記錄已清除");
    EXPECT_TRUE(rows("select * from mistakes", gUserConnStr).isEmpty());
    EXPECT_TRUE(rows("select * from errsentence", gUserConnStr).isEmpty());
    EXPECT_EQ(rows("select id from UserSntn", gUserConnStr), QList<QStringList>{{"L1"}});
    expectUsable(window);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CleanUpFaultTest,
    ::testing::Values(ServiceFault{"", "stopped"}, ServiceFault{"p_getconn.asp", "silent"},
                      ServiceFault{"p_lxv_proc_reset.asp", "offline"},
                      ServiceFault{"p_lxv_proc_reset.asp", "silent"},
                      ServiceFault{"p_lxv_proc_reset.asp", "garbage"},
                      ServiceFault{"p_lxv_proc_reset.asp", "err:ERR_DATABASE"}),
    faultTestName<ServiceFault>);

// The restarted plan is kept here and goes to the service at the next
// opening that reaches it.
TEST_F(ServiceFaultTest, CleaningProgressWithTheServiceDownKeepsThePlanToSendLater) {
    openMainWindow();
    addLocalRecords();
    gScheduleType = "勤奮好學型";
    gScheduleDays = 40;
    window->WriteScheduleSetFile();
    applyFault({"", "stopped"});
    MessageAnswerer answerer("OK");
    window->mnuCleanSchedule_Click();

    ASSERT_EQ(answerer.texts().size(), 2);
    const QString today = GetDateString(QDate::currentDate(), "/");
    const QString end = GetDateString(QDate::currentDate().addDays(40), "/");
    EXPECT_EQ(studyplan::unsentMemo("DEMO"), "40@" + today + "@" + end);
    EXPECT_EQ(visitedOf("U1000101"), "1");
    EXPECT_GT(window->treMain->count(), 0);
    expectUsable(window);
}

// ---- The records sync ----

using SyncFaultTest = FaultTest<>;

TEST_P(SyncFaultTest, KeepsTheLocalRecordsAndSaysTheNetworkFailed) {
    openMainWindow();
    addLocalRecords();
    const QStringList before = localRecords();
    applyFault(GetParam());
    MessageAnswerer answerer("OK");
    window->mnuSync_Click();

    ASSERT_EQ(answerer.texts().size(), 2);
    EXPECT_EQ(answerer.texts().at(1), kNetworkDown);
    EXPECT_EQ(localRecords(), before);
    EXPECT_FALSE(window->tmrSyncMessageWait.isActive());
    EXPECT_FALSE(window->tmrReloadClassWaitProc.isActive());
    expectUsable(window);
}

INSTANTIATE_TEST_SUITE_P(Faults, SyncFaultTest,
                         ::testing::Values(ServiceFault{"", "stopped"},
                                           ServiceFault{"p_getconn.asp", "silent"},
                                           ServiceFault{"p_getconn.asp", "garbage"},
                                           ServiceFault{"p_getconn.asp", "err:ERR_BUSY"},
                                           ServiceFault{"p_lxv_sync_client.asp", "silent"},
                                           ServiceFault{"p_lxv_sync_client.asp", "status:404"},
                                           ServiceFault{"p_lxv_getprogress.asp", "status:500"},
                                           ServiceFault{"p_lxv_getprogress.asp", "offline"},
                                           ServiceFault{"p_lxv_getprogress.asp", "silent"}),
                         faultTestName<ServiceFault>);

// ---- The import ----

class ImportFaultTest : public ServiceFaultTest {
protected:
    void SetUp() override {
        ServiceFaultTest::SetUp();
        openMainWindow();
        addLocalRecords();
    }
    frmLXVImportLogin* signInForm() const {
        return FormInstance<frmLXVImportLogin>::isLoaded() ? FormInstance<frmLXVImportLogin>::get()
                                                           : nullptr;
    }
    // Fills the import sign-in once it shows, and signs in; then, on its
    // next showing, cancels.
    void signInThenCancel() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            frmLXVImportLogin* form = signInForm();
            if (!form || !form->isVisible() || shownMessage()) {
                return;
            }
            if (m_signIns++ == 0) {
                form->txtPno->setText("OLD00001");
                form->txtLogin->setText("old@lexivo.test");
                form->txtPassword->setText("old1234");
                QTest::mouseClick(form->picButtons[0], Qt::LeftButton);
            } else {
                m_timer.stop();
                QTest::mouseClick(form->picButtons[1], Qt::LeftButton);
            }
        });
        m_timer.start(kPollMs);
    }

    QTimer m_timer;
    int m_signIns = 0;
};

TEST_F(ImportFaultTest, ASilentSignInSaysTheNetworkFailedAndImportsNothing) {
    const QStringList before = localRecords();
    applyFault({"p_lxv_import_login.asp", "silent"});
    signInThenCancel();
    MessageAnswerer answerer("OK");
    window->mnuImportSync_Click();

    ASSERT_EQ(answerer.texts().size(), 2);
    EXPECT_TRUE(answerer.texts().at(1).contains(kNetworkDown.trimmed()));
    EXPECT_EQ(m_signIns, 2);
    EXPECT_FALSE(gLoginOK);
    EXPECT_EQ(localRecords(), before);
    EXPECT_TRUE(QTest::qWaitFor([] { return !FormInstance<frmLXVImportLogin>::isLoaded(); }));
    expectUsable(window);
}

TEST_F(ImportFaultTest, AnUnreadableSyncAfterTheSignInKeepsTheLocalRecords) {
    const QStringList before = localRecords();
    applyFault({"p_lxv_sync_client.asp", "garbage"});
    signInThenCancel();
    MessageAnswerer answerer("OK");
    window->mnuImportSync_Click();

    EXPECT_EQ(m_signIns, 1);
    EXPECT_EQ(gOldPno, "OLD00001");
    ASSERT_EQ(answerer.texts().size(), 2);
    EXPECT_TRUE(answerer.texts().at(1).contains("無法讀取伺服器傳回的學習記錄"));
    EXPECT_EQ(localRecords(), before);
    EXPECT_FALSE(window->tmrSyncMessageWait.isActive());
    expectUsable(window);
}

// ---- The study plan ----

using PlanFaultTest = FaultTest<>;

// The chosen plan is kept here and sent again at the next opening.
TEST_P(PlanFaultTest, KeepsThePlanHereToSendLater) {
    openMainWindow();
    window->mnuSchedule_Click();
    applyFault(GetParam());
    MessageAnswerer answerer("OK");
    QTest::mouseClick(FormInstance<frmSchedule>::get()->picSchedule[1], Qt::LeftButton);

    const QString today = GetDateString(QDate::currentDate(), "/");
    const QString end = GetDateString(QDate::currentDate().addDays(40), "/");
    ASSERT_EQ(answerer.texts().size(), 2);
    EXPECT_EQ(big5::readLines(ProductFolder() + "/DEMO.lxs").mid(2),
              QStringList({"勤奮好學型", "40", today, end}));
    EXPECT_EQ(studyplan::unsentMemo("DEMO"), "40@" + today + "@" + end);
    EXPECT_TRUE(QTest::qWaitFor([] { return !FormInstance<frmSchedule>::isLoaded(); }));
    expectUsable(window);
}

INSTANTIATE_TEST_SUITE_P(Faults, PlanFaultTest,
                         ::testing::Values(ServiceFault{"", "stopped"},
                                           ServiceFault{"p_getconn.asp", "garbage"},
                                           ServiceFault{"p_all_setmemo.asp", "silent"},
                                           ServiceFault{"p_all_setmemo.asp", "err:ERR_DATABASE"}),
                         faultTestName<ServiceFault>);

// ---- The progress page of the service editions ----

using ProgressPageFaultTest = FaultTest<>;

// A plain navigation: the pane shows what the browser shows, without a
// message, and the please-wait box does not stay.
TEST_P(ProgressPageFaultTest, LeavesNoBoxAndTheWindowUsable) {
    openMainWindow("LXQ");
    applyFault(GetParam());
    MessageAnswerer answerer("OK");
    QTest::mouseClick(window->picMenus[0], Qt::LeftButton, {}, QPoint(3, 3));
    window->webMain->waitForLoad(kShortTimeoutMs * 4);

    EXPECT_TRUE(answerer.texts().isEmpty());
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
    expectUsable(window);
    EXPECT_TRUE(window->picMenus[0]->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Faults, ProgressPageFaultTest,
                         ::testing::Values(ServiceFault{"", "stopped"},
                                           ServiceFault{"p_getcalcprogress.asp", "offline"},
                                           ServiceFault{"p_getcalcprogress.asp", "silent"},
                                           ServiceFault{"p_getcalcprogress.asp", "garbage"},
                                           ServiceFault{"p_getcalcprogress.asp", "err:ERR_X"}),
                         faultTestName<ServiceFault>);

// ---- The feedback ----

struct FeedbackFault {
    ServiceFault fault;
    bool refused;  // message 1 and the window back; else sent (message 11)
};

std::string feedbackFaultName(const ::testing::TestParamInfo<FeedbackFault>& info) {
    return faultName(info.param.fault);
}

class FeedbackFaultTest : public FaultTest<FeedbackFault> {};

TEST_P(FeedbackFaultTest, RefusesWithMessage1OrEndsAsSent) {
    openMainWindow();
    selectQuestion("U1000101");
    SetFile_IO(gRegistrySetFile, "W", "sentence", "My name is Tom.");
    frmFeedback* form = FormInstance<frmFeedback>::get();
    form->show();
    QTest::mouseClick(form->txtDesc->viewport(), Qt::LeftButton);
    QTest::keyClicks(form->txtDesc, "Why?");
    applyFault(GetParam().fault);
    MessageAnswerer answerer("OK");
    QTest::mouseClick(form->cmdSend, Qt::LeftButton);

    ASSERT_EQ(answerer.texts().size(), 1);
    if (GetParam().refused) {
        EXPECT_EQ(answerer.texts().first(), kNetworkDown);
        ASSERT_TRUE(FormInstance<frmFeedback>::isLoaded());
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->txtDesc->toPlainText(), "Why?");
        EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "sentence"), "My name is Tom.");
    } else {
        EXPECT_EQ(answerer.texts().first().trimmed(), "您的意見已經傳送至伺服器完成了！");
        EXPECT_FALSE(FormInstance<frmFeedback>::isLoaded());
    }
    expectUsable(window);
}

INSTANTIATE_TEST_SUITE_P(Faults, FeedbackFaultTest,
                         ::testing::Values(FeedbackFault{{"", "stopped"}, true},
                                           FeedbackFault{{"p_getconn.asp", "silent"}, true},
                                           FeedbackFault{{"p_getconn.asp", "garbage"}, true},
                                           FeedbackFault{{"p_getconn.asp", "err:ERR_BUSY"}, true},
                                           FeedbackFault{{"p_feedback.asp", "offline"}, true},
                                           FeedbackFault{{"p_feedback.asp", "silent"}, true},
                                           FeedbackFault{{"p_feedback.asp", "garbage"}, true},
                                           FeedbackFault{{"p_feedback.asp", "err:ERR_DATABASE"},
                                                         false}),
                         feedbackFaultName);

}  // namespace
