#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "shared/md5.h"
#include "tests/standin/standintest.h"

class StandinEngineTest : public StandinTest {
protected:
    QStringList grade(const QString& sentence) {
        const QString reply =
            request("engine/p_passWebEngine.asp", engineFields("DEMO0001", "U1000101", sentence));
        EXPECT_TRUE(reply.startsWith("OK_")) << qPrintable(reply);
        return reply.mid(3).split('#');
    }
};

TEST_F(StandinEngineTest, LookupNamesTheEngineWhichAnswersItsOnlineTest) {
    EXPECT_EQ(request("p_all_webengine_get.asp", {}), "OK_" + standin.baseUrl() + "engine/");
    EXPECT_TRUE(request("engine/p_passWebEngine_conn.asp", {}).startsWith("ONLINE"));
}

TEST_F(StandinEngineTest, GradesACorrectSentenceWithStatusZero) {
    const QStringList fields = grade("My name is Lin Mei-ling.");
    ASSERT_EQ(fields.size(), 4);
    EXPECT_EQ(fields[0], "0");
    EXPECT_EQ(fields[1], "0");
    EXPECT_TRUE(QRegularExpression("^result/[0-9]+\\.htm$").match(fields[2]).hasMatch());
    EXPECT_TRUE(page("/engine/" + fields[2]).contains("正確"));
}

TEST_F(StandinEngineTest, EachRuleGivesItsCodeAndMarksItsWords) {
    struct Case {
        const char* sentence;
        const char* code;
        const char* marked;
    };
    const Case cases[] = {
        {"my name is Amy.", "CP001", "*my* name is Amy."},
        {"I like apples", "PU001", "I like *apples*"},
        {"I ate a apple.", "AR001", "I ate *a apple*."},
        {"I ate an apple in a hour.", "AR001", "I ate an apple in *a hour*."},
        {"It is a useful book.", "0", "It is a useful book."},
        {"I like like apples.", "DW001", "I *like like* apples."},
        {"She like apples.", "AG001", "She *like* apples."},
        {"Does she like apples?", "0", "Does she like apples?"},
    };
    for (const Case& c : cases) {
        const QStringList fields = grade(QString::fromUtf8(c.sentence));
        ASSERT_EQ(fields.size(), 4) << c.sentence;
        EXPECT_EQ(fields[1], c.code) << c.sentence;
        EXPECT_EQ(fields[3], QString::fromUtf8(c.marked)) << c.sentence;
        EXPECT_EQ(fields[0], QString(c.code) == "0" ? "0" : "1") << c.sentence;
    }
}

TEST_F(StandinEngineTest, SeveralFaultsGiveStatusTwoAndTheFirstCode) {
    const QStringList fields = grade("he like a apple");
    EXPECT_EQ(fields[0], "2");
    EXPECT_EQ(fields[1], "CP001");
    EXPECT_EQ(fields[3], "*he* *like* *a apple*");

    const QString result = page("/engine/" + fields[2]);
    for (const char* code : {"CP001", "AG001", "AR001", "PU001"}) {
        EXPECT_TRUE(result.contains(code)) << code;
    }
    EXPECT_TRUE(result.contains("句子的第一個字母要大寫"));
    EXPECT_TRUE(result.contains("<font color='#FFFFFF'>a apple</font>"));
}

TEST_F(StandinEngineTest, RefusesAWrongDigestOrToken) {
    Fields fields = engineFields("DEMO0001", "U1000101", "I like apples.");
    fields[1].second = MD5("DEMO0002");
    EXPECT_EQ(request("engine/p_passWebEngine.asp", fields), "ERR_CHECKSUM");

    fields = engineFields("DEMO0001", "U1000101", "I like apples.");
    fields[2].second = MD5("I like apples.");  // blanks must be left out
    EXPECT_EQ(request("engine/p_passWebEngine.asp", fields), "ERR_CHECKSUM");

    fields = engineFields("DEMO0001", "U1000101", "I like apples.");
    fields[5].second = "073038";
    EXPECT_EQ(request("engine/p_passWebEngine.asp", fields), "ERR_TOKEN");
}

TEST_F(StandinEngineTest, ResultPageEscapesTheLearnersText) {
    const QStringList fields = grade("I like <b>cats</b> and <script>x</script>.");
    const QString result = page("/engine/" + fields[2]);
    EXPECT_FALSE(result.contains("<script>"));
    EXPECT_TRUE(result.contains("&lt;script&gt;"));
}

TEST(StandinSeedTest, GraderCodesComeFromTheErrorList) {
    QFile errlist(LEXIVO_SOURCE_DIR "/data/errlist/errlist.tsv");
    QFile seed(LEXIVO_SOURCE_DIR "/data/standin-seed.json");
    ASSERT_TRUE(errlist.open(QIODevice::ReadOnly));
    ASSERT_TRUE(seed.open(QIODevice::ReadOnly));
    const QString list = QString::fromUtf8(errlist.readAll());
    const QJsonObject grader =
        QJsonDocument::fromJson(seed.readAll()).object()["grader"].toObject();
    for (const char* rule : {"capital", "punctuation", "article", "doubled", "agreement"}) {
        const QString code = grader[rule].toString();
        EXPECT_TRUE(list.contains("\ncode\t" + code + "\t")) << rule;
    }
}
