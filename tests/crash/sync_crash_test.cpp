#include <gtest/gtest.h>
#include <QDir>
#include <QRegularExpression>

#include "platform/db.h"
#include "tests/crash/crashrun.h"
#include "tests/support/standinprocess.h"
#include "tests/support/tempbase.h"

namespace {

constexpr int kKillPoints = 10;

const QStringList kQuestions = {"U1000101", "U1000102", "U1000103", "U2000101",
                                "U2000102", "U2000105", "U3000101", "U3000104"};

// The real records sync of the LXV main window, in a child that syncs the
// records of DEMO0001 and then those of OLD00001 from the stand-in, cut at
// the writes, syncs and deletions its commits make. The learner's records
// and the course progress must afterwards be one account's whole copy (or
// the course as installed), never the sentences of one with the progress
// of the other.
class SyncCrashTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        ASSERT_TRUE(standin.start());
        fillAccount("DEMO0001", "first", {150, 120, 0}, "3");
        fillAccount("OLD00001", "second", {90, 200, 3}, "2");
        fillAccount("DEMOQ001", "third", {10, 160, 0}, "3");
        fillAccount("NEWQ0001", "fourth", {10, 90, 3}, "2");
    }

    void TearDown() override {
        standin.stop();
        TempBaseTest::TearDown();
    }

    struct RecordCounts {
        int correct;
        int wrong;
        // The questions from this one on are in the account's progress.
        qsizetype firstProgressed;
    };

    // Records straight into the stand-in's store, so that a sync has
    // plenty to write without a request for each.
    void fillAccount(const QString& pno, const QString& word, const RecordCounts& counts,
                     const QString& state) {
        const QString store = "Data Source=" + standin.dataDir() + "/standin.db";
        QList<QStringList> correctRows;
        QList<QStringList> wrongRows;
        QList<QStringList> progressRows;
        for (int i = 0; i < counts.correct; ++i) {
            correctRows << QStringList{pno, kQuestions.at(i % kQuestions.size()),
                                       QString("The %1 sentence number %2.").arg(word).arg(i),
                                       "2024/3/1"};
        }
        for (int i = 0; i < counts.wrong; ++i) {
            wrongRows << QStringList{pno, kQuestions.at(i % kQuestions.size()), "PU001",
                                     QString("the %1 *sentence* %2").arg(word).arg(i), "2024/3/2"};
        }
        for (const QString& question : kQuestions.mid(counts.firstProgressed)) {
            progressRows << QStringList{pno, question, state};
        }
        ASSERT_TRUE(
            db::executeForEach("insert into ok_sentences (pno, course, qcode, sentence, "
                               "sentdate) values (?, 'DEMO', ?, ?, ?)",
                               correctRows, store));
        ASSERT_TRUE(
            db::executeForEach("insert into err_sentences (pno, course, qcode, errcode, "
                               "sentence, sentdate) values (?, 'DEMO', ?, ?, ?, ?)",
                               wrongRows, store));
        ASSERT_TRUE(db::executeForEach(
            "insert into progress (pno, course, unitid, state) values (?, 'DEMO', ?, ?)",
            progressRows, store));
        db::closeAllConnections();
    }

    QString runFolder(const QString& name) const { return basePath() + "/" + name; }

    // The records and progress as the next start reads them, the random
    // record ids left out.
    static QStringList localRecords(const QString& tmp) {
        db::closeAllConnections();
        const QString learner = "Data Source=" + tmp + "/Lexivo2/DEMO/userData.mdb";
        const QString course = "Data Source=" + tmp + "/Lexivo2/DEMO/LexivoData.mdb";
        QStringList records = rowsOf("select qcode, Sentence, sentdate from UserSntn", learner) +
                              rowsOf(
                                  "select sentence, errcode, errdate, fromserver from "
                                  "errsentence",
                                  learner) +
                              rowsOf("select UNITID, VISITED from bswunit order by UNITID", course);
        records << rowsOf("PRAGMA integrity_check", learner) +
                       rowsOf("PRAGMA integrity_check", course);
        db::closeAllConnections();
        return records;
    }

    static QStringList rowsOf(const QString& sql, const QString& conn) {
        QStringList rows;
        for (db::Recordset records(sql, conn); !records.eof(); records.moveNext()) {
            QStringList fields;
            for (int i = 0; i < records.fieldCount(); ++i) {
                fields << records.field(i).toString();
            }
            rows << fields.join('|');
        }
        return rows;
    }

    // A child that syncs the accounts in turn; killAt 0 lets it finish.
    bool runSyncs(const QString& tmp, const QString& accounts, long killAt,
                  const QString& operation = "sync") {
        QDir().mkpath(tmp);
        child = std::make_unique<CrashRun>(tmp);
        return child->start(operation, {standin.baseUrl(), accounts, QString::number(killAt)}) &&
               child->waitForEnd();
    }

    // The course progress, and the learner's mistake counts, of a reload.
    static QStringList reloadedProgress(const QString& tmp) {
        const QStringList rows =
            rowsOf("select UNITID, VISITED from bswunit order by UNITID",
                   "Data Source=" + tmp + "/Lexivo2/DEMO/LexivoData.mdb") +
            rowsOf("PRAGMA integrity_check", "Data Source=" + tmp + "/Lexivo2/DEMO/LexivoData.mdb");
        db::closeAllConnections();
        return rows;
    }
    static QStringList reloadedMistakes(const QString& tmp) {
        const QString learner = "Data Source=" + tmp + "/Lexivo2/DEMO/userData.mdb";
        const QStringList rows = rowsOf("select * from mistakes order by 1", learner) +
                                 rowsOf("PRAGMA integrity_check", learner);
        db::closeAllConnections();
        return rows;
    }

    StandinProcess standin;
    std::unique_ptr<CrashRun> child;
};

TEST_F(SyncCrashTest, LearnerRecordsAndProgressAreAlwaysOneWholeCopy) {
    ASSERT_TRUE(runSyncs(runFolder("installed"), "", 0)) << child->describe().toStdString();
    const QStringList installed = localRecords(runFolder("installed"));
    ASSERT_TRUE(runSyncs(runFolder("first"), "DEMO0001", 0)) << child->describe().toStdString();
    const QStringList first = localRecords(runFolder("first"));
    ASSERT_TRUE(runSyncs(runFolder("both"), "DEMO0001,OLD00001", 0))
        << child->describe().toStdString();
    ASSERT_TRUE(child->endedNormally()) << child->describe().toStdString();
    const long total = child->operationCount();
    const QStringList second = localRecords(runFolder("both"));
    ASSERT_NE(first, installed);
    ASSERT_NE(second, first);
    ASSERT_GT(total, kKillPoints);

    for (int point = 1; point <= kKillPoints; ++point) {
        const long killAt = point * total / (kKillPoints + 1);
        SCOPED_TRACE(testing::Message() << "killed at operation " << killAt << " of " << total);
        const QString tmp = runFolder(QString("kill%1").arg(point));
        ASSERT_TRUE(runSyncs(tmp, "DEMO0001,OLD00001", killAt)) << child->describe().toStdString();
        ASSERT_TRUE(child->endedByKill()) << child->describe().toStdString();
        const QStringList found = localRecords(tmp);
        EXPECT_TRUE(found == installed || found == first || found == second)
            << found.size() << " rows, the first " << found.value(0).toStdString();
    }
}

// The LXQ opening replaces progress and mistakes from two separate lists
// of the service, each all or nothing; either may be the newer one, as
// when the second list does not come, and the next opening fetches both
// again.
TEST_F(SyncCrashTest, ReloadedProgressAndMistakesAreEachWhole) {
    QList<QStringList> progress;
    QList<QStringList> mistakes;
    for (const QString& accounts : QStringList{"", "DEMOQ001", "NEWQ0001"}) {
        const QString tmp = runFolder("reload" + accounts);
        ASSERT_TRUE(runSyncs(tmp, accounts, 0, "reload")) << child->describe().toStdString();
        progress << reloadedProgress(tmp);
        mistakes << reloadedMistakes(tmp);
    }
    ASSERT_NE(progress.at(1), progress.at(2));
    ASSERT_NE(mistakes.at(1), mistakes.at(2));
    ASSERT_TRUE(runSyncs(runFolder("reloadboth"), "DEMOQ001,NEWQ0001", 0, "reload"));
    const long total = child->operationCount();
    ASSERT_GT(total, kKillPoints);

    for (int point = 1; point <= kKillPoints; ++point) {
        const long killAt = point * total / (kKillPoints + 1);
        SCOPED_TRACE(testing::Message() << "killed at operation " << killAt << " of " << total);
        const QString tmp = runFolder(QString("reloadkill%1").arg(point));
        ASSERT_TRUE(runSyncs(tmp, "DEMOQ001,NEWQ0001", killAt, "reload"))
            << child->describe().toStdString();
        ASSERT_TRUE(child->endedByKill()) << child->describe().toStdString();
        EXPECT_TRUE(progress.contains(reloadedProgress(tmp)));
        EXPECT_TRUE(mistakes.contains(reloadedMistakes(tmp)));
    }
}

TEST_F(SyncCrashTest, NodeFileAlwaysNamesOneNode) {
    static const QRegularExpression wholeFile("^\"QUIZ_U[0-9]{7}\"\r\n$");
    for (int run = 0; run < 3; ++run) {
        const QString tmp = runFolder(QString("click%1").arg(run));
        QDir().mkpath(tmp);
        CrashRun clicks(tmp);
        ASSERT_TRUE(clicks.start("nodeclick", {standin.baseUrl()}))
            << clicks.describe().toStdString();
        clicks.killAfter(40 + run * 60);
        ASSERT_TRUE(clicks.endedByKill());
        const QByteArray nodeFile = readBytes(tmp + "/Lexivo2/DEMO/node.set");
        EXPECT_TRUE(wholeFile.match(QString::fromLatin1(nodeFile)).hasMatch())
            << nodeFile.toStdString();
    }
}

}  // namespace
