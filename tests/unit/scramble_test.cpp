#include <QFile>

#include "platform/big5.h"
#include "shared/descramble.h"
#include "shared/scramblekeys.h"
#include "shared/settingsfiles.h"
#include "tests/support/tempbase.h"
#include "tools/gizpack/scramble.h"

namespace {

const QString kAsciiPage = QStringLiteral(
    "<html>\r\n<head><title>Unit 1</title></head>\r\n"
    "<body><p class='tip'>My name is Lin. I'm 12 years old!</p>\t<img src=\"pic/a.png\">"
    "</body>\r\n</html>\r\n");
const QString kMixedPage = QStringLiteral(
    "<html>\r\n<meta http-equiv='Content-Type' content='text/html; charset=big5'>\r\n"
    "<h2>第一單元　自我介紹</h2>\r\n<p>小提醒：he、she、it 的動詞要加 -s。</p>\r\n</html>\r\n");

QString scrambledPage(const QString& name, const QString& body) {
    const auto key = ChoosePageKey(name, body);
    return key ? HtmlEncrypt(body, *key) : QString();
}

QString descrambled(QString page) {
    return HtmlDecrypt(page);
}

TEST(EncodeMdbString, WritesUpperCaseHexOfCodePlusOffsetClosedByG) {
    static_assert(scramblekeys::kMdbOffset == 37, "expected values below assume offset 37");
    EXPECT_EQ(EncodeMdbString("A"), "66G");
    EXPECT_EQ(EncodeMdbString("z"), "9FG");
    EXPECT_EQ(EncodeMdbString(QStringLiteral("英")), "8316G");
    EXPECT_EQ(EncodeMdbString(""), "");
    // U+20BB7 as its two UTF-16 units, D842 and DFB7.
    EXPECT_EQ(EncodeMdbString(QStringLiteral("𠮷")), "D867GDFDCG");
}

TEST(EncodeMdbString, RoundTripsThroughDecodeMdbString) {
    for (const QString& text :
         {QStringLiteral("Hello, world! It's 9:30."), QStringLiteral("第一單元　自我介紹"),
          QStringLiteral("1-4 我的興趣 (I like ...)"), QStringLiteral(" "),
          QStringLiteral("吉野家的𠮷 😀!")}) {
        EXPECT_EQ(DecodeMdbString(EncodeMdbString(text)), text);
    }
}

TEST(HtmlEncrypt, RoundTripsAsciiAndMixedPagesThroughHtmlDecrypt) {
    EXPECT_EQ(descrambled(scrambledPage("unit1.htm", kAsciiPage)), kAsciiPage);
    EXPECT_EQ(descrambled(scrambledPage("unit2.htm", kMixedPage)), kMixedPage);
}

TEST(HtmlEncrypt, LaysOutHeaderBodyAndKeyCharactersFromPositionFourToOne) {
    const PageKey key{10, 20, 30, 40};
    const QString page = HtmlEncrypt("ab", key);

    ASSERT_EQ(page.size(), scramblekeys::kPageHeaderLength + 2 + 4);
    EXPECT_EQ(page.mid(scramblekeys::kPageHeaderLength, 2),
              QString() + QChar('a' ^ 10) + QChar('b' ^ 20));
    EXPECT_EQ(page.right(4), QString() + QChar(40 + scramblekeys::kPageKeyOffsets[3]) +
                                 QChar(30 + scramblekeys::kPageKeyOffsets[2]) +
                                 QChar(20 + scramblekeys::kPageKeyOffsets[1]) +
                                 QChar(10 + scramblekeys::kPageKeyOffsets[0]));
}

TEST(HtmlEncrypt, KeepsChineseCharactersAndDoesNotMoveTheKeyOnThem) {
    const PageKey key{11, 22, 33, 44};
    const QString plain = HtmlEncrypt("abcd", key);
    const QString mixed = HtmlEncrypt(QStringLiteral("a中b文c字d"), key);
    const int header = scramblekeys::kPageHeaderLength;

    EXPECT_EQ(mixed.mid(header, 7), QString() + plain[header] + QStringLiteral("中") +
                                        plain[header + 1] + QStringLiteral("文") +
                                        plain[header + 2] + QStringLiteral("字") +
                                        plain[header + 3]);
}

class StoredPageTest : public TempBaseTest {};

TEST_F(StoredPageTest, SurvivesTheStoredFileAndTheProgramsTextReader) {
    const QString file = basePath() + "/unit1.xtm";
    ASSERT_TRUE(big5::writeFile(file, "\r\n" + scrambledPage("unit1.htm", kMixedPage)));

    EXPECT_EQ(descrambled(ReadTextFile(file)), kMixedPage);
}

TEST(ChoosePageKey, IsDerivedFromThePageNameAndStaysInRange) {
    const auto first = ChoosePageKey("unit1.htm", kAsciiPage);
    const auto again = ChoosePageKey("unit1.htm", kAsciiPage);
    ASSERT_TRUE(first && again);
    EXPECT_EQ(*first, *again);
    for (int position = 0; position < 4; ++position) {
        const int keyCharacter = (*first)[position] + scramblekeys::kPageKeyOffsets[position];
        EXPECT_GT(keyCharacter, 0x20);
        EXPECT_LT(keyCharacter, 0x7F);
    }
}

TEST(ChoosePageKey, AvoidsKeysThatWouldScrambleACharacterToNul) {
    // Every position meets every key value but 42.
    QString body;
    for (int code = 10; code <= 63; ++code) {
        if (code != 42) {
            body += QString(4, QChar(code));
        }
    }
    const auto key = ChoosePageKey("page.htm", body);

    ASSERT_TRUE(key);
    EXPECT_EQ(*key, (PageKey{42, 42, 42, 42}));
    EXPECT_FALSE(HtmlEncrypt(body, *key).contains(QChar(0)));
    EXPECT_EQ(descrambled(HtmlEncrypt(body, *key)), body);

    body += QString(4, QChar(42));
    EXPECT_FALSE(ChoosePageKey("page.htm", body));
}

TEST(HtmlEncrypt, RefusesWhatCannotBeScrambled) {
    const PageKey key{42, 42, 42, 42};
    EXPECT_TRUE(HtmlEncrypt("*", key).isEmpty());
    EXPECT_TRUE(HtmlEncrypt("a", PageKey{5, 42, 42, 42}).isEmpty());
    EXPECT_TRUE(HtmlEncrypt(QStringLiteral("한국"), key).isEmpty());
    EXPECT_FALSE(ChoosePageKey("page.htm", QStringLiteral("<p>한국</p>")));
    EXPECT_FALSE(ChoosePageKey("page.htm", QStringLiteral("caf\u00e9")));
}

}  // namespace
