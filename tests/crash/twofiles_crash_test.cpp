#include <gtest/gtest.h>
#include <QDir>

#include "platform/db.h"
#include "tests/crash/crashoperations.h"
#include "tests/crash/crashrun.h"
#include "tests/support/tempbase.h"

namespace {

// A transaction over the learner's and the course's databases, cut at every
// write, sync and deletion that its commits make.
class TwoFileCrashTest : public TempBaseTest {
protected:
    QString runFolder(int run) const { return basePath() + QString("/run%1").arg(run); }

    void makeDatabases(const QString& folder) {
        QDir().mkpath(folder);
        makeDatabase(folder + "/userData.mdb", "UserSntn");
        makeDatabase(folder + "/LexivoData.mdb", "bswunit");
        db::closeAllConnections();
    }

    void makeDatabase(const QString& path, const QString& table) {
        writeBytes(path, QByteArray());
        ASSERT_TRUE(db::execute("create table " + table + " (v text)", "Data Source=" + path));
        ASSERT_TRUE(db::execute("insert into " + table + " values ('0')", "Data Source=" + path));
    }

    // What the next start finds: each file opened afresh, learner first.
    static QStringList storedValues(const QString& folder) {
        db::closeAllConnections();
        const QString learner = "Data Source=" + folder + "/userData.mdb";
        const QString course = "Data Source=" + folder + "/LexivoData.mdb";
        return {db::Recordset("select v from UserSntn", learner).text("v"),
                db::Recordset("select v from bswunit", course).text("v"),
                db::Recordset("PRAGMA integrity_check", learner).field(0).toString(),
                db::Recordset("PRAGMA integrity_check", course).field(0).toString()};
    }

    // What a killed commit left behind does not stand in the way of the
    // next one.
    static void expectWritableAgain(const QString& folder) {
        const QString learner = "Data Source=" + folder + "/userData.mdb";
        const QString course = "Data Source=" + folder + "/LexivoData.mdb";
        db::Transaction both(learner, course);
        EXPECT_TRUE(both.isActive());
        EXPECT_TRUE(db::execute("update UserSntn set v = 'later'", learner));
        EXPECT_TRUE(db::execute("update bswunit set v = 'later'", course));
        EXPECT_TRUE(both.commit());
        EXPECT_EQ(storedValues(folder).mid(0, 2), QStringList({"later", "later"}));
    }

    CrashRun* runChild(const QString& folder, long killAt) {
        m_run = std::make_unique<CrashRun>(basePath());
        EXPECT_TRUE(m_run->start("twofiles", {folder + "/userData.mdb", folder + "/LexivoData.mdb",
                                              QString::number(killAt)}))
            << m_run->describe().toStdString();
        EXPECT_TRUE(m_run->waitForEnd());
        return m_run.get();
    }

    std::unique_ptr<CrashRun> m_run;
};

TEST_F(TwoFileCrashTest, BothFilesAlwaysHoldTheSameCommit) {
    makeDatabases(runFolder(0));
    const long total = runChild(runFolder(0), 0)->operationCount();
    ASSERT_TRUE(m_run->endedNormally()) << m_run->describe().toStdString();
    const QString last = QString::number(crashops::kTwoFileRounds);
    ASSERT_EQ(storedValues(runFolder(0)), QStringList({last, last, "ok", "ok"}));

    // Every operation of the second commit, whose files both hold the
    // first commit before it.
    const long perCommit = total / crashops::kTwoFileRounds;
    ASSERT_GT(perCommit, 0);
    for (long killAt = perCommit + 1; killAt <= 2 * perCommit; ++killAt) {
        SCOPED_TRACE(testing::Message() << "killed at operation " << killAt);
        const QString folder = runFolder(int(killAt));
        makeDatabases(folder);
        runChild(folder, killAt);
        ASSERT_TRUE(m_run->endedByKill()) << m_run->describe().toStdString();
        const QStringList values = storedValues(folder);
        EXPECT_TRUE(values.at(0) == "1" || values.at(0) == "2") << values.at(0).toStdString();
        EXPECT_EQ(values.at(1).toStdString(), values.at(0).toStdString());
        EXPECT_EQ(values.mid(2), QStringList({"ok", "ok"}));
        expectWritableAgain(folder);
    }
}

}  // namespace
