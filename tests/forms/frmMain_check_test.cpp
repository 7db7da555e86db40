#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "platform/browser.h"
#include "platform/db.h"
#include "platform/http.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "shared/md5.h"
#include "shared/settingsfiles.h"
#include "tests/forms/sentencecheckfixture.h"
#include "tests/support/fulldisk.h"
#include "tests/support/messagewindow.h"
#include "tests/support/windowsystem.h"
#include "workspace/frmMain.h"

namespace {

constexpr int kNavigationMs = 10000;
const QString kCopyMessage = QStringLiteral("請您自行造句，勿直接抄例句！");
const QString kTimeOutMessage =
    QStringLiteral("等待解析引擎的回傳時間過久, 已中斷呼叫, 請再試一次");
const QString kFullFolderMessage = QStringLiteral("無法寫入本程式的資料夾");
const QString kDamagedCourseMessage = QStringLiteral("課程資料庫無法讀寫");

class SentenceCheckFlowTest : public SentenceCheckTest {
protected:
    void SetUp() override {
        SentenceCheckTest::SetUp();
        openWindow();
    }

    void TearDown() override {
        http::setTimeouts(m_connectMs, m_totalMs);
        SentenceCheckTest::TearDown();
    }

    // Ticks of a few milliseconds, so that the wait for an engine that never
    // answers ends in 600 ms; the requests would give up only later.
    void shortenTheWait() {
        window->tmrEngineResponse.setInterval(20);
        http::setTimeouts(1000, 1000);
    }

    int enginePosts() { return formsPostedTo("p_passWebEngine.asp").size(); }
    bool buttonIsOn(int index) const { return window->picMenus[index]->isEnabled(); }
    bool resultTabIsSelected() const {
        return window->picInfoMenu[1]->pixmap().cacheKey() == window->imgInfoMenuOn.cacheKey();
    }
    qint64 storedRows() const {
        return rows("select count(*) from UserSntn", gUserConnStr).value(0).value(0).toLongLong() +
               rows("select count(*) from errsentence", gUserConnStr)
                   .value(0)
                   .value(0)
                   .toLongLong();
    }

    // The box is live again and nothing waits any more.
    void expectCheckEnded() {
        EXPECT_TRUE(window->txtInput->isEnabled());
        EXPECT_FALSE(window->tmrEngineResponse.isActive());
        EXPECT_FALSE(window->mCheckRunning);
    }

    const int m_connectMs = http::connectTimeoutMs();
    const int m_totalMs = http::totalTimeoutMs();
};

TEST_F(SentenceCheckFlowTest, EnterSendsTheSentenceAndShowsTheEnginesResultPage) {
    check("U1000101", "My name is Tom.");

    const QList<Fields> posts = formsPostedTo("p_passWebEngine.asp");
    ASSERT_EQ(posts.size(), 1);
    const Fields& sent = posts.first();
    EXPECT_EQ(namesOf(sent),
              QStringList({"key", "pno", "pnomd5", "checksum", "p1", "p2", "p3", "cidx", "s"}));
    EXPECT_EQ(valueOf(sent, "key"), "quillmarrowed");
    EXPECT_EQ(valueOf(sent, "pno"), "DEMO0001");
    EXPECT_EQ(valueOf(sent, "pnomd5"), MD5("DEMO0001"));
    EXPECT_EQ(valueOf(sent, "checksum"), MD5("MynameisTom."));
    EXPECT_EQ(valueOf(sent, "p1"), "beta");
    EXPECT_EQ(valueOf(sent, "p2"), "0");
    EXPECT_EQ(valueOf(sent, "cidx"), "U1000101");
    EXPECT_EQ(valueOf(sent, "s"), "My%20name%20is%20Tom.");
    const QString token = valueOf(sent, "p3");
    ASSERT_TRUE(QRegularExpression("^[0-9]{6}$").match(token).hasMatch()) << token.toStdString();
    const int first = token.left(2).toInt();
    const int second = token.mid(2, 2).toInt();
    EXPECT_GE(first, 1);
    EXPECT_LE(first, 49);
    EXPECT_GE(second, 1);
    EXPECT_LE(second, 49);
    EXPECT_EQ(token.right(2).toInt(), (first + second) % 100);

    ASSERT_TRUE(window->webMain->waitForLoad(kNavigationMs));
    EXPECT_TRUE(window->webMain->locationURL().startsWith(standin.baseUrl() + "engine/result/"))
        << window->webMain->locationURL().toStdString();
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "sentence"), "My name is Tom.");
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "qcode"), "U1000101");
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "htm4chk"), "");
    EXPECT_TRUE(resultTabIsSelected());
    EXPECT_TRUE(window->tmrMessage.isActive());
    expectCheckEnded();
}

// The learner chooses a unit before the check's refresh of the status line.
TEST_F(SentenceCheckFlowTest, AUnitChosenRightAfterACheckKeepsItsStatusLine) {
    check("U1000101", "My name is Tom.");
    const TreeNode* unit = node("U2000100");
    clickThroughWindow(window->treMain->viewport(), Qt::LeftButton,
                       window->treMain->visualItemRect(unit).center());
    const QString unitLine = window->stbStatus->currentMessage();
    ASSERT_TRUE(window->tmrMessage.isActive());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->tmrMessage.isActive(); }, 5000));
    EXPECT_EQ(window->stbStatus->currentMessage(), unitLine);
    EXPECT_TRUE(unitLine.startsWith("第 02 單元，")) << unitLine.toStdString();
}

// With a unit chosen after the sentence was typed, the text left in the
// hidden box names no question to check it for.
TEST_F(SentenceCheckFlowTest, TheCheckButtonSendsTheSentenceOfASelectedQuestionOnly) {
    selectQuestion("U1000102");
    typeSentence("I am ten years old.");
    clickThroughWindow(window->treMain->viewport(), Qt::LeftButton,
                       window->treMain->visualItemRect(node("U1000100")).center());
    ASSERT_TRUE(buttonIsOn(8));
    clickCheckButton();
    EXPECT_EQ(enginePosts(), 0);

    selectQuestion("U1000102");
    typeSentence("I am ten years old.");
    clickCheckButton();
    EXPECT_EQ(enginePosts(), 1);
    expectCheckEnded();
}

TEST_F(SentenceCheckFlowTest, ACopiedExampleIsRefusedWithoutAPostButNotOneInOtherCase) {
    MessageAnswerer answerer("OK");
    check("U1000101", "My name is Lin Mei-ling.");
    // Apostrophes make no difference.
    check("U3000105", "Lets play tennis after school.");
    // Nor do blanks around the stored example.
    ASSERT_TRUE(db::execute(
        "insert into example values ('U1000102', '  I am ten years old.  ', '')", gCourseConnStr));
    check("U1000102", "I am ten years old.");

    EXPECT_EQ(answerer.texts(), QStringList(3, "\n" + kCopyMessage));
    EXPECT_EQ(enginePosts(), 0);
    EXPECT_EQ(storedRows(), 0);
    expectCheckEnded();

    // Letter case does make a difference.
    check("U1000101", "my name is Lin Mei-ling.");
    EXPECT_EQ(answerer.texts().size(), 3);
    EXPECT_EQ(enginePosts(), 1);
}

TEST_F(SentenceCheckFlowTest, AQuestionWithUniqueAnswerTakesACopyOfItsExample) {
    MessageAnswerer answerer("OK");
    check("U3000101", "It is sunny today.");

    EXPECT_TRUE(answerer.texts().isEmpty());
    EXPECT_EQ(enginePosts(), 1);
    EXPECT_EQ(visitedOf("U3000101"), "3");
}

TEST_F(SentenceCheckFlowTest, BlanksAloneNeverReachTheCheck) {
    selectQuestion("U1000101");
    typeSentence("   ");
    EXPECT_FALSE(buttonIsOn(8));
    EXPECT_FALSE(buttonIsOn(9));

    window->treMain->setFocus();
    pressEnter();
    EXPECT_EQ(QApplication::focusWidget(), window->txtInput)
        << QApplication::focusWidget()->window()->metaObject()->className()
        << QApplication::activeWindow();
    EXPECT_EQ(enginePosts(), 0);
    EXPECT_EQ(window->txtInput->text(), "   ");
}

TEST_F(SentenceCheckFlowTest, TheBoxSwallowsCharactersTheEngineCannotTake) {
    selectQuestion("U1000101");
    typeSentence("a/b@c#d%e^f_g&h*i(j)k\"l<m>n=o");
    EXPECT_EQ(window->txtInput->text(), "abcdefghijklmn=o");
}

// A key whose code the filter drops does nothing, unless it types a
// character.
TEST_F(SentenceCheckFlowTest, KeysOutsideTheFilterDoNothing) {
    selectQuestion("U1000101");
    typeSentence("abc");
    QApplication::clipboard()->setText("XYZ");
    QTest::keyClick(window->txtInput, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(window->txtInput->text(), "abc");

    QTest::keyClick(window->txtInput, Qt::Key_Home);
    QTest::keyClick(window->txtInput, Qt::Key_Delete);
    EXPECT_EQ(window->txtInput->text(), "bc");
}

TEST_F(SentenceCheckFlowTest, AnEngineThatNeverAnswersEndsInMessage39) {
    shortenTheWait();
    ASSERT_TRUE(standin.setMode("p_passWebEngine.asp", "silent"));
    MessageAnswerer answerer("OK");
    check("U1000101", "My name is Tom.");

    EXPECT_EQ(answerer.texts(), QStringList("\n" + kTimeOutMessage));
    // The time that a post blocks counts, though the timer could not tick:
    // the post that outlasts the limit is the last one.
    EXPECT_EQ(enginePosts(), 1);
    EXPECT_EQ(storedRows(), 0);
    EXPECT_TRUE(formsPostedTo("p_lxv_proc_sentence.asp").isEmpty());
    EXPECT_EQ(visitedOf("U1000101"), "1");
    EXPECT_EQ(gHistoryCount, 0);
    expectCheckEnded();
}

// An engine reply that is not taken, and a look-up service in trouble that
// fails every request at once: tried again, each pass 200 ms at least, so
// the 600-ms wait holds a few tries.
TEST_F(SentenceCheckFlowTest, FailedTriesAreMadeAgainAfterAPauseUntilTheTimeOut) {
    shortenTheWait();
    const QList<QPair<QString, QString>> faults = {{"p_passWebEngine.asp", "err:ERR_BUSY"},
                                                   {"p_all_webengine_get.asp", "status:503"}};
    for (const auto& [script, mode] : faults) {
        SCOPED_TRACE(script.toStdString());
        ASSERT_TRUE(standin.setMode(script, mode));
        ASSERT_TRUE(standin.clearLog());
        MessageAnswerer answerer("OK");
        check("U1000101", "My name is Tom.");

        EXPECT_EQ(answerer.texts(), QStringList("\n" + kTimeOutMessage));
        EXPECT_GE(formsPostedTo(script).size(), 2);
        EXPECT_LE(formsPostedTo(script).size(), 4);
        EXPECT_EQ(storedRows(), 0);
        expectCheckEnded();
        ASSERT_TRUE(standin.setMode(script, "normal"));
    }
}

// An engine that takes the connection and never answers its online test:
// its test is cut at the check's limit and the look-up after it fails at
// once, instead of ten tries of a whole request time-out each and the
// question whether to go on.
TEST_F(SentenceCheckFlowTest, AnEngineSilentToItsTestEndsTheCheckAtItsLimit) {
    shortenTheWait();
    ASSERT_TRUE(standin.setMode("p_passWebEngine_conn.asp", "silent"));
    // Asked whether to go on, the learner finds the engine back.
    MessageAnswerer answerer("OK",
                             [this] { standin.setMode("p_passWebEngine_conn.asp", "normal"); });
    check("U1000101", "My name is Tom.");

    EXPECT_EQ(answerer.texts(), QStringList("\n" + kTimeOutMessage));
    EXPECT_EQ(enginePosts(), 0);
    expectCheckEnded();
}

// The engine answers "busy" once; the check posts again with its token.
TEST_F(SentenceCheckFlowTest, APostedAgainCheckKeepsItsTokenAndANewCheckDrawsAnew) {
    ASSERT_TRUE(standin.setMode("p_passWebEngine.asp", "err:ERR_BUSY"));
    QTimer engineBack;
    engineBack.setInterval(0);
    QObject::connect(&engineBack, &QTimer::timeout, [&] {
        if (enginePosts() >= 1) {
            engineBack.stop();
            standin.setMode("p_passWebEngine.asp", "normal");
        }
    });
    engineBack.start();
    check("U1000101", "My name is Tom.");
    check("U1000102", "I am ten years old.");
    check("U1000103", "I like apples.");

    QStringList tokens;
    for (const Fields& post : formsPostedTo("p_passWebEngine.asp")) {
        tokens << valueOf(post, "p3");
    }
    ASSERT_GE(tokens.size(), 4);
    const QStringList firstCheck = tokens.mid(0, tokens.size() - 2);
    EXPECT_EQ(firstCheck.count(firstCheck.first()), firstCheck.size());
    const QStringList lastTokens = tokens.mid(tokens.size() - 3);
    EXPECT_FALSE(lastTokens.count(lastTokens.first()) == 3) << "each check draws its own token";
    expectCheckEnded();
}

TEST_F(SentenceCheckFlowTest, ASecondCheckDoesNotStartWhileOneWaits) {
    shortenTheWait();
    ASSERT_TRUE(standin.setMode("p_passWebEngine.asp", "err:ERR_BUSY"));
    MessageAnswerer answerer("OK");
    selectQuestion("U1000101");
    typeSentence("My name is Tom.");
    QTimer::singleShot(20, [this] { clickCheckButton(); });
    pressEnter();

    EXPECT_EQ(answerer.texts().size(), 1);
    expectCheckEnded();
}

// The engine reads "+" in its form text as a blank: the check would fail
// its checksum and never be graded.
TEST_F(SentenceCheckFlowTest, APlusReachesTheEngineAsTyped) {
    shortenTheWait();
    MessageAnswerer answerer("OK");
    check("U1000102", "I got a B+ in math.");

    EXPECT_TRUE(answerer.texts().isEmpty()) << answerer.texts().join('|').toStdString();
    EXPECT_EQ(valueOf(formsPostedTo("p_passWebEngine.asp").value(0), "s"),
              "I%20got%20a%20B%2B%20in%20math.");
}

// The learner's disk is full: the record is told as a folder that cannot be
// written, not as a damaged course whose reinstall would cost the learner's
// records. (The limit that fills the disk here reaches the browser engine's
// shared memory as well: the upload is lost, and told, too.)
TEST_F(SentenceCheckFlowTest, ARecordThatTheDiskRefusesIsToldAsAFullDataFolder) {
    // The lost upload is given up soon.
    http::setTimeouts(1000, 1000);
    MessageAnswerer answerer("OK");
    {
        const FullDisk full;
        ASSERT_TRUE(full.limited());
        check("U1000101", "my name is Tom.");
    }

    const QStringList told = answerer.trimmedTexts();
    ASSERT_FALSE(told.isEmpty());
    EXPECT_TRUE(told.last().startsWith(kFullFolderMessage)) << told.last().toStdString();
    EXPECT_TRUE(told.filter(kDamagedCourseMessage).isEmpty());
}

TEST_F(SentenceCheckFlowTest, StatusFiveEndsTheWaitWithNoCodeAndNoPage) {
    ASSERT_TRUE(standin.setMode("p_passWebEngine.asp", "err:OK_5#CP001#result/7.htm"));
    check("U1000101", "My name is Tom.");

    ASSERT_TRUE(window->webMain->waitForLoad(kNavigationMs));
    EXPECT_EQ(window->webMain->locationURL(), standin.baseUrl() + "engine/");
    EXPECT_EQ(rows("select sentence, errcode from errsentence", gUserConnStr),
              QList<QStringList>({{"My name is Tom.", ""}}));
    const QList<Fields> uploads = formsPostedTo("p_lxv_proc_sentence.asp");
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_EQ(valueOf(uploads.first(), "flag"), "2");
    EXPECT_EQ(valueOf(uploads.first(), "errcode"), "");
    expectCheckEnded();
}

TEST_F(SentenceCheckFlowTest, AShortReplyIsReadWithoutItsMissingFields) {
    ASSERT_TRUE(standin.setMode("p_passWebEngine.asp", "err:OK_1# PU001 "));
    check("U1000101", "My name is Tom");
    ASSERT_TRUE(standin.setMode("p_passWebEngine.asp", "err:OK_"));
    check("U1000102", "I am ten");

    EXPECT_EQ(rows("select sentence, errcode from errsentence order by sentence", gUserConnStr),
              QList<QStringList>({{"I am ten", ""}, {"My name is Tom", "PU001"}}));
    expectCheckEnded();
}

}  // namespace
