#include <QDir>
#include <QFile>

#include "platform/big5.h"
#include "tests/support/tempbase.h"

namespace {

class Big5Test : public TempBaseTest {};

TEST_F(Big5Test, CharCodesFollowBig5) {
    EXPECT_EQ(big5::charCode(QChar('a')), 97);
    EXPECT_EQ(big5::charCode(QChar(u'中')), 0xA4A4);
    EXPECT_EQ(big5::charCode(QChar(u'一')), 0xA440);
    EXPECT_EQ(big5::charCode(QChar(u'，')), 0xA141);
    EXPECT_TRUE(big5::isDoubleByte(QChar(u'中')));
    EXPECT_FALSE(big5::isDoubleByte(QChar('~')));
}

TEST_F(Big5Test, CharactersOutsideBig5GiveQuestionMark) {
    EXPECT_EQ(big5::charCode(QChar(u'é')), '?');
    EXPECT_EQ(big5::charCode(QChar(0xD83D)), '?');
    EXPECT_EQ(big5::encode("a\U0001F600b"), "a?b");
    EXPECT_FALSE(big5::isDoubleByte(QChar(u'é')));
}

TEST_F(Big5Test, FromCharCodeIsTheInverse) {
    for (QChar character : QString("aZ~ 中文一，")) {
        EXPECT_EQ(big5::fromCharCode(big5::charCode(character)), character);
    }
}

TEST_F(Big5Test, CodesNamingNoCharacterGiveQuestionMark) {
    EXPECT_EQ(big5::fromCharCode(0xA4), QChar('?'));
    EXPECT_EQ(big5::fromCharCode(-1), QChar('?'));
    EXPECT_EQ(big5::fromCharCode(0x10000), QChar('?'));
    // Above sixteen bits even where the low two bytes are a character.
    EXPECT_NE(big5::fromCharCode(0xA4C0), QChar('?'));
    EXPECT_EQ(big5::fromCharCode(0x1A4C0), QChar('?'));
    EXPECT_EQ(big5::fromCharCode(0xA420), QChar('?'));
}

TEST_F(Big5Test, LinesEndInCrLfAndReadBackWithEitherEnding) {
    const QString path = basePath() + "/lines.set";
    ASSERT_TRUE(big5::writeLines(path, {"a=中", "", "b"}));
    EXPECT_EQ(readBytes(path), "a=" + big5::encode("中") + "\r\n\r\nb\r\n");
    EXPECT_EQ(big5::readLines(path), (QStringList{"a=中", "", "b"}));

    writeBytes(path, "x\ny\r\nz");
    EXPECT_EQ(big5::readLines(path), (QStringList{"x", "y", "z"}));
}

TEST_F(Big5Test, FailedReadReportsIt) {
    bool ok = true;
    EXPECT_TRUE(big5::readLines(basePath() + "/missing", &ok).isEmpty());
    EXPECT_FALSE(ok);
    writeBytes(basePath() + "/empty", "");
    EXPECT_TRUE(big5::readLines(basePath() + "/empty", &ok).isEmpty());
    EXPECT_TRUE(ok);
}

TEST_F(Big5Test, WriteReplacesWholeFileAndLeavesNoTemporary) {
    const QString path = basePath() + "/page.htm";
    writeBytes(path, "a much longer old content");
    ASSERT_TRUE(big5::writeFile(path, "new"));
    EXPECT_EQ(readBytes(path), "new");
    EXPECT_EQ(QDir(basePath()).entryList(QDir::Files | QDir::Hidden), QStringList{"page.htm"});
    EXPECT_FALSE(big5::writeFile(basePath() + "/missing/page.htm", "x"));
}

}  // namespace
