#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/db.h"
#include "tests/support/fulldisk.h"
#include "tests/support/tempbase.h"

namespace {

const QString kJetPrefix = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=");

class DbTest : public TempBaseTest {
protected:
    QString makeSentences() {
        const QString conn = makeDatabase(QStringLiteral("userData.mdb"),
                                          "create table UserSntn (id text, qcode text, "
                                          "Sentence text, day date)");
        EXPECT_TRUE(
            db::execute("insert into UserSntn values ('1', '0101', 'One', #2011/3/1#)", conn));
        EXPECT_TRUE(
            db::execute("insert into UserSntn values ('2', '0102', 'Two', #2026/12/6#)", conn));
        return conn;
    }

    static int rowCount(const QString& table, const QString& conn) {
        db::Recordset rs("select count(*) from " + table, conn);
        return rs.field(0).toInt();
    }

    static int openDescriptorCount() {
        return int(QDir(QStringLiteral("/proc/self/fd"))
                       .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                       .size());
    }
};

TEST(DbConnectionString, PathFollowsEitherKeyUpToTheSemicolon) {
    EXPECT_EQ(db::databasePathOf("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/tmp/x/Lexivo2/"
                                 "A01/LexivoData.mdb;"),
              "/tmp/x/Lexivo2/A01/LexivoData.mdb");
    EXPECT_EQ(db::databasePathOf("Driver={Microsoft Access Driver (*.mdb, *.accdb)};"
                                 "DBQ=/tmp/y/userData.mdb;"),
              "/tmp/y/userData.mdb");
    EXPECT_EQ(db::databasePathOf("Data Source=/no/semicolon.mdb"), "/no/semicolon.mdb");
    EXPECT_EQ(db::databasePathOf("Provider=Microsoft.Jet.OLEDB.4.0;"), "");
    EXPECT_EQ(db::databasePathOf(""), "");
}

TEST(DbJetSql, DateLiteralsBecomeSqliteText) {
    EXPECT_EQ(db::translateJetSql("select * from t where d = #2011/3/1#"),
              "select * from t where d = '2011-03-01'");
    EXPECT_EQ(db::translateJetSql("values (#2026/12/6#, #2011/3/1 10:05:00#, #2011/3/1 9:05#)"),
              "values ('2026-12-06', '2011-03-01 10:05:00', '2011-03-01 09:05:00')");
    EXPECT_EQ(db::translateJetSql("#2011-3-1# #2011/3/1 下午 01:04:05# #2011/3/1 PM 1:04:05# "
                                  "#2011/3/1 12:04 am# #2011-3-1 12:00:00 上午# "
                                  "#2011/3/1 12:30 PM# #2011/3/1 0:30#"),
              "'2011-03-01' '2011-03-01 13:04:05' '2011-03-01 13:04:05' "
              "'2011-03-01 00:04:00' '2011-03-01 00:00:00' "
              "'2011-03-01 12:30:00' '2011-03-01 00:30:00'");
}

TEST(DbJetSql, QuotedTextAndInvalidLiteralsStayAsTheyAre) {
    const QString inQuotes = "insert into t values ('It''s #2011/3/1#', #2011/3/1#, 'a''#')";
    EXPECT_EQ(db::translateJetSql(inQuotes),
              "insert into t values ('It''s #2011/3/1#', '2011-03-01', 'a''#')");
    EXPECT_EQ(db::translateJetSql("where a like '#%' and b = #2011/2/30#"),
              "where a like '#%' and b = #2011/2/30#");
    EXPECT_EQ(db::translateJetSql("#2011/13/1# #11/3/1# #2011/3/1 25:00# #abc# #"),
              "#2011/13/1# #11/3/1# #2011/3/1 25:00# #abc# #");
    EXPECT_EQ(db::translateJetSql("#2011/3-1# #2011/3/1 13:00 PM# #2011/3/1 PM 1:00 PM#"),
              "#2011/3-1# #2011/3/1 13:00 PM# #2011/3/1 PM 1:00 PM#");
    EXPECT_EQ(db::translateJetSql("#2011/3/1 0:30 PM# #2011/3/1 上午 0:30#"),
              "#2011/3/1 0:30 PM# #2011/3/1 上午 0:30#");
    EXPECT_EQ(db::translateJetSql("'unterminated #2011/3/1#"), "'unterminated #2011/3/1#");
}

TEST_F(DbTest, RowsFieldsAndTypesAsStored) {
    const QString conn = makeDatabase("data.mdb",
                                      "create table mistakes (errcode text, "
                                      "times integer, ratio real, note text)");
    ASSERT_TRUE(db::execute("insert into mistakes values ('A01', 3, 0.5, null)", conn));
    ASSERT_TRUE(db::execute(QString::fromUtf8("insert into mistakes values ('B02', 1, 2, "
                                              "'冠詞錯誤')"),
                            conn));

    db::Recordset rs("select * from mistakes order by errcode", conn);
    ASSERT_TRUE(rs.isOpen()) << rs.lastError().toStdString();
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(rs.fieldCount(), 4);
    EXPECT_EQ(rs.field("Errcode").toString(), "A01");
    EXPECT_EQ(rs.field("TIMES").typeId(), QMetaType::LongLong);
    EXPECT_EQ(rs.field("times").toLongLong(), 3);
    EXPECT_EQ(rs.field("ratio").typeId(), QMetaType::Double);
    EXPECT_TRUE(rs.field("note").isNull());
    EXPECT_EQ(rs.text("note"), "");
    EXPECT_FALSE(rs.field("nosuchfield").isValid());
    EXPECT_FALSE(rs.field(7).isValid());
    EXPECT_EQ(rs.columnIndex("Ratio"), 2);
    EXPECT_EQ(rs.columnIndex("rati"), -1);
    EXPECT_FALSE(rs.field(rs.columnIndex("nosuchfield")).isValid());

    rs.moveNext();
    EXPECT_EQ(rs.field(0).toString(), "B02");
    EXPECT_EQ(rs.text("NOTE"), QString::fromUtf8("冠詞錯誤"));
    rs.moveNext();
    EXPECT_TRUE(rs.eof());
    EXPECT_FALSE(rs.field("errcode").isValid());
    rs.moveFirst();
    EXPECT_EQ(rs.text("errcode"), "A01");
}

TEST_F(DbTest, DatesWrittenAsJetLiteralsAreFoundByThem) {
    const QString conn = makeSentences();
    db::Recordset rs("select Sentence, day from UserSntn where day = #2026/12/6#", conn);
    ASSERT_EQ(rs.recordCount(), 1);
    EXPECT_EQ(rs.text("sentence"), "Two");
    EXPECT_EQ(rs.text("day"), "2026-12-06");
    EXPECT_EQ(rowCount("UserSntn where day < #2012/1/1#", conn), 1);
}

TEST_F(DbTest, QuotedValuesAreStoredExactly) {
    const QString conn = makeSentences();
    const QString sentence = "It's #2011/3/1# -- ; drop table UserSntn";
    ASSERT_TRUE(db::execute(
        "insert into UserSntn values ('3', '0103', '" + db::SqlText(sentence) + "', #2011/3/1#)",
        conn));
    db::Recordset rs("select Sentence from UserSntn where id = '3'", conn);
    EXPECT_EQ(rs.text("Sentence"), sentence);
    EXPECT_EQ(rowCount("UserSntn", conn), 3);
}

TEST_F(DbTest, FailuresReportAnErrorAndCreateNothing) {
    const QString missing = basePath() + "/Lexivo2/A01/LexivoData.mdb";
    db::Recordset rs("select * from bswunit", kJetPrefix + missing + ';');
    EXPECT_FALSE(rs.isOpen());
    EXPECT_FALSE(rs.lastError().isEmpty());
    EXPECT_TRUE(rs.eof());
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_FALSE(QFileInfo::exists(basePath() + "/Lexivo2"));

    QString error;
    EXPECT_FALSE(db::execute("delete from bswunit", kJetPrefix + missing + ';', &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(db::execute("select 1", "Provider=Microsoft.Jet.OLEDB.4.0;", &error));

    const QString notADatabase = basePath() + "/err4list.mdb";
    writeBytes(notADatabase, QByteArray("Standard Jet DB").repeated(100));
    EXPECT_FALSE(db::Recordset("select * from errtype", kJetPrefix + notADatabase + ';').isOpen());

    const QString conn = makeSentences();
    EXPECT_FALSE(db::Recordset("select * from nosuchtable", conn).isOpen());
    EXPECT_FALSE(db::Recordset("selec nothing", conn).isOpen());
    EXPECT_FALSE(db::Recordset("", conn).isOpen());
    // The connection stays usable after a failed statement.
    EXPECT_EQ(rowCount("UserSntn", conn), 2);
}

// The advice differs: a full disk is freed by the learner, a damaged or
// missing database is installed again.
TEST_F(DbTest, AChangeThatTheDiskRefusesIsToldApartFromOtherFailures) {
    const QString conn = makeSentences();
    const QString insert = "insert into UserSntn values ('3', '0103', 'Three', #2011/3/1#)";
    {
        const FullDisk full;
        ASSERT_TRUE(full.limited());
        EXPECT_FALSE(db::execute(insert, conn));
        EXPECT_TRUE(db::lastFailureWasDiskRefusal());
        // A read that goes through changes nothing of it.
        EXPECT_EQ(rowCount("UserSntn", conn), 2);
        EXPECT_TRUE(db::lastFailureWasDiskRefusal());
    }
    EXPECT_FALSE(db::execute("insert into NoSuchTable values (1)", conn));
    EXPECT_FALSE(db::lastFailureWasDiskRefusal());
    EXPECT_FALSE(db::execute(insert, kJetPrefix + basePath() + "/missing.mdb;"));
    EXPECT_FALSE(db::lastFailureWasDiskRefusal());
}

TEST_F(DbTest, ASecondStatementInTheTextIsRefused) {
    const QString conn = makeSentences();
    EXPECT_FALSE(db::execute("delete from UserSntn where id = '1'; drop table UserSntn", conn));
    EXPECT_EQ(rowCount("UserSntn", conn), 2);
    EXPECT_TRUE(db::execute("delete from UserSntn where id = '1' ; ", conn));
    EXPECT_EQ(rowCount("UserSntn", conn), 1);
}

TEST_F(DbTest, TransactionCommitsOrRollsBack) {
    const QString conn = makeSentences();
    {
        db::Transaction transaction(conn);
        ASSERT_TRUE(transaction.isActive());
        EXPECT_TRUE(db::execute("delete from UserSntn where 1=1", conn));
        EXPECT_EQ(rowCount("UserSntn", conn), 0);
    }
    EXPECT_EQ(rowCount("UserSntn", conn), 2);
    {
        db::Transaction transaction(conn);
        EXPECT_TRUE(db::execute("delete from UserSntn where id = '1'", conn));
        EXPECT_TRUE(transaction.commit());
        EXPECT_FALSE(transaction.isActive());
        EXPECT_FALSE(transaction.commit());
    }
    EXPECT_EQ(rowCount("UserSntn", conn), 1);
}

TEST_F(DbTest, ManyStatementsShareOneConnection) {
    const QString conn = makeSentences();
    const QString otherSpelling =
        "Driver={Microsoft Access Driver (*.mdb, *.accdb)};DBQ=" + basePath() + "/./userData.mdb;";
    const int descriptorsBefore = openDescriptorCount();
    ASSERT_GT(descriptorsBefore, 2);
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(db::execute(QStringLiteral("insert into UserSntn values ('n%1', 'q', 's', "
                                               "#2011/3/1#)")
                                    .arg(i),
                                i % 2 ? conn : otherSpelling));
        ASSERT_TRUE(db::Recordset("select * from UserSntn where id = 'n1'", conn).isOpen());
    }
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
    EXPECT_EQ(rowCount("UserSntn", otherSpelling), 302);
}

TEST_F(DbTest, ReplacedOrDeletedFileIsNotReadThroughAStaleConnection) {
    const QString conn = makeSentences();
    const QString path = db::databasePathOf(conn);
    ASSERT_EQ(rowCount("UserSntn", conn), 2);

    const QString fresh = basePath() + "/fresh.mdb";
    makeDatabase("fresh.mdb",
                 "create table UserSntn (id text, qcode text, Sentence text, "
                 "day date)");
    db::closeConnection(fresh);
    ASSERT_EQ(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()),
              0);
    EXPECT_EQ(rowCount("UserSntn", conn), 0);

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(db::Recordset("select * from UserSntn", conn).isOpen());
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(DbTest, ClosedConnectionReopensOnNextUse) {
    const QString conn = makeSentences();
    ASSERT_EQ(rowCount("UserSntn", conn), 2);
    db::closeConnection(db::databasePathOf(conn));
    EXPECT_EQ(rowCount("UserSntn", conn), 2);
    db::closeAllConnections();
    EXPECT_EQ(rowCount("UserSntn", conn), 2);
}

}  // namespace
