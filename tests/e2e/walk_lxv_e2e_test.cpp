#include <QDate>

#include "platform/big5.h"
#include "tests/e2e/walksteps.h"

using namespace walksteps;

namespace {

// The other account's records that the import brings in.
const QString kImportedCorrect = QStringLiteral("I am ten years old.");
const QString kImportedWrong = QStringLiteral("he live in Tainan.");
const QString kImportedWrongMarked = QStringLiteral("*he* *live* in Tainan.");

// The first plan is the 20-day one, lengthened by 10 days; clearing the
// progress starts it again on the day of the walk.
QString planMemoFrom(const QDate& start) {
    return "30@" + start.toString("yyyy/M/d") + "@" + start.addDays(30).toString("yyyy/M/d");
}

QStringList readNews() {
    return {
        step({"loaded", "frmPublisher"}),
        step({"shot", "frmPublisher", "lxv-news"}),
        step({"click", "frmPublisher", "確定"}),
    };
}

QStringList about() {
    return {
        step({"menu", "frmMain", "關於lexivo"}),
        step({"wait", "frmSplash"}),
        step({"shot", "frmSplash", "lxv-about"}),
        step({"click", "frmSplash", "QLabel:0"}),
    };
}

QStringList manual() {
    return {
        step({"click", "frmMain", "使用手冊"}),
        step(
            {"waitpage", "frmMain",
             "location.href.indexOf('LXV_manual.htm') >= 0 && document.readyState === 'complete'"}),
        step({"pagetext", "frmMain", "h3"}),
        step({"shot", "frmMain", "lxv-manual"}),
    };
}

QStringList chooseFirstPlan() {
    return {
        step({"wait", "frmSchedule"}),
        step({"shot", "frmSchedule", "lxv-plan-first"}),
        // The 20-day plan is the first of the five plan pictures.
        step({"click", "frmSchedule", "QLabel:6"}),
        step({"answer", "OK", "變更學習進度後"}),
        step({"answer", "OK", "已將學習進度變更為《日以繼夜型 ( 20 日完成)》"}),
    };
}

// Closed by the window system while its question waits, the dialog
// lengthens nothing; the next one does.
QStringList lengthenPlan() {
    return {
        step({"menu", "frmMain", "進度計劃"}),
        step({"wait", "frmSchedule"}),
        step({"type", "frmSchedule", "QLineEdit:1", "5"}),
        step({"click", "frmSchedule", "延長"}),
        step({"close", "frmSchedule"}),
        step({"answer", "YES", "如此會將目前學習進度延長至"}),
        step({"menu", "frmMain", "進度計劃"}),
        step({"wait", "frmSchedule"}),
        step({"type", "frmSchedule", "QLineEdit:1", "10"}),
        step({"shot", "frmSchedule", "lxv-plan"}),
        step({"click", "frmSchedule", "延長"}),
        step({"answer", "YES", "如此會將目前學習進度延長至"}),
    };
}

QStringList cleanUps() {
    return {
        step({"menu", "frmMain", "清空犯錯記錄"}),
        step({"answer", "OK", "您確定要清空所有的犯錯記錄嗎"}),
        step({"shot", "frmMessage", "lxv-message"}),
        step({"answer", "OK", "犯錯記錄已清除"}),
        step({"menu", "frmMain", "清空學習記錄"}),
        step({"answer", "OK", "您確定要清空學習記錄嗎"}),
        step({"answer", "OK", "學習記錄已清除"}),
        step({"menu", "frmMain", "清空我的造句"}),
        step({"answer", "OK", "您確定要清空所有的造句記錄嗎"}),
        step({"answer", "OK", "造句記錄已清除"}),
    };
}

QStringList syncAndImport() {
    return {
        step({"menu", "frmMain", "同步資料"}),
        step({"answer", "OK", "如果您使用 Lexivo"}),
        step({"answer", "OK", "同步完成"}),
        step({"menu", "frmMain", "匯入其他帳號資料"}),
        step({"answer", "OK", "如果您有其他帳號"}),
        step({"wait", "frmLXVImportLogin"}),
        step({"type", "frmLXVImportLogin", "QLineEdit:0", "OLD00001"}),
        step({"type", "frmLXVImportLogin", "QLineEdit:1", "old@lexivo.test"}),
        step({"type", "frmLXVImportLogin", "QLineEdit:2", "old1234"}),
        step({"shot", "frmLXVImportLogin", "lxv-import"}),
        step({"key", "frmLXVImportLogin", "QLineEdit:2", "Return"}),
        step({"answer", "OK", "匯入並同步完成"}),
        // The imported wrong sentence counts in the statistics at once.
        step({"click", "frmMain", "犯錯記錄"}),
        step({"waitpage", "frmMain", "document.getElementById('td_AG001') !== null"}),
        step({"pagetext", "frmMain", "#td_AG001"}),
    };
}

}  // namespace

// The LXV learner (account from servers.set) installs the demo course, sets
// a plan, checks sentences, looks at every page and window, sends
// feedback, lengthens the plan, clears all records, syncs and imports an
// older account's records, and leaves.
TEST_F(WalkTest, LXVLearnerWalksTheWholeRoadAndTheServiceKeepsWhatWasDone) {
    startStandin();
    // Records that an older account uploaded earlier, for the import.
    ASSERT_TRUE(
        standin.uploadSentence("OLD00001", "old1234", "U1000102", "3", "0", kImportedCorrect));
    ASSERT_TRUE(
        standin.uploadSentence("OLD00001", "old1234", "U1000103", "2", "AG001", kImportedWrong));
    ASSERT_TRUE(standin.clearLog());

    const QStringList script = joined({
        readNews(),
        downloadAndOpenDemo("lxv"),
        chooseFirstPlan(),
        courseOpened(),
        selectQuestion("01 我的名字"),
        checkSentence(kCorrectSentence, kCorrect),
        {step({"shot", "frmMain", "lxv-main-check"})},
        checkSentence(kWrongSentence, kWrong),
        statisticsAndWrongSentences("CP", "CP001", "lxv"),
        progressPage("study.htm", "lxv"),
        manual(),
        examples(kExampleTranslation, "lxv"),
        ownSentences("lxv"),
        feedback(kFeedbackText, kFeedbackEmail, "lxv"),
        search("起床", "lxv"),
        about(),
        lengthenPlan(),
        cleanUps(),
        syncAndImport(),
        leaveConfirmed(),
    });
    const QDate firstDay = QDate::currentDate();
    ASSERT_TRUE(walk("LXV", script));
    const QDate lastDay = QDate::currentDate();
    expectEndedWell(script);

    // What the learner saw on the way.
    expectRoadShown();
    EXPECT_TRUE(program->logHasStart("pagetext body 學習進度"));
    EXPECT_TRUE(program->logHas("pagetext h3 Lexivo 使用手冊"));
    EXPECT_TRUE(program->logHasStart("pagetext #td_AG001 第三人稱單數主詞"));
    EXPECT_TRUE(program->logHas("running click frmSchedule 延長"));

    // Both checks were graded and uploaded with their codes.
    const QList<Row> uploads = formsPostedTo("p_lxv_proc_sentence.asp");
    ASSERT_EQ(uploads.size(), 2);
    EXPECT_EQ(uploads[0].value("pno"), "DEMO0001");
    EXPECT_EQ(uploads[0].value("pass"), "demo");
    EXPECT_EQ(uploads[0].value("courseId"), "DEMO");
    EXPECT_EQ(uploads[0].value("qcode"), "U1000101");
    EXPECT_EQ(uploads[0].value("errcode"), "0");
    EXPECT_EQ(uploads[0].value("flag"), "3");
    EXPECT_EQ(uploads[0].value("s"), kCorrectSentence);
    EXPECT_EQ(uploads[1].value("errcode"), "CP001");
    EXPECT_EQ(uploads[1].value("flag"), "3");
    EXPECT_EQ(uploads[1].value("s"), kWrongSentence);
    const QList<Row> grades = stateRows("grades", "pno", "DEMO0001");
    ASSERT_EQ(grades.size(), 2);
    EXPECT_EQ(grades[1].value("errcode"), "CP001");

    const QList<Row> feedbacks = stateRows("feedback", "pno", "DEMO0001");
    ASSERT_EQ(feedbacks.size(), 1);
    EXPECT_EQ(feedbacks[0].value("qcode"), "U1000101");
    // The web engine's check leaves no error code in the hand-off file.
    EXPECT_EQ(feedbacks[0].value("errcode"), "0");
    EXPECT_EQ(feedbacks[0].value("sentence"), kWrongSentence);
    EXPECT_EQ(feedbacks[0].value("remarks"), kFeedbackText);
    EXPECT_EQ(feedbacks[0].value("email"), kFeedbackEmail);

    // The plan as restarted by the clean-up, lengthened.
    const QList<Row> plans = stateRows("memos", "pno", "DEMO0001");
    ASSERT_EQ(plans.size(), 1);
    EXPECT_TRUE(plans[0].value("memo") == planMemoFrom(firstDay) ||
                plans[0].value("memo") == planMemoFrom(lastDay))
        << plans[0].value("memo").toStdString();

    // The clean-ups cleared the learner's own records on the service; what
    // it holds now came from the import alone.
    QStringList resets;
    for (const Row& reset : formsPostedTo("p_lxv_proc_reset.asp")) {
        resets << reset.value("tp");
    }
    EXPECT_EQ(resets, QStringList({"error", "progress", "sentence"}));
    const QList<Row> correct = stateRows("ok_sentences", "pno", "DEMO0001");
    ASSERT_EQ(correct.size(), 1);
    EXPECT_EQ(correct[0].value("sentence"), kImportedCorrect);
    EXPECT_FALSE(correct[0].value("origin").isEmpty());
    const QList<Row> wrong = stateRows("err_sentences", "pno", "DEMO0001");
    ASSERT_EQ(wrong.size(), 1);
    EXPECT_EQ(wrong[0].value("errcode"), "AG001");
    QStringList progress;
    for (const Row& item : stateRows("progress", "pno", "DEMO0001")) {
        progress << item.value("unitid") + ":" + item.value("state");
    }
    EXPECT_EQ(progress, QStringList({"U1000102:3", "U1000103:2"}));

    // The local records are the service's after the sync and the import.
    EXPECT_EQ(courseRows("userData.mdb", "select qcode, Sentence from UserSntn"),
              QStringList{"U1000102|" + kImportedCorrect});
    EXPECT_EQ(courseRows("userData.mdb", "select sentence, errcode, fromserver from errsentence"),
              QStringList{kImportedWrongMarked + "|AG001|Y"});
    EXPECT_TRUE(courseRows("userData.mdb", "select * from mistakes").isEmpty());
    EXPECT_EQ(
        courseRows("LexivoData.mdb",
                   "select UNITID, VISITED from bswunit where VISITED <> '1' order by UNITID"),
        QStringList({"U1000102|3", "U1000103|2"}));
    const QStringList descriptor = big5::readLines(productFile("DEMO.lxs"));
    ASSERT_EQ(descriptor.size(), 6);
    // Lengthened, the plan has a length of its own.
    EXPECT_EQ(descriptor.mid(2, 2), QStringList({"自訂期限型", "30"}));
    EXPECT_TRUE(big5::readLines(productFile("setup.set")).contains("lastCourse=DEMO"));
}
