#include <gtest/gtest.h>

#include <functional>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "platform/waituntil.h"
#include "shared/globals.h"
#include "shared/settingsfiles.h"
#include "tests/forms/sentencecheckfixture.h"
#include "tests/support/messagewindow.h"
#include "tests/support/windowsystem.h"
#include "workspace/frmFeedback.h"
#include "workspace/frmMain.h"

namespace {

const QString kPrompt = QStringLiteral(
    "請在此鍵入您的說明。(勿超過200字元)\n您送出的句子及說明會傳回伺服器，作為系統改進的參考\n"
    "您的個人資料不會被傳送出去。");
constexpr int kFadeWaitMs = 5000;

class FeedbackTest : public SentenceCheckTest {
protected:
    void SetUp() override {
        SentenceCheckTest::SetUp();
        openWindow();
        selectQuestion("U1000101");
        SetFile_IO(gRegistrySetFile, "W", "sentence", "My name is Tom.");
        SetFile_IO(gRegistrySetFile, "W", "qcode", "U1000101");
    }

    frmFeedback* open() { return form = openFeedbackWindow(); }

    void describe(const QString& text) {
        QTest::mouseClick(form->txtDesc->viewport(), Qt::LeftButton);
        QTest::keyClicks(form->txtDesc, text);
    }
    void askForReply(const QString& email) {
        QTest::mouseClick(form->lblNeedRes[1], Qt::LeftButton);
        QTest::keyClicks(form->txtEmail, email);
    }
    void send() { QTest::mouseClick(form->cmdSend, Qt::LeftButton); }

    // The feedback rows that reached the service: pno, qcode, errcode,
    // sentence, remarks, email.
    QList<QStringList> received() {
        QList<QStringList> feedback = standin.state("feedback");
        feedback.removeFirst();
        for (QStringList& row : feedback) {
            row = row.mid(1, 6);
        }
        return feedback;
    }

    // A refusal leaves every entry as it was and brings the window back.
    void expectRefusal(const MessageAnswerer& answerer, const QString& message) {
        ASSERT_EQ(answerer.texts().size(), 1);
        EXPECT_TRUE(answerer.texts().first().contains(message))
            << answerer.texts().first().toStdString();
        EXPECT_TRUE(FormInstance<frmFeedback>::isLoaded());
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(received().isEmpty());
    }

    frmFeedback* form = nullptr;
};

TEST_F(FeedbackTest, OpeningShowsTheLastSentenceAndThePrompt) {
    SetFile_IO(gRegistrySetFile, "W", "errcode", "CP001");
    open();

    EXPECT_EQ(form->lblCaption->text(), "問題回饋");
    EXPECT_EQ(form->lblS[0]->text(), "有疑問的句子");
    EXPECT_EQ(form->lblS[1]->text(), "我對本句的解析有疑惑，說明如下：");
    EXPECT_EQ(form->lblNeedRes[0]->text(), "不必回覆");
    EXPECT_EQ(form->lblNeedRes[1]->text(), "我希望得到回覆，請 e-mail 至：");
    EXPECT_EQ(form->cmdCancel->text(), "取消");
    EXPECT_EQ(form->cmdSend->text(), "送出");
    EXPECT_EQ(form->lblSentence->text(), "My name is Tom.");
    EXPECT_EQ(form->mErrCode, "CP001");
    EXPECT_EQ(form->txtDesc->toPlainText(), kPrompt);
    EXPECT_EQ(form->txtDesc->palette().color(QPalette::Text), QColor(128, 128, 128));
    EXPECT_TRUE(form->optNeedRes[0]->isChecked());
    EXPECT_FALSE(form->picEmail->isVisible());
    EXPECT_FALSE(form->webMain->isVisible());
    EXPECT_EQ(form->lblNeedRes[1]->cursor().shape(), form->imgClose->cursor().shape());
    saveScreenshot(form, "frmFeedback");
}

TEST_F(FeedbackTest, TheReplyChoiceShowsAndHidesTheEmailBox) {
    open();
    QTest::mouseClick(form->lblNeedRes[1], Qt::LeftButton);
    EXPECT_TRUE(form->optNeedRes[1]->isChecked());
    EXPECT_TRUE(form->picEmail->isVisible());
    EXPECT_EQ(form->focusWidget(), form->txtEmail);

    QTest::mouseClick(form->lblNeedRes[0], Qt::LeftButton);
    EXPECT_TRUE(form->optNeedRes[0]->isChecked());
    EXPECT_FALSE(form->picEmail->isVisible());
}

TEST_F(FeedbackTest, LeavingTheDescriptionEmptyResetsTheWholeWindow) {
    open();
    askForReply("tom@lexivo.test");
    QTest::mouseClick(form->txtDesc->viewport(), Qt::LeftButton);
    ASSERT_TRUE(form->txtDesc->toPlainText().isEmpty());
    QTest::mouseClick(form->txtEmail, Qt::LeftButton);

    EXPECT_EQ(form->txtDesc->toPlainText(), kPrompt);
    EXPECT_TRUE(form->optNeedRes[0]->isChecked());
    EXPECT_FALSE(form->picEmail->isVisible());
    EXPECT_TRUE(form->txtEmail->text().isEmpty());
}

TEST_F(FeedbackTest, AnInvalidEmailIsRefusedWithMessage8) {
    open();
    describe("The verb is right.");
    askForReply("@lexivo.test");
    MessageAnswerer answerer("OK");
    send();

    expectRefusal(answerer, "請檢查您輸入的e-mail是否正確！");
    EXPECT_EQ(form->txtEmail->text(), "@lexivo.test");
    EXPECT_TRUE(form->optNeedRes[1]->isChecked());
    EXPECT_EQ(form->txtDesc->toPlainText(), "The verb is right.");
}

TEST_F(FeedbackTest, ThePromptCountsAsNoDescription) {
    open();
    MessageAnswerer answerer("OK");
    send();
    expectRefusal(answerer, "請您輸入要反應的說明內容！");
}

TEST_F(FeedbackTest, ADescriptionOfMoreThan100CharactersIsRefused) {
    open();
    describe(QString(101, 'a'));
    MessageAnswerer answerer("OK");
    send();

    expectRefusal(answerer, "您的說明已超過200個半字元");
    EXPECT_EQ(form->txtDesc->toPlainText(), QString(101, 'a'));
}

TEST_F(FeedbackTest, AServiceOfflineRefusesWithMessage1) {
    ASSERT_TRUE(standin.setMode("/p_getconn.asp", "offline"));
    open();
    describe("The verb is right.");
    MessageAnswerer answerer("OK");
    send();
    expectRefusal(answerer, "目前網路中斷或傳輸品質不佳，請檢查網路連線");
}

TEST_F(FeedbackTest, ASendPostsTheFeedbackAndClosesTheWindowAtOnce) {
    SetFile_IO(gRegistrySetFile, "W", "sentence", "It's <b>me</b>.");
    SetFile_IO(gRegistrySetFile, "W", "errcode", "0");
    open();
    const QString start = "It's right & \"fine\" <ok>";
    const QString description = start + QString(100 - start.size(), 'x');
    ASSERT_EQ(description.size(), 100);
    describe(description);
    askForReply(" tom@lexivo.test ");
    MessageAnswerer answerer("OK");
    send();

    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().first().contains("您的意見已經傳送至伺服器完成了！"));
    EXPECT_FALSE(FormInstance<frmFeedback>::isLoaded());
    EXPECT_EQ(received(), QList<QStringList>({{"DEMO0001", "U1000101", "0", "It's <b>me</b>.",
                                               description, "tom@lexivo.test"}}));
    const QList<Fields> posts = formsPostedTo("p_feedback.asp");
    ASSERT_EQ(posts.size(), 1);
    EXPECT_EQ(namesOf(posts.first()),
              QStringList({"key", "pno", "qcode", "errcode", "sentence", "remarks", "email"}));
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "sentence"), "");
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "errcode"), "");
}

// The window steps aside while its send waits for the service; the feedback
// button opens it no second time over that send.
TEST_F(FeedbackTest, WhileASendWaitsTheFeedbackButtonOpensNoSecondWindow) {
    window->SetMenuButtons(9, 4);
    const QPointer<frmFeedback> sending = open();
    describe("The verb is right.");
    MessageAnswerer answerer("OK");
    // The learner clicks the button while the send waits, and cancels a
    // window that comes back over it.
    bool shownAgain = false;
    QTimer learner;
    QTimer canceller;
    QObject::connect(&learner, &QTimer::timeout, [&] {
        if (sending && !sending->isVisible() && sending->webMain->isLoading()) {
            learner.stop();
            canceller.start();
            clickThroughWindow(window->picMenus[9]);
            canceller.stop();
        }
    });
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        if (sending->isVisible()) {
            canceller.stop();
            shownAgain = true;
            QTest::mouseClick(sending->cmdCancel, Qt::LeftButton);
        }
    });
    learner.start(1);
    canceller.setInterval(1);
    send();

    EXPECT_FALSE(learner.isActive()) << "no click while the send waited";
    EXPECT_FALSE(shownAgain);
    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().first().contains("您的意見已經傳送至伺服器完成了！"));
    EXPECT_EQ(received().size(), 1);
}

TEST_F(FeedbackTest, NoReplyWantedSendsNoEmail) {
    open();
    describe("Two lines");
    QTest::keyClick(form->txtDesc, Qt::Key_Return);
    QTest::keyClicks(form->txtDesc, "of text.");
    askForReply("tom@lexivo.test");
    QTest::mouseClick(form->lblNeedRes[0], Qt::LeftButton);
    MessageAnswerer answerer("OK");
    send();

    const QList<Fields> posts = formsPostedTo("p_feedback.asp");
    ASSERT_EQ(posts.size(), 1);
    EXPECT_EQ(valueOf(posts.first(), "remarks"), "Two lines\r\nof text.");
    EXPECT_EQ(valueOf(posts.first(), "email"), "");
}

// The next opening then shows the sentence of its own time.
TEST_F(FeedbackTest, CancelOrTheWindowSystemsCloseFadesTheWindowOut) {
    const std::function<void(frmFeedback*)> waysOut[] = {
        [](frmFeedback* shown) { QTest::mouseClick(shown->cmdCancel, Qt::LeftButton); },
        closeByWindowSystem};
    int opening = 0;
    for (const auto& wayOut : waysOut) {
        wayOut(open());
        EXPECT_TRUE(waitUntil([] { return !FormInstance<frmFeedback>::isLoaded(); }, kFadeWaitMs));
        const QString next = QString("Sentence %1.").arg(++opening);
        SetFile_IO(gRegistrySetFile, "W", "sentence", next);
        EXPECT_EQ(open()->lblSentence->text(), next);
        FormInstance<frmFeedback>::unload();
    }
    EXPECT_TRUE(received().isEmpty());
}

// After a check the hand-off file holds the sentence and errcode "0"; once
// sent, the feedback button refuses until the next check. The learner has
// gone on to another question meanwhile.
TEST_F(FeedbackTest, TheFeedbackButtonCarriesTheLastCheck) {
    check("U1000101", "my name is Tom.");
    const TreeNode* other = node("QUIZ_U1000102");
    clickThroughWindow(window->treMain->viewport(), Qt::LeftButton,
                       window->treMain->visualItemRect(other).center());
    ASSERT_EQ(gNodeKey, "QUIZ_U1000102");
    typeSentence("I am");
    MessageAnswerer answerer("OK");
    // The learner writes and sends once the window has opened.
    QTimer learner;
    learner.setInterval(5);
    QObject::connect(&learner, &QTimer::timeout, [this, &learner] {
        if (FormInstance<frmFeedback>::isLoaded() &&
            FormInstance<frmFeedback>::get()->isVisible()) {
            learner.stop();
            form = FormInstance<frmFeedback>::get();
            describe("Tom is a name.");
            send();
        }
    });
    learner.start();
    QTest::mouseClick(window->picMenus[9], Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(learner.isActive());

    EXPECT_EQ(received(), QList<QStringList>({{"DEMO0001", "U1000101", "0", "my name is Tom.",
                                               "Tom is a name.", ""}}));
    QTest::mouseClick(window->picMenus[9], Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(answerer.texts().size(), 2) << answerer.texts().join("|").toStdString();
    EXPECT_TRUE(answerer.texts().last().contains("目前您並沒有執行辨析動作"));
}

}  // namespace
