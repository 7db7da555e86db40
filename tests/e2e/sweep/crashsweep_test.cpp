#include <iostream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "platform/big5.h"
#include "platform/db.h"
#include "tests/e2e/programrun.h"
#include "tests/e2e/programtest.h"
#include "tests/e2e/sweep/crashsweep.h"
#include "tests/e2e/walksteps.h"
#include "tests/support/servicelog.h"

using namespace crashsweep;

namespace {

class CrashSweepTest;

// A road of the learner's that writes, from the open course (or, without
// one, the course picker) on. The program is killed at each of its waits,
// as a run that is not killed shows them, and started again without and
// then with the service.
struct Road {
    const char* name;
    QString edition;
    QStringList steps;
    // What the start state has beyond the demo course installed and opened
    // (in LXV with a study plan chosen that day, on the service too).
    void (CrashSweepTest::*arrange)() = nullptr;
    // Of the stand-in's scripts while the road runs.
    QList<QPair<QString, QString>> modes = {};
    bool withCourse = true;
    // Records that are the learner's own: once the road has written them, no
    // later start may take them back. In LXQ the service's progress is the
    // master, which every opening of the course copies.
    bool localIsMaster = true;
};

void PrintTo(const Road& road, std::ostream* stream) {
    *stream << road.name;
}

QStringList wrongCheck(bool uploadLost = false) {
    return joined(
        {walksteps::selectQuestion("01 我的名字"),
         walksteps::checkSentence(walksteps::kWrongSentence, walksteps::kWrong, uploadLost)});
}

QStringList rightCheck() {
    return joined({walksteps::selectQuestion("01 我的名字"),
                   walksteps::checkSentence(walksteps::kCorrectSentence, walksteps::kCorrect)});
}

QStringList menuQuestionAndNotice(const QString& item, const QString& question,
                                  const QString& notice) {
    return {step({"menu", "frmMain", item}), step({"answer", "OK", question}),
            step({"answer", "OK", notice})};
}

QStringList planDialog(const QStringList& steps) {
    return joined({{step({"menu", "frmMain", "進度計劃"}), step({"wait", "frmSchedule"})}, steps});
}

// The plan pictures come after the dialog's first six labels, each
// followed by the label of its mark.
QString planPicture(int plan) {
    return "QLabel:" + QString::number(6 + 2 * plan);
}

QStringList planChosen(int plan) {
    return {step({"click", "frmSchedule", planPicture(plan)}),
            step({"answer", "OK", "變更學習進度後"}), step({"answer", "OK", "已將學習進度變更為"})};
}

class CrashSweepTest : public ProgramTest, public ::testing::WithParamInterface<Road> {
public:
    void arrangeNoCourse();
    void arrangeOlderInstall();
    void arrangeLearnerRecords();
    void arrangeOtherAccountsRecords();

protected:
    static constexpr int kSweepRunTimeoutMs = 30000;
    static constexpr int kPollMs = 20;
    static constexpr int kKillAtWaitMs = 5000;
    static constexpr int kPortWaitMs = 10000;

    void SetUp() override;

    // The start state in tmp() and the stand-in's folder: the demo course
    // installed by a run of the program, and the road's own arrangement.
    void prepareStart();
    // A copy of the start state with the stand-in started on it; the
    // program's runs go to its TMP from then on.
    void startTrial(const QString& name);
    // Runs the script; false, with a failure that shows its log, when the
    // program did not end by itself.
    bool runToEnd(const QStringList& script, bool online);
    // Runs the road until the program is killed at the point; false, with a
    // failure, when the point was not reached.
    bool killAt(const KillPoint& point);
    // The state after the kill, after a start without the service and after
    // a start with it is a state before the road or after it, never a part
    // of each (the service's part counts once it could be reached), and once
    // after, after for good where the local records are the master. For the
    // run that was not killed, the states are what after means.
    void followThroughStarts(const QString& context, bool collectAfter = false);
    bool expectWhole(const Facts& seen, const QString& context, bool withService,
                     bool* reachedAfter);
    bool startAgain(bool online);

    QString pno() const { return GetParam().edition == "LXV" ? "DEMO0001" : QString(); }
    QStringList roadScript() const;
    QString trialTmp() const { return m_trialFolder + "/tmp"; }
    // Statements on a database of the start's demo course.
    void execute(const QString& database, const QStringList& statements);

    QTemporaryDir m_trials;
    QString m_trialFolder;
    QString m_deadServersFile;
    QString m_startServiceData;
    int m_port = 0;
    RefusingPort m_unreachable;
    RoadStates m_states;
    std::unique_ptr<ProgramRun> m_lastRun;
};

void CrashSweepTest::SetUp() {
    ProgramTest::SetUp();
    ASSERT_TRUE(m_trials.isValid());
}

void CrashSweepTest::prepareStart() {
    const Road& road = GetParam();
    ASSERT_NO_FATAL_FAILURE(startStandin());
    m_port = standin.port();
    m_startServiceData = standin.dataDir();
    ASSERT_GT(m_unreachable.port(), 0);
    m_deadServersFile = m_trials.path() + "/unreachable.set";
    ASSERT_TRUE(writeServersFile(m_deadServersFile, m_unreachable.port()));
    // The LXV learner reads the news no more, and chooses the first plan.
    const bool lxv = road.edition == "LXV";
    const QStringList script =
        joined({lxv ? closeNews(true) : QStringList(), startUp(road.edition, true, false, m_port),
                walksteps::downloadAndOpenDemo("sweep").mid(1),
                lxv ? planDialog(planChosen(0)).mid(1) : QStringList(), walksteps::courseOpened(),
                walksteps::leaveConfirmed()});
    ProgramRun program(tmp(), serversFile());
    ASSERT_TRUE(program.run({road.edition}, script, kSweepRunTimeoutMs))
        << program.log().join("\n").toStdString();
    if (road.arrange) {
        ASSERT_NO_FATAL_FAILURE((this->*road.arrange)());
    }
    standin.stop();
}

void CrashSweepTest::startTrial(const QString& name) {
    m_trialFolder = m_trials.path() + "/" + name;
    ASSERT_TRUE(copyFolder(tmp(), trialTmp()));
    ASSERT_TRUE(copyFolder(m_startServiceData, m_trialFolder + "/standin"));
    // The start's port: the program keeps addresses of the service. A
    // connection of another test's may hold the port for a moment.
    const QDeadlineTimer deadline(kPortWaitMs);
    while (!standin.start(m_trialFolder + "/standin", {"--port", QString::number(m_port)})) {
        ASSERT_FALSE(deadline.hasExpired())
            << "the stand-in did not start again on port " << m_port;
        QThread::msleep(kPollMs);
    }
    for (const auto& [script, mode] : GetParam().modes) {
        ASSERT_TRUE(standin.setMode(script, mode));
    }
}

QStringList CrashSweepTest::roadScript() const {
    const Road& road = GetParam();
    return joined({startUp(road.edition, true, road.withCourse, m_port), road.steps,
                   leave(road.edition, true, true)});
}

bool CrashSweepTest::runToEnd(const QStringList& script, bool online) {
    m_lastRun =
        std::make_unique<ProgramRun>(trialTmp(), online ? serversFile() : m_deadServersFile);
    const bool ended = m_lastRun->run({GetParam().edition}, script, kSweepRunTimeoutMs);
    if (ended && m_lastRun->exitCode() == 0 && !m_lastRun->crashed()) {
        return true;
    }
    ADD_FAILURE() << (ended ? "the program failed" : "the program did not end in time")
                  << ", its log:\n"
                  << m_lastRun->log().join("\n").toStdString() << "\n--- output ---\n"
                  << m_lastRun->output().toStdString();
    return false;
}

bool CrashSweepTest::killAt(const KillPoint& point) {
    ProgramRun program(trialTmp(), serversFile());
    const auto failed = [&program, &point](const char* what) {
        ADD_FAILURE() << "kill at " << point.describe().toStdString() << ": " << what
                      << ", its log:\n"
                      << program.log().join("\n").toStdString();
        return false;
    };
    program.setEnvironment("LEXIVO_E2E_KILL_FILE", m_trialFolder + "/kill");
    if (point.kind == KillPoint::Kind::Message) {
        program.setEnvironment("LEXIVO_E2E_KILL_MESSAGE", point.what);
        program.setEnvironment("LEXIVO_E2E_KILL_OCCURRENCE", QString::number(point.occurrence));
    } else if (!standin.hold(point.what, point.occurrence)) {
        return failed("the stand-in took no hold");
    }
    if (!program.start({GetParam().edition}, roadScript())) {
        return failed("the program did not start");
    }
    if (point.kind == KillPoint::Kind::Message) {
        if (!program.waitForEnd(kSweepRunTimeoutMs)) {
            return failed("the program was still running");
        }
        if (!program.crashed() || messageCount(program.log(), point.what) != point.occurrence) {
            return failed("the program never showed the message");
        }
        return true;
    }
    const auto arrived = [this, &point] {
        return requestCount(standin.log(), point.what) >= point.occurrence;
    };
    const QDeadlineTimer deadline(kSweepRunTimeoutMs);
    while (!arrived()) {
        // A request that the program does not wait for may come just before
        // its end.
        if (program.endsWithin(kPollMs)) {
            return arrived() || failed("the program ended before it made the request");
        }
        if (deadline.hasExpired()) {
            program.kill();
            return failed("the request did not come in time");
        }
    }
    // A program that goes on meanwhile is killed at its next wait, not in
    // the middle of what it writes before that.
    if (!point.holdsTheProgram && QFile(m_trialFolder + "/kill").open(QIODevice::WriteOnly)) {
        program.endsWithin(kKillAtWaitMs);
    }
    program.kill();
    return standin.hold(point.what, 0);
}

bool CrashSweepTest::startAgain(bool online) {
    const Road& road = GetParam();
    const bool withCourse = courseInstalled(trialTmp());
    const QStringList script =
        joined({startUp(road.edition, online, withCourse, online ? m_port : m_unreachable.port()),
                leave(road.edition, online, withCourse)});
    return runToEnd(script, online);
}

bool CrashSweepTest::expectWhole(const Facts& seen, const QString& context, bool withService,
                                 bool* reachedAfter) {
    const RoadStates::Side side = m_states.sideOf(seen, withService);
    if (side == RoadStates::Side::Neither) {
        ADD_FAILURE() << context.toStdString() << ": neither as before the road nor as after it:"
                      << m_states.differences(seen, withService).toStdString();
        return false;
    }
    if (*reachedAfter && side == RoadStates::Side::Before && GetParam().localIsMaster) {
        ADD_FAILURE() << context.toStdString() << ": back as before the road, once it was after:"
                      << m_states.differences(seen, withService).toStdString();
        return false;
    }
    *reachedAfter = side == RoadStates::Side::After;
    return true;
}

void CrashSweepTest::followThroughStarts(const QString& context, bool collectAfter) {
    bool reachedAfter = collectAfter;
    const auto look = [&](const QString& moment, bool withService) {
        const Facts seen = observe(trialTmp(), standin, pno());
        const bool wentBack = m_states.sideOf(seen, withService) == RoadStates::Side::Before &&
                              GetParam().localIsMaster;
        if (collectAfter && (m_states.after.isEmpty() || !wentBack)) {
            m_states.after << seen;
            return true;
        }
        return expectWhole(seen, context + moment, withService, &reachedAfter);
    };
    if (!look("", false) || !startAgain(false) ||
        !look(", then a start without the service", false)) {
        return;
    }
    for (const auto& [script, mode] : GetParam().modes) {
        standin.setMode(script, "normal");
    }
    if (startAgain(true)) {
        look(", then a start with the service", true);
    }
}

void CrashSweepTest::execute(const QString& database, const QStringList& statements) {
    const QString connection =
        "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + productFile("DEMO/" + database) + ";";
    for (const QString& statement : statements) {
        QString error;
        EXPECT_TRUE(db::execute(statement, connection, &error))
            << statement.toStdString() << ": " << error.toStdString();
    }
    db::closeAllConnections();
}

void CrashSweepTest::arrangeNoCourse() {
    ASSERT_TRUE(QDir(productFile("DEMO")).removeRecursively());
    ASSERT_TRUE(QFile::remove(productFile("DEMO.lxs")));
}

// Progress and a sentence that a new install of the course does not have.
void CrashSweepTest::arrangeOlderInstall() {
    execute("LexivoData.mdb", {"update bswunit set VISITED = '3' where UNITID = 'U1000101'"});
    execute("userData.mdb", {"insert into UserSntn values ( '1', 'U1000101', "
                             "'My name is Wang Xiao-ming.', #2024/3/1# )"});
}

// The learner's records here, others on the service, and a plan that
// started in the past, here and on the service.
void CrashSweepTest::arrangeLearnerRecords() {
    arrangeOlderInstall();
    execute("LexivoData.mdb", {"update bswunit set VISITED = '2' where UNITID = 'U1000102'"});
    execute(
        "userData.mdb",
        {"insert into errsentence values ( '2', '*my* name is Tom.', 'CP001', #2024/3/1#, 'N' )",
         "insert into mistakes values ( 'CP001', 1 )"});
    QStringList descriptor = big5::readLines(productFile("DEMO.lxs"));
    ASSERT_EQ(descriptor.size(), 6);
    descriptor.replace(4, "2024/3/1");
    descriptor.replace(5, "2024/3/21");
    ASSERT_TRUE(big5::writeLines(productFile("DEMO.lxs"), descriptor));
    ASSERT_TRUE(standin
                    .post("/p_all_setmemo.asp",
                          "key=quillmarrowed&act=PUT&pno=DEMO0001&courseId=DEMO&setmemo=20@2024/3/"
                          "1@2024/3/21")
                    .answered);
    ASSERT_TRUE(
        standin.uploadSentence("DEMO0001", "demo", "U1000103", "3", "0", "I am ten years old."));
    ASSERT_TRUE(
        standin.uploadSentence("DEMO0001", "demo", "U1000104", "2", "AG001", "he live in Tainan."));
}

void CrashSweepTest::arrangeOtherAccountsRecords() {
    arrangeLearnerRecords();
    ASSERT_TRUE(standin.uploadSentence("OLD00001", "old1234", "U1000105", "3", "0",
                                       "She gets up at seven."));
}

TEST_P(CrashSweepTest, AKillAtAnyWaitLeavesWhatTheRoadWritesWholeOrAsBefore) {
    const Road& road = GetParam();
    ASSERT_NO_FATAL_FAILURE(prepareStart());

    // What the start-up asks of the service, which the road then does not.
    ASSERT_NO_FATAL_FAILURE(startTrial("startup"));
    m_states.before << observe(trialTmp(), standin, pno());
    ASSERT_TRUE(runToEnd(joined({startUp(road.edition, true, road.withCourse, m_port),
                                 leave(road.edition, true, road.withCourse)}),
                         true));
    const QList<StandinRequest> startUpRequests = standin.log();
    m_states.before << observe(trialTmp(), standin, pno());

    ASSERT_NO_FATAL_FAILURE(startTrial("unkilled"));
    ASSERT_TRUE(runToEnd(roadScript(), true));
    const QStringList log = m_lastRun->log();
    const QList<KillPoint> points =
        messageKillPoints(log, road.steps.first(), walksteps::leaveConfirmed().first()) +
        requestKillPoints(standin.log(), startUpRequests);
    ASSERT_FALSE(points.isEmpty()) << log.join("\n").toStdString();
    std::cout << road.name << ": " << points.size() << " kill points" << std::endl;
    for (const KillPoint& point : points) {
        std::cout << "  " << point.describe().toStdString() << std::endl;
    }
    followThroughStarts("the run that was not killed", true);

    int trial = 0;
    for (const KillPoint& point : points) {
        SCOPED_TRACE(point.describe().toStdString());
        ASSERT_NO_FATAL_FAILURE(startTrial(QStringLiteral("kill%1").arg(++trial)));
        if (killAt(point)) {
            followThroughStarts("killed at " + point.describe());
        }
    }
}

const Road kRoads[] = {
    {.name = "WrongSentenceLXV", .edition = "LXV", .steps = wrongCheck()},
    {.name = "WrongSentenceLXVUploadLost",
     .edition = "LXV",
     .steps = wrongCheck(true),
     .modes = {{"p_lxv_proc_sentence.asp", "offline"}}},
    {.name = "RightSentenceLXV", .edition = "LXV", .steps = rightCheck()},
    {.name = "RightSentenceLXQ", .edition = "LXQ", .steps = rightCheck(), .localIsMaster = false},
    {.name = "WrongSentenceLXQ", .edition = "LXQ", .steps = wrongCheck(), .localIsMaster = false},
    {.name = "WrongSentenceLXQUploadLost",
     .edition = "LXQ",
     .steps = wrongCheck(true),
     .modes = {{"p_proc_sentence.asp", "offline"}},
     .localIsMaster = false},
    {.name = "CourseInstalled",
     .edition = "LXQ",
     .steps = joined({walksteps::downloadAndOpenDemo("sweep").mid(1), walksteps::courseOpened()}),
     .arrange = &CrashSweepTest::arrangeNoCourse,
     .withCourse = false},
    {.name = "CourseReinstalled",
     .edition = "LXV",
     .steps = joined(
         {{step({"menu", "frmMain", "載入課程"}), step({"click", "frmClassSelect", "下載其他課程"}),
           step({"link", "frmClassDownload", "cmd:re:DEMO"}),
           step({"answer", "OK", "確定要重新安裝課程嗎"}),
           step({"answer", "OK", "所選擇的課程已經安裝完成"}), step({"wait", "frmClassSelect"}),
           step({"click", "frmClassSelect", "載入所選擇的課程"})},
          walksteps::courseOpened()}),
     .arrange = &CrashSweepTest::arrangeOlderInstall},
    {.name = "PlanChosen", .edition = "LXV", .steps = planDialog(planChosen(1))},
    {.name = "PlanOfOwnLength",
     .edition = "LXV",
     .steps = planDialog(joined({{step({"type", "frmSchedule", "QLineEdit:0", "5"}),
                                  step({"click", "frmSchedule", planPicture(4)}),
                                  step({"answer", "OK", "自訂的完成天數必須大於5天"}),
                                  step({"type", "frmSchedule", "QLineEdit:0", "30"})},
                                 planChosen(4)}))},
    {.name = "PlanLengthened",
     .edition = "LXV",
     .steps = planDialog({step({"type", "frmSchedule", "QLineEdit:1", "10"}),
                          step({"click", "frmSchedule", "延長"}),
                          step({"answer", "YES", "如此會將目前學習進度延長至"})})},
    {.name = "ProgressCleared",
     .edition = "LXV",
     .steps = menuQuestionAndNotice("清空學習記錄", "您確定要清空學習記錄嗎", "學習記錄已清除"),
     .arrange = &CrashSweepTest::arrangeLearnerRecords},
    {.name = "MistakesCleared",
     .edition = "LXV",
     .steps =
         menuQuestionAndNotice("清空犯錯記錄", "您確定要清空所有的犯錯記錄嗎", "犯錯記錄已清除"),
     .arrange = &CrashSweepTest::arrangeLearnerRecords},
    {.name = "OwnSentencesCleared",
     .edition = "LXV",
     .steps =
         menuQuestionAndNotice("清空我的造句", "您確定要清空所有的造句記錄嗎", "造句記錄已清除"),
     .arrange = &CrashSweepTest::arrangeLearnerRecords},
    {.name = "RecordsSynced",
     .edition = "LXV",
     .steps = menuQuestionAndNotice("同步資料", "如果您使用 Lexivo", "同步完成"),
     .arrange = &CrashSweepTest::arrangeLearnerRecords},
    {.name = "RecordsImported",
     .edition = "LXV",
     .steps = {step({"menu", "frmMain", "匯入其他帳號資料"}),
               step({"answer", "OK", "如果您有其他帳號"}), step({"wait", "frmLXVImportLogin"}),
               step({"type", "frmLXVImportLogin", "QLineEdit:0", "OLD00001"}),
               step({"type", "frmLXVImportLogin", "QLineEdit:1", "old@lexivo.test"}),
               step({"type", "frmLXVImportLogin", "QLineEdit:2", "old1234"}),
               step({"key", "frmLXVImportLogin", "QLineEdit:2", "Return"}),
               step({"answer", "OK", "匯入並同步完成"})},
     .arrange = &CrashSweepTest::arrangeOtherAccountsRecords},
    {.name = "EngineRebuilt",
     .edition = "LXV",
     .steps = menuQuestionAndNotice("引擎重建", "此功能為當您的引擎", "引擎已重建完成")},
};

INSTANTIATE_TEST_SUITE_P(Roads, CrashSweepTest, ::testing::ValuesIn(kRoads),
                         [](const ::testing::TestParamInfo<Road>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
