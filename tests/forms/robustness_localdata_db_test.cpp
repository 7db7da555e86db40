#include <gtest/gtest.h>

#include <QAction>
#include <QFile>

#include "platform/big5.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "shared/install.h"
#include "tests/forms/localdatafixture.h"
#include "tests/forms/lxvrecordsfixture.h"
#include "tests/forms/sentencecheckfixture.h"
#include "tests/support/messagewindow.h"
#include "workspace/errorstatisticspage.h"
#include "workspace/frmMain.h"

namespace {

const QString kNoCourseText = QStringLiteral("無法找到指定的課程內容。");
const QString kNoInstalledCourseText =
    QStringLiteral("沒有找到任何已安裝課程。\n請您先下載所購買的課程，並安裝後才可使用。");
const QString kDamagedDatabaseText = QStringLiteral("課程資料庫無法讀寫，可能已經損毀");

const char* const kDamages[] = {"random bytes", "cut in the middle", "zero length", "missing"};

// The file as a damaged disk or an aborted copy leaves it, before the
// program has it open.
void damageDatabase(const QString& path, const QString& damage) {
    db::closeAllConnections();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    if (damage == "random bytes") {
        QByteArray bytes = binaryGarbage().repeated(int(size / binaryGarbage().size() + 1));
        bytes.truncate(size);
        file.seek(0);
        file.write(bytes);
    } else if (damage == "cut in the middle") {
        file.resize(size / 2);
    } else if (damage == "zero length") {
        file.resize(0);
    } else {
        file.close();
        ASSERT_TRUE(QFile::remove(path));
    }
}

QStringList trimmed(const QStringList& texts) {
    QStringList result;
    for (const QString& text : texts) {
        result << text.trimmed();
    }
    return result;
}

bool anyStartsWith(const QStringList& texts, const QString& start) {
    return std::any_of(texts.begin(), texts.end(),
                       [&start](const QString& text) { return text.trimmed().startsWith(start); });
}

// The course database

class DamagedCourseDatabaseTest : public LocalDataTest,
                                  public ::testing::WithParamInterface<const char*> {};

// The course cannot be shown; the learner is told so, and the window comes
// up without a course, its learner records untouched. Without its database
// the course is no installed course either, which the picker, loaded for
// the opening, says first.
TEST_P(DamagedCourseDatabaseTest, TheCourseIsRefusedAtTheStartWithItsMessage) {
    setUpEdition("LXV");
    installDemoCourseWithPlan();
    setLastCourse("DEMO");
    damageDatabase(courseFile("LexivoData.mdb"), GetParam());
    const QByteArray damaged = readBytes(courseFile("LexivoData.mdb"));
    const QByteArray learner = readBytes(courseFile("userData.mdb"));
    MessageAnswerer answerer("OK");

    frmMain* window = startMainWindow();

    const QStringList expected = GetParam() == QString("missing")
                                     ? QStringList{kNoInstalledCourseText, kNoCourseText}
                                     : QStringList{kNoCourseText};
    EXPECT_EQ(trimmed(answerer.texts()), expected);
    EXPECT_EQ(window->treMain->count(), 0);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->mnuCleanError->isEnabled());
    EXPECT_EQ(readBytes(courseFile("LexivoData.mdb")), damaged);
    EXPECT_EQ(readBytes(courseFile("userData.mdb")), learner);
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedCourseDatabaseTest, ::testing::ValuesIn(kDamages));

// The learner database, while the course is open

class DamagedLearnerDatabaseCheckTest : public SentenceCheckTest,
                                        public ::testing::WithParamInterface<const char*> {};

// The result is graded, shown and uploaded (a sync brings it back later);
// that it could not be kept here is said, not hidden.
TEST_P(DamagedLearnerDatabaseCheckTest, ACheckIsShownAndUploadedAndTheLostRecordIsReported) {
    openWindow("LXV");
    damageDatabase(ProductFolder() + "/DEMO/userData.mdb", GetParam());
    MessageAnswerer answerer("OK");

    check("U1000101", "my name is Tom.");

    EXPECT_TRUE(anyStartsWith(answerer.texts(), kDamagedDatabaseText))
        << answerer.texts().join('|').toStdString();
    EXPECT_EQ(formsPostedTo("p_lxv_proc_sentence.asp").size(), 1);
    EXPECT_EQ(visitedOf("U1000101"), "2");

    check("U1000102", "I get up at seven.");
    EXPECT_EQ(answerer.texts().filter(kDamagedDatabaseText).size(), 2);
    EXPECT_EQ(visitedOf("U1000102"), "3");
    EXPECT_TRUE(window->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedLearnerDatabaseCheckTest, ::testing::ValuesIn(kDamages));

class DamagedLearnerDatabaseMenuTest : public LxvRecordsTest,
                                       public ::testing::WithParamInterface<const char*> {};

// Records that are still here stay on the service too, so the two copies
// keep agreeing; a sync changes neither database.
TEST_P(DamagedLearnerDatabaseMenuTest, CleanUpsAndSyncSayTheRecordsCouldNotBeChanged) {
    frmMain* window = openDemo();
    setVisited("U1000101", "3");
    damageDatabase(demoPath("userData.mdb"), GetParam());
    const QByteArray damaged = readBytes(demoPath("userData.mdb"));
    const auto progress = visitedStates();
    MessageAnswerer answerer("OK");

    window->mnuCleanError_Click();
    window->mnuCleanRec_Click();
    window->mnuSync_Click();

    const QStringList texts = trimmed(answerer.texts());
    ASSERT_EQ(texts.size(), 6) << texts.join('|').toStdString();
    for (int answer = 1; answer < 6; answer += 2) {
        EXPECT_TRUE(texts.at(answer).startsWith(kDamagedDatabaseText)) << answer;
    }
    EXPECT_TRUE(requestsTo("p_lxv_proc_reset.asp").isEmpty());
    EXPECT_EQ(visitedStates(), progress);
    EXPECT_EQ(readBytes(demoPath("userData.mdb")), damaged);
    EXPECT_TRUE(window->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedLearnerDatabaseMenuTest, ::testing::ValuesIn(kDamages));

class DamagedCourseDatabaseMenuTest : public DamagedLearnerDatabaseMenuTest {};

// Progress that cannot be reset keeps its plan: neither restarts.
TEST_P(DamagedCourseDatabaseMenuTest, ClearingProgressSaysItCouldNotAndKeepsThePlan) {
    frmMain* window = openDemo();
    ASSERT_TRUE(big5::writeLines(descriptorPath(),
                                 {"DEMO", "示範", "勤奮好學型", "40", "2024/3/1", "2024/4/10"}));
    damageDatabase(demoPath("LexivoData.mdb"), GetParam());
    gScheduleStart = QDate(2024, 3, 1);
    MessageAnswerer answerer("OK");

    window->mnuCleanSchedule_Click();

    const QStringList texts = trimmed(answerer.texts());
    ASSERT_EQ(texts.size(), 2) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.at(1).startsWith(kDamagedDatabaseText));
    EXPECT_EQ(descriptorLines().mid(3), QStringList({"40", "2024/3/1", "2024/4/10"}));
    EXPECT_EQ(gScheduleStart, QDate(2024, 3, 1));
    EXPECT_TRUE(requestsTo("p_lxv_proc_reset.asp").isEmpty());
    EXPECT_TRUE(window->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedCourseDatabaseMenuTest, ::testing::ValuesIn(kDamages));

// The error list

class DamagedErrorListTest : public LocalDataTest,
                             public ::testing::WithParamInterface<const char*> {};

// The statistics say they cannot be read rather than that there are none,
// and the next start's data installation brings the list back.
TEST_P(DamagedErrorListTest, StatisticsSaySoAndTheNextStartRestoresTheList) {
    makeMainWindow("LXV");
    const QString errorList = gBasePath + "/glossor/data/err4list.mdb";
    damageDatabase(errorList, GetParam());

    const QString page =
        ErrorStatisticsPage(ErrorStatisticsPage::Counts::WrongSentences, ProgramFolder() + "/ui")
            .build();
    EXPECT_TRUE(page.contains("目前無法讀取犯錯記錄"));

    MessageAnswerer answerer("OK");
    InstallEngineData();
    EXPECT_TRUE(answerer.texts().isEmpty());
    db::Recordset codes("select count(*) from errmain", gEngineConnStr);
    ASSERT_TRUE(codes.isOpen()) << codes.lastError().toStdString();
    EXPECT_GT(codes.field(0).toInt(), 0);
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedErrorListTest, ::testing::ValuesIn(kDamages));

}  // namespace
