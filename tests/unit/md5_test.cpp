#include <gtest/gtest.h>
#include <QCryptographicHash>

#include "shared/md5.h"

namespace {

QString standardMd5(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

TEST(Md5Test, Rfc1321Suite) {
    EXPECT_EQ(MD5(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(MD5("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(MD5("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(MD5("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(MD5("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(MD5("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(MD5("1234567890123456789012345678901234567890"
                  "1234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

// Lengths around the block edges (55, 56, 63, 64, 119, 120 ...) decide
// whether the padding needs a block of its own.
TEST(Md5Test, AsciiTextsEqualStandardDigestAtEveryLength) {
    QByteArray text;
    for (int length = 0; length <= 200; ++length) {
        EXPECT_EQ(MD5(QString::fromLatin1(text)), standardMd5(text)) << "length " << length;
        text += char('!' + length % 90);
    }
}

// "一" is Big5 A4 40: as a signed 16-bit number sign-extended, FFFFA440.
// At position 3 it is shifted left by 24 and only the byte 40 ("@") is left
// in the word, so the digest is the standard one of "abc@".
TEST(Md5Test, DoubleByteCharacterInLastBytePlaceFeedsItsTrailByte) {
    EXPECT_EQ(MD5("abc一"), standardMd5("abc@"));
}

// "a一": word 0 = 00000061 | (FFFFA440 << 8) = FFA44061; the closing 80 at
// byte 2 falls on A4, which already holds that bit. Word 14 = 2 characters
// x 8 = 16, word 15 = 0, all others 0. That block has no standard-padded
// byte message; its digest was computed with another MD5 compression
// (OpenSSL's MD5_Transform) over these sixteen words.
//
// "中一": 中 is A4A4, so word 0 = FFFFA4A4 | (FFFFA440 << 8) | 00800000
// = FFFFE4A4: the sign bits of the first character overlap the second.
TEST(Md5Test, DoubleByteCharacterIsOnePositionWithSignExtendedCode) {
    EXPECT_EQ(MD5("a一"), "076fe72918c0cacd603f9843baf74a0f");
    EXPECT_EQ(MD5("中一"), "3b8ee3113f5579744589fcb2edc4f33a");
    EXPECT_NE(MD5("中一"), standardMd5("\xA4\xA4\xA4\x40"));
}

TEST(Md5Test, CharacterOutsideBig5CountsAsQuestionMark) {
    EXPECT_EQ(MD5("caf\u00e9"), MD5("caf?"));
}

TEST(Md5Test, DigestIsLowerCaseHex) {
    const QString digest = MD5("Lexivo 英文");
    EXPECT_EQ(digest.size(), 32);
    for (QChar character : digest) {
        EXPECT_TRUE((character >= '0' && character <= '9') ||
                    (character >= 'a' && character <= 'f'));
    }
}

}  // namespace
