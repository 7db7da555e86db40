#include <gtest/gtest.h>

#include "platform/db.h"
#include "tests/support/tempbase.h"
#include "workspace/progressbatch.h"
#include "workspace/syncreplies.h"

namespace {

using namespace syncreplies;

TEST(SyncRepliesTest, CorrectSentencesTakeFieldsOneToThreeWithTypographicApostrophes) {
    const auto records = correctSentences("x#0101#It's done#2011/3/1<@>");
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 1);
    EXPECT_EQ(records->at(0).code, "0101");
    EXPECT_EQ(records->at(0).sentence, QString("It\u2019s done"));
    EXPECT_EQ(records->at(0).date, "2011/3/1");
    EXPECT_EQ(records->at(0).storedDate, "2011-03-01");
}

TEST(SyncRepliesTest, WrongSentencesTakeTheErrorCodeFromFieldZero) {
    const auto records = wrongSentences("CP001#0101#*i* am#2011/3/1 10:05:00<@>");
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 1);
    EXPECT_EQ(records->at(0).code, "CP001");
    EXPECT_EQ(records->at(0).sentence, "*i* am");
    EXPECT_EQ(records->at(0).date, "2011/3/1 10:05:00");
    EXPECT_EQ(records->at(0).storedDate, "2011-03-01 10:05:00");
}

TEST(SyncRepliesTest, AnEmptyRecordOrTrailingBlanksEndTheListAndWhatFollowsIsIgnored) {
    EXPECT_EQ(correctSentences("").value().size(), 0);
    EXPECT_EQ(correctSentences("<@>").value().size(), 0);
    EXPECT_EQ(correctSentences("a#1#s#2011/3/1<@><@>whatever").value().size(), 1);
    EXPECT_EQ(correctSentences("a#1#s#2011/3/1<@>\r\n").value().size(), 1);
    EXPECT_EQ(wrongSentences("a#1#s#2011/3/1 \n").value().size(), 1);
}

// A date is read alike in a middle record and in the last, whose blanks
// and line end are also those of the whole reply.
TEST(SyncRepliesTest, WhiteSpaceAroundADateIsReadAlikeInEveryRecord) {
    for (const QString& date : {QString(" 2011/3/1 12:30 PM "), QString("2011/3/1 12:30 PM\n"),
                                QString("\r\n2011/3/1 12:30 PM\r\n")}) {
        const auto records = wrongSentences("a#1#s#" + date + "<@>b#1#t#" + date);
        ASSERT_TRUE(records) << date.toStdString();
        ASSERT_EQ(records->size(), 2);
        for (const SentenceRecord& record : *records) {
            EXPECT_EQ(record.date, "2011/3/1 12:30 PM");
            EXPECT_EQ(record.storedDate, "2011-03-01 12:30:00");
        }
    }
}

TEST(SyncRepliesTest, ARecordThatIsNotWellFormedSpoilsTheWholeReply) {
    for (const QString& reply :
         {QString("ERR_NOTFOUND"), QString("ERR#1#s#2011/3/1<@>"), QString("a#1#s<@>"),
          QString("a#1#s#2011/3/1<@>a#1#s#20"), QString("a#1#s#2011/2/30<@>"),
          QString("a#1#s#yesterday<@>"), QString("a#1#s#2011/3/1<@>a#1#s#<@>"),
          QString("a#1#It's #1#2011/3/1<@>"), QString("a#1#s#2011/3/1 0:30 PM<@>a#1#s#2011/3/1"),
          QString("a#1#s#2011/3/1 .<@>a#1#s#2011/3/1")}) {
        EXPECT_FALSE(correctSentences(reply)) << reply.toStdString();
        EXPECT_FALSE(wrongSentences(reply)) << reply.toStdString();
    }
}

TEST(SyncRepliesTest, AProgressItemIsItsLastCharacterAndTheRestWithoutTheStates) {
    const auto items = progressItems("U1:3,U2:0,a:b:2,U4:2:3,U5:3\n,U6:2 ,,U7:3");
    ASSERT_TRUE(items);
    QStringList read;
    for (const ProgressItem& item : *items) {
        read << item.unitId + "=" + item.state;
    }
    EXPECT_EQ(read, QStringList({"U1=3", "U2:0=0", "a:b=2", "U4=3", "U5\n=\n", "U6 = "}));
    EXPECT_EQ(progressItems("").value().size(), 0);
    EXPECT_EQ(progressItems(",U1:3").value().size(), 0);
    EXPECT_FALSE(progressItems("ERR_NOTFOUND"));
}

TEST(SyncRepliesTest, AMistakeItemWithoutAColonOrAWholeCountIsSkipped) {
    const auto counts = mistakeCounts(
        "CP001:12,AR001,PU001:x,DW001:-1,AR002:1e3,AR003: 4\r\n,"
        "AR004:1234567890,AR005:0,,AR006:1");
    ASSERT_TRUE(counts);
    QStringList read;
    for (const MistakeCount& mistake : *counts) {
        read << mistake.code + "=" + QString::number(mistake.count);
    }
    EXPECT_EQ(read,
              QStringList({"CP001=12", "DW001=-1", "AR003=4", "AR004=1234567890", "AR005=0"}));
    EXPECT_FALSE(mistakeCounts("ERR_NOTFOUND"));
}

class ProgressBatchTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        connection = "Data Source=" + basePath() + "/course.mdb;";
        // An empty file is an empty database.
        writeBytes(basePath() + "/course.mdb", QByteArray());
        ASSERT_TRUE(db::execute("create table bswunit (UNITID text, VISITED text)", connection));
    }

    QString stateOf(const QString& unitId) const {
        return db::Recordset("select VISITED from bswunit where UNITID = '" + unitId + "'",
                             connection)
            .text("VISITED");
    }

    QString connection;
};

TEST_F(ProgressBatchTest, EveryUnitGetsItsStateAcrossSeveralStatements) {
    QStringList ids;
    for (int i = 0; i < 30; ++i) {
        ids << QString("UNIT%1").arg(i, 4, 10, QChar('0'));
        ASSERT_TRUE(
            db::execute("insert into bswunit values ('" + ids.last() + "', '1')", connection));
    }
    ASSERT_TRUE(db::execute("insert into bswunit values ('O''Brien', '1')", connection));
    ProgressBatch batch('3', connection);
    for (const QString& id : ids) {
        ASSERT_TRUE(batch.add(id));
    }
    ASSERT_TRUE(batch.add("O'Brien"));
    ASSERT_TRUE(batch.flush());
    for (const QString& id : ids) {
        EXPECT_EQ(stateOf(id), "3") << id.toStdString();
    }
    EXPECT_EQ(stateOf("O''Brien"), "3");
}

TEST_F(ProgressBatchTest, AnEmptyBatchRunsNothingAndAFailedStatementIsReported) {
    ProgressBatch empty('2', connection);
    EXPECT_TRUE(empty.flush());
    ProgressBatch broken('2', "Data Source=" + basePath() + "/missing/none.mdb;");
    EXPECT_TRUE(broken.add("U1"));
    EXPECT_FALSE(broken.flush());
}

}  // namespace
