#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <optional>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include "platform/forminstance.h"
#include "platform/http.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/servicescripts.h"
#include "shared/settingsfiles.h"
#include "startup/frmSchedule.h"
#include "tests/forms/lxvrecordsfixture.h"
#include "tests/support/fulldisk.h"
#include "tests/support/messagewindow.h"
#include "tests/support/windowsystem.h"
#include "workspace/studyplan.h"

namespace {

QString dateText(const QDate& date) {
    return GetDateString(date, "/");
}

class ScheduleTest : public LxvRecordsTest {
protected:
    void SetUp() override {
        LxvRecordsTest::SetUp();
        window = openDemo(true);
        today = QDate::currentDate();
    }
    void TearDown() override {
        http::setTimeouts(m_connectMs, m_totalMs);
        LxvRecordsTest::TearDown();
    }

    frmSchedule* dialog() { return FormInstance<frmSchedule>::get(); }

    // A plan as the tree loader leaves it, and the dialog opened afresh on it.
    frmSchedule* reopenWith(const QString& name, int days, const QDate& start, const QDate& end) {
        FormInstance<frmSchedule>::unload();
        gScheduleType = name;
        gScheduleDays = days;
        gScheduleStart = start;
        gScheduleEnd = end;
        window->mnuSchedule_Click();
        standin.clearLog();
        return dialog();
    }

    void clickPlan(int index) { QTest::mouseClick(dialog()->picSchedule[index], Qt::LeftButton); }

    // The plans that reached the service.
    QStringList sentPlans() {
        QStringList plans;
        for (const QString& body : requestsTo("p_all_setmemo.asp")) {
            if (body.contains("&act=PUT")) {
                plans << body.section("&setmemo=", 1);
            }
        }
        return plans;
    }

    bool closes() {
        return QTest::qWaitFor([] { return !FormInstance<frmSchedule>::isLoaded(); });
    }

    // Long enough for a look at setup.set while the service holds a post.
    static constexpr int kHeldPutMs = 1000;

    frmMain* window = nullptr;
    QDate today;
    const int m_connectMs = http::connectTimeoutMs();
    const int m_totalMs = http::totalTimeoutMs();
};

TEST_F(ScheduleTest, ACourseWithoutAPlanOpensOneDialogThatAsksForAPlan) {
    ASSERT_TRUE(FormInstance<frmSchedule>::isLoaded());
    frmSchedule* form = dialog();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(window->isEnabled());
    window->mnuSchedule_Click();
    EXPECT_EQ(dialog(), form);
    const QWidgetList windows = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(windows.begin(), windows.end(),
                            [](QWidget* w) { return qobject_cast<frmSchedule*>(w) != nullptr; }),
              1);

    EXPECT_EQ(form->lblCaption->text(), "進度計劃");
    EXPECT_EQ(form->lblSchedule->text(), "請您在下方選擇一項本課程的進度計劃");
    EXPECT_EQ(gScheduleStart, today);
    EXPECT_EQ(form->cmdOK->text(), "確認");
    EXPECT_EQ(form->cmdExtend->text(), "延長");
    EXPECT_EQ(form->lblMemos[1]->text(), "1.系統第一次啟動，預設進度計劃之起始日為當日。");
    EXPECT_EQ(form->lblS[2]->text(), "往後延");
    EXPECT_FALSE(form->cmdOK->isEnabled());
    EXPECT_FALSE(form->cmdExtend->isEnabled());
    EXPECT_FALSE(form->txtExtendDays->isEnabled());
    EXPECT_TRUE(form->lblStatus->text().isEmpty());
    EXPECT_FALSE(saveScreenshot(form, "frmSchedule-noplan").isEmpty());
}

TEST_F(ScheduleTest, ADialogUnloadedWithoutClosingStillFreesTheMainWindow) {
    ASSERT_FALSE(window->isEnabled());
    frmSchedule* form = dialog();
    FormInstance<frmSchedule>::unload();
    // A handler of it that runs on and shows it again holds nothing.
    form->showDialog();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(ScheduleTest, ClosedByTheWindowSystemTheDialogFreesTheMainWindow) {
    ASSERT_FALSE(window->isEnabled());
    closeByWindowSystem(dialog());
    EXPECT_TRUE(closes());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(ScheduleTest, ChoosingANamedPlanStoresItInTheDescriptorAndOnTheService) {
    MessageAnswerer answerer("OK");
    clickPlan(2);

    const QDate end = today.addDays(60);
    ASSERT_EQ(answerer.texts().size(), 2);
    EXPECT_TRUE(answerer.texts().at(0).contains("【" + dateText(end) + "】"));
    EXPECT_EQ(answerer.texts().at(1).trimmed(), "已將學習進度變更為《按步就班型 ( 60 日完成)》");
    EXPECT_EQ(gScheduleType, "按步就班型");
    EXPECT_EQ(gScheduleDays, 60);
    EXPECT_EQ(gScheduleStart, today);
    EXPECT_EQ(gScheduleEnd, end);
    EXPECT_EQ(descriptorLines(), QStringList({"DEMO", "英文造句入門", "按步就班型", "60",
                                              dateText(today), dateText(end)}));
    EXPECT_EQ(sentPlans(), QStringList{"60@" + dateText(today) + "@" + dateText(end)});
    EXPECT_TRUE(gStudyPageDirty);
    EXPECT_TRUE(closes());
    EXPECT_TRUE(window->isEnabled());
}

// The chosen plan waits to be sent from the moment that the descriptor holds
// it: a program ended while the learner reads that it was taken sends it at
// the next opening, rather than take the service's older one.
class PlanChoiceTest : public ScheduleTest, public ::testing::WithParamInterface<int> {};

TEST_P(PlanChoiceTest, AChosenPlanWaitsToBeSentWhileItIsTold) {
    const int plan = GetParam();
    const int days = plan == 4 ? 25 : 60;
    const QString memo =
        QString::number(days) + "@" + dateText(today) + "@" + dateText(today.addDays(days));
    dialog()->txtLimitDays->setText("25");
    QString unsentWhileTold = "(not told)";
    MessageAnswerer answerer("OK", [&] {
        if (shownMessageText().contains("已將學習進度變更為")) {
            unsentWhileTold = studyplan::unsentMemo("DEMO");
        }
    });
    clickThroughWindow(dialog()->picSchedule[plan]);

    EXPECT_EQ(unsentWhileTold, memo);
    EXPECT_EQ(sentPlans(), QStringList{memo});
    EXPECT_TRUE(studyplan::unsentMemo("DEMO").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(NamedOrOwn, PlanChoiceTest, ::testing::Values(2, 4));

TEST_F(ScheduleTest, CancellingTheChoiceChangesNothing) {
    const QByteArray before = readBytes(descriptorPath());
    MessageAnswerer answerer("CANCEL");
    clickPlan(0);
    EXPECT_EQ(answerer.texts().size(), 1);
    EXPECT_EQ(gScheduleType, "NONE");
    EXPECT_EQ(readBytes(descriptorPath()), before);
    EXPECT_TRUE(sentPlans().isEmpty());
    EXPECT_TRUE(dialog()->isVisible());
    EXPECT_FALSE(window->isEnabled());
}

TEST_F(ScheduleTest, AnOwnPlanNeedsAWholeNumberOfMoreThanFiveDays) {
    const auto messagesFor = [this](const QString& days, const QString& answer) {
        dialog()->txtLimitDays->setText(days);
        MessageAnswerer answerer(answer);
        clickPlan(4);
        return answerer.texts();
    };
    EXPECT_EQ(messagesFor(" ", "OK"), QStringList{"\n請您輸入自訂的完成天數"});
    EXPECT_EQ(messagesFor("1x", "OK"), QStringList{"\n請您輸入自訂的完成天數"});
    EXPECT_EQ(messagesFor("5", "OK"), QStringList{"\n自訂的完成天數必須大於5天"});
    EXPECT_TRUE(dialog()->isVisible());
    EXPECT_EQ(dialog()->focusWidget(), dialog()->txtLimitDays);
    EXPECT_FALSE(window->isEnabled());
    const QStringList accepted = messagesFor("6", "CANCEL");
    ASSERT_EQ(accepted.size(), 1);
    EXPECT_TRUE(accepted.at(0).contains(dateText(today.addDays(6))));
    EXPECT_EQ(gScheduleType, "NONE");
}

TEST_F(ScheduleTest, AnOwnPlanOfTwentyFiveDaysIsTheCustomPlan) {
    dialog()->txtLimitDays->setText("25");
    MessageAnswerer answerer("OK");
    clickPlan(4);
    EXPECT_EQ(gScheduleType, "自訂期限型");
    EXPECT_EQ(descriptorLines().mid(2, 2), QStringList({"自訂期限型", "25"}));
}

TEST_F(ScheduleTest, DayBoxesTakeDigitsAndBackspaceOnly) {
    QLineEdit* box = dialog()->txtLimitDays;
    box->setFocus();
    QTest::keyClicks(box, "1a-2 3");
    EXPECT_EQ(box->text(), "123");
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "12");
    QTest::keyClicks(box, "45");
    EXPECT_EQ(box->text(), "124");
}

TEST_F(ScheduleTest, APlanShowsItsPeriodMarkAndStatus) {
    setVisited("U1000101", "3");
    frmSchedule* form = reopenWith("勤奮好學型", 40, QDate(2024, 3, 1), today.addDays(3));
    EXPECT_EQ(form->lblSchedule->text(),
              "起迄日期:【2024/3/1】至【" + dateText(today.addDays(3)) + "】共40天");
    EXPECT_FALSE(form->imgSelect[1]->pixmap().isNull());
    EXPECT_TRUE(form->imgSelect[0]->pixmap().isNull());
    EXPECT_TRUE(form->txtLimitDays->text().isEmpty());
    EXPECT_TRUE(form->cmdOK->isEnabled());
    // 15 questions of the course, one of them finished; the root and unit
    // rows are no questions.
    EXPECT_EQ(form->lblStatus->text(), "依進度，目前餘 3 日，尚有 14 題未完成");
    EXPECT_FALSE(saveScreenshot(form, "frmSchedule-plan").isEmpty());

    form = reopenWith("勤奮好學型", 40, QDate(2024, 3, 1), today.addDays(-3));
    EXPECT_EQ(form->lblStatus->text(), "依進度，目前已超過 3 日，尚有 14 題未完成");
}

TEST_F(ScheduleTest, ExtendingANamedPlanKeepsItsNameAndMakesItAnOwnLength) {
    const QDate start(2024, 3, 1);
    reopenWith("勤奮好學型", 40, start, start.addDays(40));
    dialog()->txtExtendDays->setText("7");
    MessageAnswerer answerer("YES");
    dialog()->cmdExtend->click();

    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().at(0).contains("【2024/4/17】"));
    EXPECT_EQ(gScheduleType, "勤奮好學型");
    EXPECT_EQ(gScheduleDays, 47);
    EXPECT_EQ(gScheduleEnd, QDate(2024, 4, 17));
    EXPECT_EQ(descriptorLines().mid(2), QStringList({"勤奮好學型", "47", "2024/3/1", "2024/4/17"}));
    EXPECT_EQ(sentPlans(), QStringList{"47@2024/3/1@2024/4/17"});
    ASSERT_TRUE(closes());

    window->mnuSchedule_Click();
    EXPECT_FALSE(dialog()->imgSelect[4]->pixmap().isNull());
    EXPECT_EQ(dialog()->txtLimitDays->text(), "47");
}

TEST_F(ScheduleTest, AnExtensionThatIsRefusedOrCancelledChangesNothing) {
    const QDate start(2024, 3, 1);
    reopenWith("勤奮好學型", 40, start, start.addDays(40));
    const QByteArray before = readBytes(descriptorPath());
    {
        MessageAnswerer answerer("NO");
        for (const char* days : {"", "0", "x"}) {
            dialog()->txtExtendDays->setText(days);
            dialog()->cmdExtend->click();
        }
        EXPECT_TRUE(answerer.texts().isEmpty());
        dialog()->txtExtendDays->setText("7");
        dialog()->cmdExtend->click();
        EXPECT_EQ(answerer.texts().size(), 1);
    }
    reopenWith("勤奮好學型", 32767, start, start.addDays(32767));
    {
        MessageAnswerer answerer("OK");
        dialog()->txtExtendDays->setText("1");
        dialog()->cmdExtend->click();
        EXPECT_EQ(answerer.texts().value(0).trimmed(), "進度計劃最長為32767天，無法再延長。");
    }
    EXPECT_EQ(gScheduleDays, 32767);
    EXPECT_EQ(readBytes(descriptorPath()), before);
    EXPECT_TRUE(sentPlans().isEmpty());
    EXPECT_FALSE(window->isEnabled());
}

// Closed while the extension is asked, the dialog takes neither answer:
// the plan stays and the main window is free again.
TEST_F(ScheduleTest, ClosedWhileAnExtensionIsAskedTheDialogChangesNothing) {
    const QDate start(2024, 3, 1);
    for (const QString answer : {"NO", "YES"}) {
        SCOPED_TRACE(answer.toStdString());
        reopenWith("勤奮好學型", 40, start, start.addDays(40));
        const QByteArray before = readBytes(descriptorPath());
        frmSchedule* form = dialog();
        MessageAnswerer answerer(answer, [&] {
            clickThroughWindow(form->imgClose);
            EXPECT_TRUE(closes());
        });
        form->txtExtendDays->setText("7");
        clickThroughWindow(form->cmdExtend);

        EXPECT_EQ(answerer.texts().size(), 1);
        EXPECT_EQ(gScheduleEnd, start.addDays(40));
        EXPECT_EQ(readBytes(descriptorPath()), before);
        EXPECT_TRUE(sentPlans().isEmpty());
        EXPECT_TRUE(window->isEnabled());
    }
}

// Each extension meets an answer to either message, so that a wrong one
// fails the test instead of waiting for ever.
TEST_F(ScheduleTest, AnExtensionToTheLongestPlanIsTakenAndOneDayMoreIsNot) {
    const QDate start(2024, 3, 1);
    reopenWith("勤奮好學型", 32760, start, start.addDays(32760));
    {
        MessageAnswerer refused("OK");
        MessageAnswerer declined("NO");
        dialog()->txtExtendDays->setText("8");
        dialog()->cmdExtend->click();
        EXPECT_EQ(refused.trimmedTexts(), QStringList{"進度計劃最長為32767天，無法再延長。"});
    }
    MessageAnswerer refused("OK");
    MessageAnswerer confirmed("YES");
    dialog()->txtExtendDays->setText("7");
    dialog()->cmdExtend->click();
    EXPECT_EQ(gScheduleDays, 32767);
    EXPECT_EQ(sentPlans().size(), 1);
}

TEST_F(ScheduleTest, HoveringFramesOnePlanPictureAtATime) {
    frmSchedule* form = dialog();
    sendMouseMove(form->picSchedule[1]);
    EXPECT_EQ(form->picSchedule[1]->frameShape(), QFrame::Box);
    sendMouseMove(form->picSchedule[3]);
    EXPECT_EQ(form->picSchedule[3]->frameShape(), QFrame::Box);
    EXPECT_EQ(form->picSchedule[1]->frameShape(), QFrame::NoFrame);
    sendMouseMove(form->picBG, QPoint(5, 300));
    EXPECT_EQ(form->picSchedule[3]->frameShape(), QFrame::NoFrame);
}

// The disk fills up once the learner is asked, and has room again for the
// message that follows.
TEST_F(ScheduleTest, APlanThatCannotBeWrittenIsNeitherTakenNorSent) {
    const QDate start(2024, 3, 1);
    reopenWith("勤奮好學型", 40, start, start.addDays(40));
    const QByteArray descriptor = readBytes(descriptorPath());
    std::optional<FullDisk> diskFull;
    QList<int> icons;
    MessageAnswerer answerer("OK", [&] {
        icons << shownMessageIcon();
        diskFull ? diskFull.reset() : void(diskFull.emplace());
    });
    clickPlan(2);

    ASSERT_EQ(answerer.trimmedTexts().size(), 2);
    EXPECT_TRUE(answerer.trimmedTexts().at(1).startsWith("無法寫入課程的進度計劃檔"));
    EXPECT_EQ(icons.value(1), 1);
    EXPECT_EQ(readBytes(descriptorPath()), descriptor);
    EXPECT_TRUE(sentPlans().isEmpty());
    EXPECT_EQ(gScheduleType, "勤奮好學型");
    EXPECT_EQ(gScheduleDays, 40);
    EXPECT_EQ(gScheduleEnd, start.addDays(40));
    EXPECT_TRUE(dialog()->isVisible());
}

TEST_F(ScheduleTest, WithoutADescriptorThePlanIsSentButNoFileIsMade) {
    QFile::remove(descriptorPath());
    MessageAnswerer answerer("OK");
    clickPlan(0);
    EXPECT_FALSE(QFile::exists(descriptorPath()));
    EXPECT_EQ(sentPlans().size(), 1);
}

// The plan is kept here already while the service holds its PUT: a program
// ended then still has it.
TEST_F(ScheduleTest, APlanTheServiceDidNotTakeIsSentAgainAtTheNextOpening) {
    const QDate start(2024, 3, 1);
    ASSERT_EQ(SetMemoServer("PUT", "20@2024/1/1@2024/1/21", gPno, "DEMO"),
              "OK#20@2024/1/1@2024/1/21");
    reopenWith("勤奮好學型", 40, start, start.addDays(40));
    ASSERT_TRUE(standin.setMode("p_all_setmemo.asp", "silent"));
    http::setTimeouts(kHeldPutMs, kHeldPutMs);
    std::future<QByteArray> setupWhilePutHeld =
        std::async(std::launch::async, [this, setup = gSetupSetFile] {
            const QDeadlineTimer deadline(kLongWaitMs);
            while (sentPlans().isEmpty() && !deadline.hasExpired()) {
                QThread::msleep(kPollIntervalMs);
            }
            return readBytes(setup);
        });
    dialog()->txtExtendDays->setText("7");
    {
        MessageAnswerer answerer("YES");
        dialog()->cmdExtend->click();
    }
    EXPECT_TRUE(setupWhilePutHeld.get().contains("unsentPlan.DEMO=47@2024/3/1@2024/4/17"));
    EXPECT_EQ(studyplan::unsentMemo("DEMO"), "47@2024/3/1@2024/4/17");

    // Still unreachable at the next opening: the local plan stays.
    window->SyncSchedule();
    EXPECT_EQ(descriptorLines().mid(3), QStringList({"47", "2024/3/1", "2024/4/17"}));

    ASSERT_TRUE(standin.setMode("p_all_setmemo.asp", "normal"));
    standin.clearLog();
    window->SyncSchedule();
    EXPECT_EQ(sentPlans(), QStringList{"47@2024/3/1@2024/4/17"});
    EXPECT_TRUE(studyplan::unsentMemo("DEMO").isEmpty());
    EXPECT_EQ(descriptorLines().mid(2), QStringList({"自訂期限型", "47", "2024/3/1", "2024/4/17"}));
}

// Only a failed post or a refusal keeps a plan back: any other reply counts
// as delivered, and the service's plan is read again at the next opening.
TEST_F(ScheduleTest, AnyReplyButAnErrorCountsAsDelivered) {
    const QDate start(2024, 3, 1);
    reopenWith("勤奮好學型", 40, start, start.addDays(40));
    ASSERT_TRUE(standin.setMode("p_all_setmemo.asp", "garbage"));
    dialog()->txtExtendDays->setText("7");
    {
        MessageAnswerer answerer("YES");
        dialog()->cmdExtend->click();
    }
    EXPECT_EQ(sentPlans(), QStringList{"47@2024/3/1@2024/4/17"});
    EXPECT_TRUE(studyplan::unsentMemo("DEMO").isEmpty());

    ASSERT_TRUE(standin.setMode("p_all_setmemo.asp", "normal"));
    ASSERT_EQ(SetMemoServer("PUT", "20@2024/1/1@2024/1/21", gPno, "DEMO"),
              "OK#20@2024/1/1@2024/1/21");
    window->SyncSchedule();
    EXPECT_EQ(descriptorLines().mid(2), QStringList({"日以繼夜型", "20", "2024/1/1", "2024/1/21"}));
}

}  // namespace
