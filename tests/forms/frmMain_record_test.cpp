#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <thread>

#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/package.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "shared/settingsfiles.h"
#include "startup/frmClassSelect.h"
#include "startup/frmSchedule.h"
#include "tests/forms/sentencecheckfixture.h"
#include "tests/support/endedchild.h"
#include "tests/support/messagewindow.h"
#include "tests/support/pickercloser.h"
#include "tests/support/servicelog.h"
#include "tests/support/windowsystem.h"
#include "workspace/frmMain.h"

namespace {

const QString kOfflineMessage = QStringLiteral("目前網路中斷或傳輸品質不佳，請檢查網路連線");
// Longer than any check of a sentence takes to reach its upload.
constexpr int kForceQuitWaitMs = 30000;

// Says on stderr that a message window shows, from its making on.
class MessagesShownLater : public QObject {
public:
    MessagesShownLater() { QCoreApplication::instance()->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->inherits("frmMessage")) {
            std::fprintf(stderr, "a message shown after the exit\n");
        }
        return false;
    }
};

class RecordTest : public SentenceCheckTest {
protected:
    QList<QStringList> correctRows() const {
        return rows("select qcode, Sentence, sentdate from UserSntn order by qcode", gUserConnStr);
    }
    QList<QStringList> wrongRows() const {
        return rows("select sentence, errcode, errdate, fromserver from errsentence", gUserConnStr);
    }
    QList<QStringList> mistakeRows() const {
        return rows("select errcode, times from mistakes order by errcode", gUserConnStr);
    }
    static QString today() { return QDate::currentDate().toString("yyyy-MM-dd"); }

    QList<QPair<int, int>> imagesOf(const QString& key) const {
        const TreeNode* shown = node(key);
        return {{shown->image(), shown->selectedImage()}};
    }
    static QList<QPair<int, int>> images(int image) { return {{image, image}}; }

    // The learner's move once the engine has been asked, which is busy until
    // then: during the check's wait.
    void whileTheEngineIsAsked(const std::function<void()>& move) {
        standin.setMode("p_passWebEngine.asp", "err:ERR_BUSY");
        QObject::connect(&learner, &QTimer::timeout, [this, move] {
            if (!formsPostedTo("p_passWebEngine.asp").isEmpty()) {
                learner.stop();
                move();
                standin.setMode("p_passWebEngine.asp", "normal");
            }
        });
        learner.start(10);
    }

    // A wrong sentence whose upload the service never answers; the learner
    // leaves by Ctrl+X in the first round of events after `moment` holds,
    // and confirms. The program ends, and the record that it leaves is whole.
    void expectAWholeRecordAfterAnExitWhen(const std::function<bool()>& moment,
                                           const QString& edition = "LXV") {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        const EndedChild child;
        EXPECT_EXIT(
            {
                openWindow(edition);
                EndedChild::nameFolder(basePath());
                EndedChild::nameFolder(standin.dataDir());
                standin.setMode(uploadScript(edition), "silent");
                MessageAnswerer answerer("OK");
                std::optional<MessagesShownLater> afterTheExit;
                QObject::connect(&learner, &QTimer::timeout, [&] {
                    if (moment()) {
                        learner.stop();
                        window->activateWindow();
                        QTest::keyClick(window->windowHandle(), Qt::Key_X, Qt::ControlModifier);
                        // Back here only while the record finishes.
                        afterTheExit.emplace();
                    }
                });
                learner.start(0);
                check("U1000101", "my name is Tom.");
                std::fprintf(stderr, "the check went on\n");
                std::_Exit(1);
            },
            ::testing::ExitedWithCode(0), child.matcher());
        EXPECT_FALSE(child.output().contains("a message shown after the exit"));
        expectTheWholeWrongRecordLeftBy(child, edition);
    }

    // The record of "my name is Tom." for U1000101 in the data that an ended
    // child left.
    void expectTheWholeWrongRecordLeftBy(const EndedChild& child, const QString& edition = "LXV") {
        ASSERT_FALSE(child.folders().isEmpty()) << child.output().toStdString();
        setUpGlobals();
        gBasePath = child.folders().first();
        gCourseId = "DEMO";
        BuildConnStrings();
        if (edition == "LXV") {
            EXPECT_EQ(wrongRows().value(0).mid(0, 2), QStringList({"my name is Tom.", "CP001"}));
        }
        EXPECT_EQ(mistakeRows(), QList<QStringList>({{"CP001", "1"}}));
        EXPECT_EQ(visitedOf("U1000101"), "2");
        db::closeAllConnections();
    }

    static QString uploadScript(const QString& edition) {
        return edition == "LXV" ? "p_lxv_proc_sentence.asp" : "p_proc_sentence.asp";
    }

    QTimer learner;
};

TEST_F(RecordTest, ACorrectSentenceIsStoredOnceAndUploadedEveryTime) {
    openWindow();
    check("U1000101", "My name is Tom.");
    check("U1000101", "My name is Tom.");

    EXPECT_EQ(correctRows(), QList<QStringList>({{"U1000101", "My name is Tom.", today()}}));
    EXPECT_TRUE(wrongRows().isEmpty());
    EXPECT_TRUE(mistakeRows().isEmpty());
    const QList<Fields> uploads = formsPostedTo("p_lxv_proc_sentence.asp");
    ASSERT_EQ(uploads.size(), 2);
    EXPECT_EQ(uploads.first(), Fields({{"key", "quillmarrowed"},
                                       {"pno", "DEMO0001"},
                                       {"pass", "demo"},
                                       {"courseId", "DEMO"},
                                       {"qcode", "U1000101"},
                                       {"flag", "3"},
                                       {"errcode", "0"},
                                       {"s", "My name is Tom."}}));
    EXPECT_EQ(valueOf(uploads.last(), "flag"), "3");
    EXPECT_EQ(standin.state("ok_sentences").size(), 2) << "a header and one row";
    EXPECT_EQ(visitedOf("U1000101"), "3");
    EXPECT_EQ(imagesOf("QUIZ_U1000101"), images(5));
    EXPECT_TRUE(gStudyPageDirty);
}

// A course installed in lower case opens at the start under its upper-case
// id and keeps its records in its own folder.
TEST_F(RecordTest, ACourseNamedInLowerCaseRecordsIntoItsOwnFolder) {
    MessageAnswerer answerer("OK");
    const PickerCloser pickerCloser;
    openWindow("LXV", "demo");
    ASSERT_EQ(pickerCloser.shown(), 0);
    check("U1000101", "My name is Tom.");

    EXPECT_TRUE(answerer.texts().isEmpty());
    EXPECT_EQ(gCourseId, "DEMO");
    const QString folder = basePath() + "/Lexivo2/demo/";
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "coursePath") + "/", folder);
    EXPECT_EQ(readBytes(folder + "node.set"), "\"QUIZ_U1000101\"\r\n");
    EXPECT_EQ(rows("select qcode from UserSntn", "Data Source=" + folder + "userData.mdb"),
              QList<QStringList>{{"U1000101"}});
    EXPECT_EQ(rows("select VISITED from bswunit where UNITID = 'U1000101'",
                   "Data Source=" + folder + "LexivoData.mdb"),
              QList<QStringList>{{"3"}});
    EXPECT_EQ(QDir(basePath() + "/Lexivo2").entryList({"demo*"}, QDir::AllEntries),
              QStringList({"demo", "demo.lxs"}));
}

TEST_F(RecordTest, TheSameSentenceForAnotherQuestionIsANewRow) {
    openWindow();
    check("U1000101", "I like it.");
    check("U1000104", "I like it.");

    EXPECT_EQ(correctRows(), QList<QStringList>({{"U1000101", "I like it.", today()},
                                                 {"U1000104", "I like it.", today()}}));
}

TEST_F(RecordTest, AWrongSentenceIsStoredCountedAndMarksTheQuestionTried) {
    openWindow();
    check("U1000101", "my name is Tom.");
    check("U1000101", "my sister is Amy.");

    EXPECT_EQ(wrongRows(), QList<QStringList>({{"my name is Tom.", "CP001", today(), "N"},
                                               {"my sister is Amy.", "CP001", today(), "N"}}));
    EXPECT_EQ(mistakeRows(), QList<QStringList>({{"CP001", "2"}}));
    EXPECT_TRUE(correctRows().isEmpty());
    EXPECT_EQ(visitedOf("U1000101"), "2");
    EXPECT_EQ(imagesOf("QUIZ_U1000101"), images(6));
    const QList<Fields> uploads = formsPostedTo("p_lxv_proc_sentence.asp");
    ASSERT_EQ(uploads.size(), 2);
    EXPECT_EQ(valueOf(uploads.first(), "flag"), "2");
    EXPECT_EQ(valueOf(uploads.first(), "errcode"), "CP001");
    EXPECT_EQ(valueOf(uploads.first(), "s"), "my name is Tom.");
    EXPECT_EQ(valueOf(uploads.last(), "flag"), "2");

    check("U1000101", "My name is Tom.");
    EXPECT_EQ(visitedOf("U1000101"), "3") << "a right sentence after wrong ones finishes it";
    EXPECT_EQ(valueOf(formsPostedTo("p_lxv_proc_sentence.asp").last(), "flag"), "3");
}

TEST_F(RecordTest, AWrongSentenceNeverUndoesAFinishedQuestion) {
    openWindow();
    check("U1000101", "My name is Tom.");
    check("U1000101", "my name is Tom.");

    EXPECT_EQ(visitedOf("U1000101"), "3");
    EXPECT_EQ(imagesOf("QUIZ_U1000101"), images(5));
    EXPECT_EQ(wrongRows().size(), 1);
    EXPECT_EQ(mistakeRows(), QList<QStringList>({{"CP001", "1"}}));
    EXPECT_EQ(valueOf(formsPostedTo("p_lxv_proc_sentence.asp").last(), "flag"), "3");
}

TEST_F(RecordTest, ApostrophesAreStoredAndUploadedAsTypographicOnes) {
    openWindow();
    check("U1000101", "I'm Tom.");
    check("U1000102", "i'm ten.");

    EXPECT_EQ(valueOf(formsPostedTo("p_passWebEngine.asp").first(), "s"), "I'm%20Tom.");
    EXPECT_EQ(correctRows().value(0).value(1), "I’m Tom.");
    EXPECT_EQ(wrongRows().value(0).value(0), "i’m ten.");
    const QList<Fields> uploads = formsPostedTo("p_lxv_proc_sentence.asp");
    ASSERT_EQ(uploads.size(), 2);
    EXPECT_EQ(valueOf(uploads.first(), "s"), "I’m Tom.");
    EXPECT_EQ(valueOf(uploads.last(), "s"), "i’m ten.");
}

TEST_F(RecordTest, AnErrorCodeWithAnApostropheReachesTheDatabaseIntact) {
    openWindow();
    ASSERT_TRUE(standin.setMode("p_passWebEngine.asp", "err:OK_1#X'1#result/1.htm"));
    check("U1000101", "My name is Tom.");
    check("U1000102", "I am ten.");

    EXPECT_EQ(wrongRows().value(0).value(1), "X'1");
    EXPECT_EQ(mistakeRows(), QList<QStringList>({{"X'1", "2"}}));
}

TEST_F(RecordTest, TheTwentyFirstCheckDropsTheOldestHistoryEntry) {
    openWindow();
    for (int entry = 1; entry <= 20; ++entry) {
        gHistory[entry] = entry;
    }
    gHistoryCount = 20;
    gHistoryPos = 20;
    check("U1000101", "My name is Tom.");

    const int checked = node("QUIZ_U1000101")->index();
    EXPECT_EQ(gHistoryCount, 20);
    EXPECT_EQ(gHistoryPos, 20);
    EXPECT_EQ(gHistory[1], 2);
    EXPECT_EQ(gHistory[19], 20);
    EXPECT_EQ(gHistory[20], checked);
    EXPECT_TRUE(window->picMenus[3]->isEnabled());
    EXPECT_FALSE(window->picMenus[4]->isEnabled());
    EXPECT_EQ(window->treMain->selectedItem(), node("QUIZ_U1000101"));
}

TEST_F(RecordTest, TheLastOpenQuestionOfAUnitTurnsTheUnitsIcon) {
    openWindow();
    ASSERT_TRUE(
        db::execute("update bswunit set VISITED = '3' where PARENT = 'U1000100' and "
                    "UNITID not in ('U1000101', 'U1000102')",
                    gCourseConnStr));
    check("U1000101", "My name is Tom.");
    EXPECT_EQ(node("U1000100")->image(), 2);
    check("U1000102", "my name is Tom.");
    EXPECT_EQ(node("U1000100")->image(), 2) << "a wrong sentence leaves the question open";
    check("U1000102", "I am ten.");

    EXPECT_EQ(imagesOf("U1000100"), images(8));
    EXPECT_EQ(node("U2000100")->image(), 2);
}

// The learner chooses a question of another unit while the engine is busy.
TEST_F(RecordTest, TheMarksAndTheHistoryGoToTheQuestionChecked) {
    openWindow();
    ASSERT_TRUE(
        db::execute("update bswunit set VISITED = '3' where PARENT = 'U1000100' and "
                    "UNITID <> 'U1000101'",
                    gCourseConnStr));
    TreeNode* other = node("QUIZ_U2000101");
    window->treMain->ensureVisible(other);
    whileTheEngineIsAsked([&] {
        clickThroughWindow(window->treMain->viewport(), Qt::LeftButton,
                           window->treMain->visualItemRect(other).center());
    });
    check("U1000101", "My name is Tom.");

    EXPECT_EQ(imagesOf("QUIZ_U1000101"), images(5));
    EXPECT_EQ(imagesOf("U1000100"), images(8));
    EXPECT_EQ(other->image(), 3);
    EXPECT_EQ(node("U2000100")->image(), 2);
    EXPECT_EQ(gHistory[gHistoryCount], node("QUIZ_U1000101")->index());
    EXPECT_EQ(window->treMain->selectedItem(), other);
    EXPECT_EQ(gNodeKey, "QUIZ_U2000101");
}

// The engine rebuilt while it is asked takes the hand-off file with its
// folder.
TEST_F(RecordTest, AWrongSentenceIsTheOneCheckedWhateverTheHandOffFileHoldsByThen) {
    openWindow();
    MessageAnswerer answerer("OK");
    whileTheEngineIsAsked([this] { window->mnuRebuildEngine->trigger(); });
    check("U1000101", "my name is Tom.");

    EXPECT_EQ(wrongRows().value(0).value(0), "my name is Tom.");
    EXPECT_EQ(valueOf(formsPostedTo("p_lxv_proc_sentence.asp").value(0), "s"), "my name is Tom.");
    ASSERT_TRUE(QTest::qWaitFor([&] { return answerer.texts().size() == 2; }, 5000))
        << "the rebuild's end message";
}

// As when another course has been opened meanwhile.
TEST_F(RecordTest, AQuestionGoneFromTheTreeStillHasItsRowsStored) {
    openWindow();
    whileTheEngineIsAsked([&] { window->treMain->clear(); });
    check("U1000101", "my name is Tom.");

    EXPECT_EQ(wrongRows().size(), 1);
    EXPECT_EQ(mistakeRows(), QList<QStringList>({{"CP001", "1"}}));
    EXPECT_EQ(visitedOf("U1000101"), "2");
    EXPECT_EQ(gHistoryCount, 0);
}

// The learner opens another course, whose questions carry the same codes,
// while the engine is asked: the record stays with the course checked in.
TEST_F(RecordTest, ACourseOpenedDuringTheCheckGetsNothingOfIt) {
    openWindow();
    const QString unpacked = basePath() + "/other";
    ASSERT_TRUE(package::unpack(ProgramFolder() + "/DEMO.giz", unpacked));
    ASSERT_TRUE(QDir().rename(unpacked + "/DEMO", ProductFolder() + "/OTHER"));
    ASSERT_TRUE(QDir().rename(unpacked + "/DEMO.lxs", ProductFolder() + "/OTHER.lxs"));
    const QString checkedLearner = gUserConnStr;
    const QString checkedCourse = gCourseConnStr;
    MessageAnswerer answerer("OK");
    whileTheEngineIsAsked([] {
        FormInstance<frmClassSelect>::get()->ReloadClass("OTHER");
        FormInstance<frmSchedule>::unload();
    });
    check("U1000101", "my name is Tom.");

    ASSERT_EQ(window->mTreeCourseId, "OTHER");
    EXPECT_EQ(rows("select errcode from errsentence", checkedLearner),
              QList<QStringList>{{"CP001"}});
    EXPECT_EQ(rows("select errcode, times from mistakes", checkedLearner),
              QList<QStringList>({{"CP001", "1"}}));
    EXPECT_EQ(rows("select VISITED from bswunit where UNITID = 'U1000101'", checkedCourse),
              QList<QStringList>{{"2"}});
    EXPECT_TRUE(wrongRows().isEmpty());
    EXPECT_TRUE(mistakeRows().isEmpty());
    EXPECT_EQ(visitedOf("U1000101"), "1");
    EXPECT_EQ(node("QUIZ_U1000101")->image(), 3);
    EXPECT_EQ(gHistoryCount, 0);
    ASSERT_EQ(formsPostedTo("p_lxv_proc_sentence.asp").size(), 1);
    EXPECT_EQ(valueOf(formsPostedTo("p_lxv_proc_sentence.asp").first(), "courseId"), "DEMO");
    EXPECT_EQ(answerer.texts(), QStringList());
}

TEST_F(RecordTest, AnExitWhileTheUploadIsAwaitedLeavesTheRecordWhole) {
    expectAWholeRecordAfterAnExitWhen(
        [this] { return !formsPostedTo("p_lxv_proc_sentence.asp").isEmpty(); });
}

TEST_F(RecordTest, AnExitWhileTheLXQUploadIsAwaitedLeavesTheRecordWhole) {
    expectAWholeRecordAfterAnExitWhen(
        [this] { return !formsPostedTo("p_proc_sentence.asp").isEmpty(); }, "LXQ");
}

// The service's online test before the upload never answers: the window
// freezes, and the learner ends the program from outside.
TEST_F(RecordTest, AProgramEndedWhileTheServiceIsAskedLeavesTheRecordWhole) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const EndedChild child;
    EXPECT_EXIT(
        {
            openWindow();
            EndedChild::nameFolder(basePath());
            EndedChild::nameFolder(standin.dataDir());
            standin.setMode("/p_getconn.asp", "silent");
            std::thread learner([this] {
                const QDeadlineTimer giveUp(kForceQuitWaitMs);
                while (!giveUp.hasExpired()) {
                    if (loggedPaths(standin).contains("/p_getconn.asp")) {
                        ::kill(::getpid(), SIGKILL);
                    }
                    QThread::msleep(20);
                }
            });
            learner.detach();
            check("U1000101", "my name is Tom.");
            std::fprintf(stderr, "the check went on\n");
            std::_Exit(1);
        },
        ::testing::KilledBySignal(SIGKILL), child.matcher());
    expectTheWholeWrongRecordLeftBy(child);
}

// The learner's keys that wait for the events after the sentence was stored.
TEST_F(RecordTest, AnExitWhileTheUploadIsSubmittedLeavesTheRecordWhole) {
    expectAWholeRecordAfterAnExitWhen([this] { return !wrongRows().isEmpty(); });
}

TEST_F(RecordTest, TheLXQEditionUploadsWithoutALocalSentence) {
    openWindow("LXQ");
    check("U1000101", "My name is Tom.");
    check("U1000102", "my name is Tom.");

    EXPECT_TRUE(correctRows().isEmpty());
    EXPECT_TRUE(wrongRows().isEmpty());
    EXPECT_EQ(mistakeRows(), QList<QStringList>({{"CP001", "1"}}));
    EXPECT_TRUE(formsPostedTo("p_lxv_proc_sentence.asp").isEmpty());
    const QList<Fields> uploads = formsPostedTo("p_proc_sentence.asp");
    ASSERT_EQ(uploads.size(), 2);
    EXPECT_EQ(uploads.first(), Fields({{"key", "quillmarrowed"},
                                       {"regid", "DEMOQ001"},
                                       {"pass", "demo"},
                                       {"courseId", "DEMO"},
                                       {"qcode", "U1000101"},
                                       {"flag", "3"},
                                       {"errcode", "0"},
                                       {"s", "My name is Tom."}}));
    EXPECT_EQ(valueOf(uploads.last(), "errcode"), "CP001");
    EXPECT_EQ(visitedOf("U1000101"), "3");
    EXPECT_EQ(standin.state("err_sentences").size(), 2) << "a header and one row";
}

TEST_F(RecordTest, AServiceOfflineAtUploadKeepsTheLocalRecord) {
    openWindow();
    ASSERT_TRUE(standin.setMode("/p_getconn.asp", "offline"));
    MessageAnswerer answerer("OK");
    check("U1000101", "My name is Tom.");

    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().first().contains(kOfflineMessage));
    EXPECT_EQ(correctRows().size(), 1);
    EXPECT_TRUE(formsPostedTo("p_lxv_proc_sentence.asp").isEmpty());
    EXPECT_EQ(visitedOf("U1000101"), "3");
    EXPECT_EQ(imagesOf("QUIZ_U1000101"), images(5));
    EXPECT_EQ(gHistoryCount, 1);
}

// The form page once spliced these raw, so a "'" cut the value short.
TEST_F(RecordTest, UploadValuesReachTheServiceAsTheyStand) {
    openWindow();
    gServerPassword = "d'e<m>o\"&";
    gPno = "DEMO'<01>";
    check("U1000101", "My name is Tom.");

    const QList<Fields> uploads = formsPostedTo("p_lxv_proc_sentence.asp");
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_EQ(valueOf(uploads.first(), "pass"), "d'e<m>o\"&");
    EXPECT_EQ(valueOf(uploads.first(), "pno"), "DEMO'<01>");
    EXPECT_EQ(namesOf(uploads.first()).size(), 8);
}

}  // namespace
