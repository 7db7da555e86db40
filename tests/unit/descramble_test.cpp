#include <gtest/gtest.h>

#include "shared/descramble.h"
#include "shared/scramblekeys.h"

namespace {

TEST(HexToDecTest, ReadsHexIgnoringCaseAndOtherCharacters) {
    EXPECT_EQ(HexToDec("ff"), 255);
    EXPECT_EQ(HexToDec("FF"), 255);
    EXPECT_EQ(HexToDec("0FF"), 255);
    EXPECT_EQ(HexToDec("1Z"), 16);
    EXPECT_EQ(HexToDec(""), 0);
    EXPECT_EQ(HexToDec("00000000000000000000000001"), 1);
}

TEST(HexToDecTest, ValueBeyondSixtyFourBitsIsRefused) {
    EXPECT_EQ(HexToDec("7FFFFFFFFFFFFFFF"), Q_INT64_C(0x7FFFFFFFFFFFFFFF));
    EXPECT_EQ(HexToDec("8000000000000000"), -1);
    EXPECT_EQ(HexToDec("FFFFFFFFFFFFFFFFFFFF"), -1);
}

// Stored codes carry the offset, 37 (hex 25): "A" (hex 41) is stored as
// 66, "中" (hex 4E2D) as 4E52.
QString stored(char32_t code) {
    return QString::number(qint64(code) + scramblekeys::kMdbOffset, 16).toUpper() + "G";
}

TEST(DecodeMdbStringTest, DecodesEachNumberClosedByG) {
    ASSERT_EQ(scramblekeys::kMdbOffset, 37);
    EXPECT_EQ(DecodeMdbString("66G4E52G"), "A中");
    EXPECT_EQ(DecodeMdbString(stored(U'I') + stored(U' ') + stored(U'是')), "I 是");
}

TEST(DecodeMdbStringTest, TextWithoutGIsEmptyAndTrailingNumberIsIgnored) {
    EXPECT_EQ(DecodeMdbString("666768"), "");
    EXPECT_EQ(DecodeMdbString(stored(U'A') + "67"), "A");
}

TEST(DecodeMdbStringTest, LowerCaseGIsCollectedAsZeroDigit) {
    // "6g6" reads as 6 * 256 + 0 * 16 + 6 = 1542, less 37 is 1505 (U+05E1).
    EXPECT_EQ(DecodeMdbString("6g6G"), QString(QChar(0x05E1)));
}

TEST(DecodeMdbStringTest, ImpossibleNumbersGiveEmpty) {
    const QString good = stored(U'A');
    EXPECT_EQ(DecodeMdbString(good + "186A1G"), "");  // 100001
    EXPECT_EQ(DecodeMdbString(good + "10G"), "");     // below the offset
    EXPECT_EQ(DecodeMdbString(good + "24G"), "");     // code -1
    EXPECT_EQ(DecodeMdbString(good + "25G"), "A" + QString(QChar(0)));
    EXPECT_EQ(DecodeMdbString(good + "G"), "");             // empty number
    EXPECT_EQ(DecodeMdbString(good + stored(0xD800)), "");  // half a surrogate pair
    EXPECT_EQ(DecodeMdbString(stored(0xDC00) + good), "");
    EXPECT_EQ(DecodeMdbString(stored(0xDFB7) + stored(0xD842)), "");  // pair in wrong order
    EXPECT_EQ(DecodeMdbString(stored(0xD842) + good + stored(0xDFB7)), "");
    EXPECT_EQ(DecodeMdbString(good + "FFFFFFFFFFFFFFFFFFFFG"), "");
}

TEST(DecodeMdbStringTest, CodeAboveSixteenBitsBecomesSurrogatePair) {
    EXPECT_EQ(DecodeMdbString(stored(0x10000)), QString::fromUcs4(U"\U00010000"));
}

// Characters beyond sixteen bits are stored as their two UTF-16 units.
TEST(DecodeMdbStringTest, SurrogatePairStoredAsTwoNumbersIsOneCharacter) {
    EXPECT_EQ(DecodeMdbString(stored(U'A') + stored(0xD842) + stored(0xDFB7)),
              QString::fromUcs4(U"A\U00020BB7"));
    EXPECT_EQ(DecodeMdbString(stored(0xDBFF) + stored(0xDFFF) + stored(0xD800) + stored(0xDC00)),
              QString::fromUcs4(U"\U0010FFFF\U00010000"));
}

// A page: 27 header characters, the body, then the key characters from key
// position 4 down to 1. The keys here are 10, 20, 30 and 40, so with the
// offsets 23, 31, 47 and 59 the key characters are "!" (33), "3" (51),
// "M" (77) and "c" (99), written "cM3!".
const QString kHeader(27, QChar('#'));
const QString kKeyTail = "cM3!";

TEST(HtmlDecryptTest, XorsSingleByteCharactersWithRotatingKey) {
    ASSERT_EQ(scramblekeys::kPageKeyOffsets[0], 23);
    ASSERT_EQ(scramblekeys::kPageKeyOffsets[3], 59);
    // a^10 = k, b^20 = v, c^30 = }, d^40 = L, e^10 = o
    QString page = kHeader + "kv}Lo" + kKeyTail;
    EXPECT_EQ(HtmlDecrypt(page), "abcde");
    EXPECT_EQ(page, "abcde");
}

TEST(HtmlDecryptTest, ChineseCharactersStayAndDoNotMoveTheKey) {
    QString plain = kHeader + "kv}L" + kKeyTail;
    QString mixed = kHeader + "k中v文字}，L" + kKeyTail;
    EXPECT_EQ(HtmlDecrypt(plain), "abcd");
    EXPECT_EQ(HtmlDecrypt(mixed), "a中b文字c，d");
}

TEST(HtmlDecryptTest, TooShortPageIsEmpty) {
    QString thirty = QString(26, QChar('#')) + kKeyTail;
    EXPECT_EQ(HtmlDecrypt(thirty), "");
    EXPECT_EQ(thirty, "");
    QString headerAndKeysOnly = kHeader + kKeyTail;
    EXPECT_EQ(HtmlDecrypt(headerAndKeysOnly), "");
    QString empty;
    EXPECT_EQ(HtmlDecrypt(empty), "");
}

TEST(HtmlDecryptTest, ResultOutsideSingleByteCharactersGivesEmpty) {
    // A key character below its offset gives a negative key value.
    QString negativeKey = kHeader + "kv" + "cM3" + QChar(5);
    EXPECT_EQ(HtmlDecrypt(negativeKey), "");

    // A Chinese key character gives a key far beyond one byte.
    QString wideKey = kHeader + "kv" + "cM3中";
    EXPECT_EQ(HtmlDecrypt(wideKey), "");

    // Key character U+F8F8 is Big5 FF: key 255 - 23 = 232, and "a" (61)
    // XOR E8 is 89, a lead byte that is no character by itself.
    QString leadByte = kHeader + "a" + "cM3" + QChar(0xF8F8);
    EXPECT_EQ(HtmlDecrypt(leadByte), "");
}

}  // namespace
