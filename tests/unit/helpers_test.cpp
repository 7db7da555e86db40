#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QUrl>

#include "platform/db.h"
#include "shared/helpers.h"
#include "tests/support/tempbase.h"

namespace {

class HelpersTest : public TempBaseTest {
protected:
    // An empty file is an empty SQLite database.
    QString makeDatabase() {
        const QString path = basePath() + "/count.mdb";
        writeBytes(path, QByteArray());
        return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";";
    }
};

TEST_F(HelpersTest, ErrCodeIsFirstSixCharactersBeforeHash) {
    EXPECT_EQ(GetErrCode("!A12#B3"), "A12");
    EXPECT_EQ(GetErrCode("ABCDEFGH"), "ABCDEF");
    EXPECT_EQ(GetErrCode("#X"), "");
    EXPECT_EQ(GetErrCode("  AR!01 !#x"), "AR01");
}

TEST_F(HelpersTest, HtmlHeadAndFoot) {
    const QString head =
        "<html>\r\n<head>\r\n<meta http-equiv='Content-Type' content='text/html; "
        "charset=big5'>\r\n<title></title>\r\n</head>\r\n<style>\r\nbody {\r\n"
        "   border-style:none; background-color: %1;\r\n}\r\n</style>\r\n";
    EXPECT_EQ(GetHtmlHeader("HEADER"), head.arg("#BBD1FF"));
    EXPECT_EQ(GetHtmlHeader("HEADER", "#FFFFFF"), head.arg("#FFFFFF"));
    EXPECT_EQ(GetHtmlHeader("FOOTER"), "</body>\r\n</html>\r\n");
    EXPECT_EQ(GetHtmlHeader("header"), "");
}

TEST_F(HelpersTest, SqlCountGivesRealCountAboveSixteenBits) {
    const QString conn = makeDatabase();
    ASSERT_TRUE(db::execute("CREATE TABLE n (i INTEGER)", conn));
    ASSERT_TRUE(
        db::execute("WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s "
                    "WHERE i < 40000) INSERT INTO n SELECT i FROM s",
                    conn));
    EXPECT_EQ(GetSqlCount("SELECT COUNT(*) FROM n", conn), 40000);
    EXPECT_EQ(GetSqlCount("SELECT COUNT(*) FROM n WHERE i > 39990", conn), 10);
}

TEST_F(HelpersTest, SqlCountGivesZeroOnAnyError) {
    const QString conn = makeDatabase();
    ASSERT_TRUE(db::execute("CREATE TABLE n (i INTEGER, t TEXT)", conn));
    EXPECT_EQ(GetSqlCount("SELECT COUNT(*) FROM missing", conn), 0);
    EXPECT_EQ(GetSqlCount("SELECT i FROM n", conn), 0);
    EXPECT_EQ(GetSqlCount("SELECT NULL", conn), 0);
    EXPECT_EQ(GetSqlCount("SELECT 'many'", conn), 0);

    const QString missing = basePath() + "/missing.mdb";
    EXPECT_EQ(GetSqlCount("SELECT 1", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + missing),
              0);
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(HelpersTest, SqlCountRoundsFractionsHalfToEven) {
    const QString conn = makeDatabase();
    EXPECT_EQ(GetSqlCount("SELECT 2.5", conn), 2);
    EXPECT_EQ(GetSqlCount("SELECT 3.5", conn), 4);
}

TEST_F(HelpersTest, FileAndFolderTestsTellThemApart) {
    writeBytes(basePath() + "/a.txt", "x");
    EXPECT_TRUE(FileExists(basePath() + "/a.txt"));
    EXPECT_FALSE(FolderExists(basePath() + "/a.txt"));
    EXPECT_TRUE(FolderExists(basePath()));
    EXPECT_FALSE(FileExists(basePath()));
    EXPECT_FALSE(FileExists(basePath() + "/b.txt"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FolderExists(""));
}

TEST_F(HelpersTest, UniqueIdIsSecondsSince2006AndFiveDigits) {
    const QDateTime epoch(QDate(2006, 1, 1), QTime(0, 0), Qt::LocalTime);
    const qint64 before = epoch.secsTo(QDateTime::currentDateTime());
    const QString id = GetUniqueID();
    const qint64 after = epoch.secsTo(QDateTime::currentDateTime());

    const qint64 seconds = id.left(id.size() - 5).toLongLong();
    EXPECT_GE(seconds, before);
    EXPECT_LE(seconds, after);
    const int suffix = id.right(5).toInt();
    EXPECT_GE(suffix, 1);
    EXPECT_LE(suffix, 99999);
    // A small draw keeps its leading zeros: one in ten is below 10000.
    for (int draw = 0; draw < 200; ++draw) {
        ASSERT_EQ(GetUniqueID().size(), QString::number(after).size() + 5);
    }
}

TEST_F(HelpersTest, DateStringHasNoLeadingZeros) {
    EXPECT_EQ(GetDateString(QDate(2012, 1, 9), "-"), "2012-1-9");
    EXPECT_EQ(GetDateString(QDate(2012, 11, 30), "/"), "2012/11/30");
}

TEST_F(HelpersTest, KeyPressPnoFilter) {
    EXPECT_EQ(KeyPressPno('a', "UPPER", false), 'A');
    EXPECT_EQ(KeyPressPno('A', "LOWER", false), 'a');
    EXPECT_EQ(KeyPressPno('a', "", false), 'a');
    EXPECT_EQ(KeyPressPno('-', "UPPER", false), 0);
    EXPECT_EQ(KeyPressPno('-', "UPPER", true), '-');
    EXPECT_EQ(KeyPressPno(' ', "UPPER", false), 0);
    EXPECT_EQ(KeyPressPno(' ', "UPPER", true), ' ');
    for (int kept : {13, 8, 22, int('0'), int('9')}) {
        EXPECT_EQ(KeyPressPno(kept, "UPPER", false), kept);
    }
    for (int dropped : {int('.'), int('_'), int('@'), 3, 24}) {
        EXPECT_EQ(KeyPressPno(dropped, "UPPER", true), 0);
    }
}

TEST_F(HelpersTest, KeyPressLoginFilter) {
    EXPECT_EQ(KeyPressLogin('.', "", false), '.');
    EXPECT_EQ(KeyPressLogin('_', "", false), '_');
    EXPECT_EQ(KeyPressLogin('-', "", false), '-');
    EXPECT_EQ(KeyPressLogin('@', "", true), 0);
    EXPECT_EQ(KeyPressLogin(' ', "", false), 0);
    EXPECT_EQ(KeyPressLogin(' ', "", true), ' ');
    EXPECT_EQ(KeyPressLogin('z', "UPPER", false), 'Z');
    EXPECT_EQ(KeyPressLogin(22, "", false), 22);
}

TEST_F(HelpersTest, KeyDownInputFilter) {
    EXPECT_EQ(KeyDownInput(187), 0);
    EXPECT_EQ(KeyDownInput(123), 0);
    for (int key = 112; key <= 122; ++key) {
        EXPECT_EQ(KeyDownInput(key), key);
    }
    for (int kept : {65, 90, 48, 57, 37, 40, 58, 186, 188, 191, 222, 35, 36, 46, 8, 32, 13}) {
        EXPECT_EQ(KeyDownInput(kept), kept);
    }
    for (int dropped : {9, 27, 33, 34, 45, 59, 64, 91, 96, 192, 219}) {
        EXPECT_EQ(KeyDownInput(dropped), 0);
    }
}

TEST_F(HelpersTest, EmailTestIsShallow) {
    EXPECT_TRUE(IsEmailValid("a@b.tw"));
    EXPECT_FALSE(IsEmailValid("@ab.tw"));
    EXPECT_FALSE(IsEmailValid("a@b.tw."));
    EXPECT_FALSE(IsEmailValid("a@b.t"));
    EXPECT_FALSE(IsEmailValid("abcdef.tw"));
    EXPECT_FALSE(IsEmailValid("abc@defg"));
    EXPECT_TRUE(IsEmailValid("x.y@@z"));
}

TEST_F(HelpersTest, VersionDigitIsTensOfMinor) {
    EXPECT_EQ(GetVersionDigit("2.19.1"), "1");
    EXPECT_EQ(GetVersionDigit("2.90.1"), "9");
    EXPECT_EQ(GetVersionDigit("1.9.3"), "9");
    EXPECT_EQ(GetVersionDigit("1.109.0"), "0");
    EXPECT_EQ(GetVersionDigit("1.29"), "2");
    EXPECT_EQ(GetVersionDigit("1..2"), "");
    EXPECT_EQ(GetVersionDigit("129"), "");
}

TEST_F(HelpersTest, TrimRemovesBlanksOnly) {
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim(" \ta\r\n "), "\ta\r\n");
    EXPECT_EQ(Trim("   "), "");
}

TEST_F(HelpersTest, NumbersAreGroupedByThousands) {
    EXPECT_EQ(FormatNumber(0), "0");
    EXPECT_EQ(FormatNumber(999), "999");
    EXPECT_EQ(FormatNumber(1000), "1,000");
    EXPECT_EQ(FormatNumber(1234567), "1,234,567");
    EXPECT_EQ(FormatNumber(-123456), "-123,456");
}

TEST_F(HelpersTest, RoundingTakesHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(2.6), 3);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(1e300), 0);
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

TEST_F(HelpersTest, UrlGoesToTheDesktopFirst) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("lexivotest", &catcher, "open");
    OpenUrlInBrowser("lexivotest://host/page.asp?a=1");
    QDesktopServices::unsetUrlHandler("lexivotest");
    EXPECT_EQ(catcher.opened, QList<QUrl>{QUrl("lexivotest://host/page.asp?a=1")});
}

}  // namespace

#include "helpers_test.moc"
