#include <unistd.h>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <map>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "platform/forminstance.h"
#include "platform/twips.h"
#include "platform/waituntil.h"
#include "platform/windowskin.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/mainwindowlink.h"
#include "tests/support/messagewindow.h"
#include "tests/support/tempbase.h"
#include "tests/support/windowsystem.h"

namespace {

frmMessage* message() {
    return FormInstance<frmMessage>::get();
}

class FrmMessageTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        gMsgResult.clear();
        gStartupDone = false;
        RegisterMainWindow(&m_mainWindow);
    }
    void TearDown() override {
        FormInstance<frmMessage>::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        RegisterMainWindow(nullptr);
        gStartupDone = false;
        TempBaseTest::TearDown();
    }

    QWidget m_mainWindow;
};

TEST(MessageTextTest, ShortTextGetsALeadingLineBreakCountingItsOwnBreaks) {
    const QString text29 = QString(29, QChar(0x5B57));
    const QString text30 = QString(30, QChar(0x5B57));
    EXPECT_EQ(WithLeadingLineBreak(text29), "\r\n" + text29);
    EXPECT_EQ(WithLeadingLineBreak(text30), text30);

    const QString broken29 = QString(13, QChar('a')) + "\r\n" + QString(14, QChar('b'));
    const QString broken30 = QString(14, QChar('a')) + "\r\n" + QString(14, QChar('b'));
    EXPECT_EQ(WithLeadingLineBreak(broken29), "\r\n" + broken29);
    EXPECT_EQ(WithLeadingLineBreak(broken30), broken30);
    EXPECT_EQ(WithLeadingLineBreak(QString()), "\r\n");
}

TEST(MessageTextTest, CaptionsByCaptionId) {
    EXPECT_EQ(MessageCaption("0"), "訊息");
    EXPECT_EQ(MessageCaption("1"), "訊息");
    EXPECT_EQ(MessageCaption("2"), "詢問");
    EXPECT_EQ(MessageCaption("3"), "軟體更新");
    EXPECT_EQ(MessageCaption("4"), "同步資料");
    EXPECT_EQ(MessageCaption("5"), "匯入其他帳號資料");
    EXPECT_EQ(MessageCaption("6"), "");
}

TEST(MessageTextTest, PlanAndCourseValuesAreReadWhenTheTextIsBuilt) {
    gScheduleType = "A";
    gScheduleDays = 40;
    EXPECT_EQ(MessageText("2989"), "已將學習進度變更為《A ( 40 日完成)》");
    gScheduleDays = 20;
    EXPECT_EQ(MessageText("2989"), "已將學習進度變更為《A ( 20 日完成)》");

    gScheduleEndPreview = QDate(2012, 3, 5);
    EXPECT_EQ(MessageText("2990"),
              "變更學習進度後，\r\n預計所有習題應於【2012/3/5】完成所有題目。\r\n"
              "是否確認要變更學習進度?");

    gSelCourseName = "初級英文";
    EXPECT_TRUE(MessageText("2974").startsWith("[初級英文]的資料庫已經有更新！\r\n"));
    gMsgParam = "2012/6/1";
    EXPECT_TRUE(MessageText("29871").startsWith("如此會將目前學習進度延長至【2012/6/1】\r\n\r\n"));
}

TEST(MessageTextTest, EngineRetryQuestionHasAWordingAndUnknownIdsHaveNone) {
    EXPECT_EQ(MessageText("16001"),
              "無法連線至解析引擎。\r\n請按 [確定] 再試一次，或按 [取消] 結束程式。");
    EXPECT_EQ(MessageText("12345"), "");
    EXPECT_EQ(PleaseWaitText("3004"), "正在進行資料同步處理中....請稍候");
    EXPECT_EQ(PleaseWaitText("40"), "");
}

TEST_F(FrmMessageTest, WindowIsTopmostSkinnedAndShownAt250WithoutFading) {
    frmMessage* window = message();
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(windowskin::alpha(window), 250);
    EXPECT_FALSE(window->tmrTransparentForm->isActive());
    EXPECT_EQ(window->size(), window->picBG->size());
    EXPECT_FALSE(window->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(window->mask().contains(QPoint(window->width() - 1, window->height() - 1)));
    EXPECT_TRUE(window->mask().contains(QPoint(window->width() / 2, window->height() / 2)));
    EXPECT_EQ(window->tmrProgressFlash->interval(), 30);
}

TEST_F(FrmMessageTest, TextLengthDecidesTheLeadingLineBreak) {
    gScheduleDays = 40;
    gScheduleType = "ABCDEFGH";  // 29 characters in all
    message()->MessageBox("2989", 0, "OK", "0");
    EXPECT_EQ(shownMessageText(), "\n已將學習進度變更為《ABCDEFGH ( 40 日完成)》");
    clickMessageButton("OK");

    gScheduleType = "ABCDEFGHI";  // 30
    message()->MessageBox("2989", 0, "OK", "0");
    EXPECT_EQ(shownMessageText(), "已將學習進度變更為《ABCDEFGHI ( 40 日完成)》");
}

TEST_F(FrmMessageTest, MessageShowsCaptionTextIconAndButtonCaptions) {
    gScheduleType = "A";
    gScheduleDays = 40;
    message()->MessageBox("2989", 2, "YES_NO", "2");
    frmMessage* window = shownMessage();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->lblCaption->text(), "詢問");
    EXPECT_EQ(window->lblMessage->text(), "\n已將學習進度變更為《A ( 40 日完成)》");
    EXPECT_EQ(window->imgIcon->pixmap().toImage(), window->imgIcons[2].toImage());
    EXPECT_EQ(window->cmdYes->text(), "是");
    EXPECT_EQ(window->cmdNo->text(), "否");
    EXPECT_EQ(window->cmdOK->text(), "確定");
    EXPECT_EQ(window->cmdCancel->text(), "取消");
    EXPECT_FALSE(window->picProgress->isVisible());
}

TEST_F(FrmMessageTest, EachButtonSetShowsItsButtonsWhereTheLayoutPutsThem) {
    // Left edges in twips of the shown buttons, the window being 5400 wide
    // and each button 1200.
    const std::map<QString, std::map<QString, int>> layouts = {
        {"OK", {{"OK", 2100}}},
        {"OK_CANCEL", {{"OK", 1400}, {"CANCEL", 2800}}},
        {"YES_NO", {{"YES", 1400}, {"NO", 2800}}},
        {"OK_CANCEL_NO", {{"OK", 800}, {"CANCEL", 2100}, {"NO", 3400}}},
        {"CANCEL_ONLY", {}},
    };
    ASSERT_EQ(pixelsToTwips(message()->width()), 5400);
    ASSERT_EQ(pixelsToTwips(message()->cmdOK->width()), 1200);
    for (const auto& [formType, expected] : layouts) {
        SCOPED_TRACE(formType.toStdString());
        message()->MessageBox("40", 2, formType, "2");
        for (const QString answer : {"OK", "CANCEL", "YES", "NO"}) {
            QPushButton* button = messageButton(answer);
            const auto place = expected.find(answer);
            if (place == expected.end()) {
                EXPECT_EQ(button, nullptr) << answer.toStdString();
                continue;
            }
            ASSERT_NE(button, nullptr) << answer.toStdString();
            EXPECT_EQ(button->x(), twipsToPixels(place->second)) << answer.toStdString();
        }
        FormInstance<frmMessage>::unload();
    }
}

TEST_F(FrmMessageTest, EachButtonAnswersAndClosesTheWindow) {
    const std::map<QString, QString> sets = {
        {"OK", "OK_CANCEL"}, {"CANCEL", "OK_CANCEL_NO"}, {"YES", "YES_NO"}, {"NO", "OK_CANCEL_NO"}};
    for (const auto& [answer, formType] : sets) {
        SCOPED_TRACE(answer.toStdString());
        message()->MessageBox("40", 2, formType, "2");
        EXPECT_EQ(gMsgResult, "");
        clickMessageButton(answer);
        EXPECT_EQ(gMsgResult, answer);
        EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
    }
}

// Closed by the window system, a message takes the answer that changes
// nothing; a please-wait box, which has no answer, stays.
TEST_F(FrmMessageTest, TheWindowSystemsCloseAnswersWhatChangesNothing) {
    gStartupDone = true;
    const std::map<QString, QString> answers = {
        {"OK", "OK"}, {"OK_CANCEL", "CANCEL"}, {"YES_NO", "NO"}, {"OK_CANCEL_NO", "CANCEL"}};
    for (const auto& [formType, answer] : answers) {
        SCOPED_TRACE(formType.toStdString());
        message()->MessageBox("40", 2, formType, "2");
        ASSERT_FALSE(m_mainWindow.isEnabled());
        closeByWindowSystem(message());
        EXPECT_EQ(gMsgResult, answer);
        EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
        EXPECT_TRUE(m_mainWindow.isEnabled());
    }

    message()->ProgressMsgBox("3004", 0, "", "0");
    closeByWindowSystem(message());
    EXPECT_NE(shownMessage(), nullptr);
    EXPECT_EQ(gMsgResult, "OK");
}

TEST_F(FrmMessageTest, CallerWaitsForTheAnswerWhileEventsRun) {
    MessageAnswerer answerer("YES");
    message()->MessageBox("4", 2, "YES_NO", "3");
    ASSERT_TRUE(waitUntil([] { return !gMsgResult.isEmpty(); }, 10000));
    EXPECT_EQ(gMsgResult, "YES");
    EXPECT_EQ(answerer.texts(), QStringList{"\n目前已有新版程式! \n\n您是否要現在進行更新?"});
}

// A message that is asked but never shown cannot be answered: the test that
// waits on it fails within seconds instead of at ctest's time-out.
void waitOnAMessageThatIsNeverShown() {
    MessageAnswerer answerer("OK");
    message()->MessageBox("40", 2, "OK_CANCEL", "2");
    message()->hide();
    waitUntil([] { return !gMsgResult.isEmpty(); }, 10000);
}

TEST_F(FrmMessageTest, AnswererFailsOnAMessageThatIsNeverShown) {
    EXPECT_EXIT(
        {
            EXPECT_NONFATAL_FAILURE(waitOnAMessageThatIsNeverShown(), "it was never shown");
            std::_Exit(gMsgResult.isEmpty() && waits::ending() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(FrmMessageTest, PleaseWaitAnswersOkAtOnceAndShowsTheMovingBar) {
    message()->ProgressMsgBox("3004", 0, "", "0");
    EXPECT_EQ(gMsgResult, "OK");
    frmMessage* window = shownMessage();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->lblCaption->text(), "請稍候");
    EXPECT_EQ(window->lblMessage->text(), "\n正在進行資料同步處理中....請稍候");
    EXPECT_TRUE(window->picProgress->isVisible());
    EXPECT_TRUE(window->tmrProgressFlash->isActive());
    for (const QString answer : {"OK", "CANCEL", "YES", "NO"}) {
        EXPECT_EQ(messageButton(answer), nullptr);
    }

    message()->ProgressMsgBox("3000", 0, "", "1");
    EXPECT_EQ(window->lblCaption->text(), "");
}

TEST_F(FrmMessageTest, MessageAfterPleaseWaitReusesTheWindowAndClearsTheAnswer) {
    message()->ProgressMsgBox("4000", 0, "", "0");
    frmMessage* first = message();
    message()->MessageBox("2986", 0, "OK", "0");
    EXPECT_EQ(message(), first);
    EXPECT_EQ(gMsgResult, "");
    EXPECT_FALSE(first->picProgress->isVisible());
    EXPECT_NE(messageButton("OK"), nullptr);
    EXPECT_EQ(shownMessageText(), "\n所選擇的課程已經安裝完成");
}

// What a handler asks for while a question waits (a please-wait box, a
// message) shows once the question is answered; each caller gets its own
// answer. A question whose window goes away unanswered answers nothing.
// The answers come as soon as each question is up, whatever the machine's
// pace; one that never shows fails the answerer within seconds.
TEST_F(FrmMessageTest, AQuestionUpKeepsItsPlaceAndItsAnswer) {
    QObject thisTest;
    QString waitText;
    QString innerAnswer;
    QTimer::singleShot(0, &thisTest, [&] {
        message()->ProgressMsgBox("3004", 0, "", "0");
        waitText = shownMessageText();
        innerAnswer = MessageBoxAndWait("50", 1, "OK", "4");
    });
    {
        const MessageAnswerer no("NO");
        const MessageAnswerer ok("OK");
        EXPECT_EQ(MessageBoxAndWait("40", 2, "YES_NO", "2"), "NO");
        EXPECT_EQ(no.trimmedTexts(), QStringList{"您確定要離開本程式嗎?"});
        EXPECT_TRUE(ok.trimmedTexts().value(0).startsWith("同步完成！"));
    }
    EXPECT_EQ(gMsgResult, "NO");
    EXPECT_EQ(waitText, "\n正在進行資料同步處理中....請稍候");
    EXPECT_EQ(innerAnswer, "OK");

    QTimer::singleShot(0, &thisTest, [] { FormInstance<frmMessage>::unload(); });
    EXPECT_EQ(MessageBoxAndWait("40", 2, "OK_CANCEL", "2"), "");
}

// The program ends while a question is up (an exit confirmed in its wait):
// a please-wait box asked then gives up at once, as every wait does.
TEST_F(FrmMessageTest, APleaseWaitBoxAskedUnderAQuestionAsTheProgramEndsGivesUp) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // A box that keeps asking would hold the child for ever.
            alarm(10);
            message()->MessageBox("40", 2, "OK_CANCEL", "2");
            waits::endAll();
            message()->ProgressMsgBox("3004", 0, "", "0");
            std::fprintf(stderr, "returned under: %s\n",
                         qUtf8Printable(shownMessageText().simplified()));
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "returned under: 您確定要離開本程式嗎");
}

TEST_F(FrmMessageTest, MainWindowIsDisabledOnlyOnceStartupIsDone) {
    message()->MessageBox("40", 2, "OK_CANCEL", "2");
    EXPECT_TRUE(m_mainWindow.isEnabled());
    clickMessageButton("OK");

    gStartupDone = true;
    message()->MessageBox("40", 2, "OK_CANCEL", "2");
    EXPECT_FALSE(m_mainWindow.isEnabled());
    clickMessageButton("CANCEL");
    EXPECT_TRUE(m_mainWindow.isEnabled());

    message()->ProgressMsgBox("3000", 0, "", "0");
    EXPECT_TRUE(m_mainWindow.isEnabled());
}

TEST_F(FrmMessageTest, ClosingEnablesTheMainWindowEvenWhenItWasNotDisabled) {
    m_mainWindow.setEnabled(false);
    message()->MessageBox("2997", 1, "OK", "1");
    clickMessageButton("OK");
    EXPECT_TRUE(m_mainWindow.isEnabled());
}

TEST_F(FrmMessageTest, UnknownIdShowsOneBlankLineAndItsButtonsStillWork) {
    message()->MessageBox("424242", 1, "OK", "1");
    EXPECT_EQ(shownMessageText(), "\n");
    clickMessageButton("OK");
    EXPECT_EQ(gMsgResult, "OK");
}

TEST_F(FrmMessageTest, IconIndexOutsideThePicturesShowsNoIcon) {
    message()->MessageBox("2997", 7, "OK", "1");
    EXPECT_TRUE(message()->imgIcon->pixmap().isNull());
    clickMessageButton("OK");
    message()->MessageBox("2997", -1, "OK", "1");
    EXPECT_TRUE(message()->imgIcon->pixmap().isNull());
}

TEST_F(FrmMessageTest, ProgressFlashRunsThroughTheBarAndStartsAgain) {
    frmMessage* window = message();
    window->ProgressMsgBox("3000", 0, "", "0");
    const int barTwips = pixelsToTwips(window->picProgress->width());
    const int flashTwips = pixelsToTwips(window->imgProgressFlash->width());
    ASSERT_EQ(barTwips, 4200);

    int previous = window->imgProgressFlash->x();
    int wraps = 0;
    for (int tick = 0; tick < 60; ++tick) {
        window->tmrProgressFlash_Timer();
        const int x = window->imgProgressFlash->x();
        if (x < previous) {
            ++wraps;
            EXPECT_GE(pixelsToTwips(previous) + 200, barTwips - 15);
            EXPECT_EQ(x, twipsToPixels(-flashTwips));
        } else {
            EXPECT_LE(x, twipsToPixels(barTwips - 1));
        }
        previous = x;
    }
    EXPECT_EQ(wraps, 2);
}

}  // namespace
