#include <QFile>
#include <QFileInfo>

#include "platform/db.h"
#include "tests/support/tempbase.h"

namespace {

const QString kJetPrefix = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=");

// Two files shaped as the learner's and the course's databases, each with
// one row whose value the tests change.
class TwoFileTransactionTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        learner = makeDatabase("userData.mdb", "create table UserSntn (v text)");
        course = makeDatabase("LexivoData.mdb", "create table bswunit (v text)");
        ASSERT_TRUE(db::execute("insert into UserSntn values ('old')", learner));
        ASSERT_TRUE(db::execute("insert into bswunit values ('old')", course));
    }

    static QString valueOf(const QString& table, const QString& conn) {
        return db::Recordset("select v from " + table, conn).text("v");
    }

    // What each file holds on its own, read afresh from disk.
    QStringList storedValues() {
        db::closeAllConnections();
        return {valueOf("UserSntn", learner), valueOf("bswunit", course)};
    }

    bool changeBoth(const QString& value) {
        return db::execute("update UserSntn set v = '" + value + "'", learner) &&
               db::execute("update bswunit set v = '" + value + "'", course);
    }

    QString learner;
    QString course;
};

TEST_F(TwoFileTransactionTest, CommitsBothFilesAndReleasesTheSecond) {
    {
        db::Transaction both(learner, course);
        ASSERT_TRUE(both.isActive());
        ASSERT_TRUE(changeBoth("new"));
        EXPECT_EQ(valueOf("bswunit", course), "new");
        EXPECT_TRUE(both.commit());
        EXPECT_FALSE(both.isActive());
    }
    // The second file is its own again: a transaction of its own can start.
    db::Transaction alone(course);
    EXPECT_TRUE(alone.isActive());
    EXPECT_TRUE(db::execute("update bswunit set v = 'alone'", course));
    EXPECT_TRUE(alone.commit());
    EXPECT_EQ(storedValues(), QStringList({"new", "alone"}));
}

TEST_F(TwoFileTransactionTest, RollsBackBothWhenNotCommitted) {
    {
        db::Transaction both(learner, course);
        ASSERT_TRUE(both.isActive());
        ASSERT_TRUE(changeBoth("new"));
    }
    EXPECT_EQ(storedValues(), QStringList({"old", "old"}));
}

// A commit that the second file refuses must not leave the first one
// committed: this is the cut between two separate commits, made visible.
TEST_F(TwoFileTransactionTest, ACommitRefusedByTheSecondFileKeepsBothAsTheyWere) {
    ASSERT_TRUE(db::execute("create table guardparent (id text primary key)", course));
    ASSERT_TRUE(
        db::execute("create table guard (id text references guardparent (id) "
                    "deferrable initially deferred)",
                    course));
    ASSERT_TRUE(db::execute("PRAGMA foreign_keys = ON", learner));
    {
        db::Transaction both(learner, course);
        ASSERT_TRUE(both.isActive());
        ASSERT_TRUE(changeBoth("new"));
        ASSERT_TRUE(db::execute("insert into guard values ('nobody')", course));
        EXPECT_FALSE(both.commit());
        EXPECT_TRUE(both.isActive());
    }
    EXPECT_EQ(storedValues(), QStringList({"old", "old"}));
}

TEST_F(TwoFileTransactionTest, TheSameFileTwiceIsOneFile) {
    const QString otherSpelling = "DBQ=" + basePath() + "/./userData.mdb;";
    db::Transaction both(learner, otherSpelling);
    ASSERT_TRUE(both.isActive());
    ASSERT_TRUE(db::execute("update UserSntn set v = 'new'", otherSpelling));
    EXPECT_TRUE(both.commit());
    EXPECT_EQ(storedValues(), QStringList({"new", "old"}));
}

TEST_F(TwoFileTransactionTest, DoesNotStartWhereOneCommitCouldNotCoverBoth) {
    const QString missing = kJetPrefix + basePath() + "/missing.mdb;";
    const QString sameTable = makeDatabase("other.mdb", "create table usersntn (v text)");
    const QString logged = makeDatabase("logged.mdb", "create table errsentence (v text)");
    ASSERT_EQ(db::Recordset("PRAGMA journal_mode = WAL", logged).text("journal_mode"), "wal");

    EXPECT_FALSE(db::Transaction(learner, missing).isActive());
    EXPECT_FALSE(QFileInfo::exists(basePath() + "/missing.mdb"));
    EXPECT_FALSE(db::Transaction(learner, sameTable).isActive());
    EXPECT_FALSE(db::Transaction(learner, logged).isActive());
    EXPECT_FALSE(db::Transaction(logged, course).isActive());

    // Nothing stays attached after a refusal.
    db::Transaction both(learner, course);
    ASSERT_TRUE(both.isActive());
    ASSERT_TRUE(changeBoth("new"));
    EXPECT_TRUE(both.commit());
    EXPECT_EQ(storedValues(), QStringList({"new", "new"}));
}

}  // namespace
