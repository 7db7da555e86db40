#include <gtest/gtest.h>

#include "shared/sendabletext.h"

namespace {

TEST(SendableTextTest, Big5TextHasNoCharacterOutside) {
    for (const QString& text : {QString(), QString("It's \"fine\" <b>&</b> 100% a_b = #1 | ~"),
                                QString("我的朋友小明，你好！"), QString("\t\r\n")}) {
        EXPECT_EQ(firstCharacterOutsideBig5(text), "") << text.toStdString();
    }
}

TEST(SendableTextTest, TheFirstCharacterOutsideBig5IsNamedWhole) {
    EXPECT_EQ(firstCharacterOutsideBig5("a café in the Straße"), "é");
    EXPECT_EQ(firstCharacterOutsideBig5("ok 😀 é"), "😀");
    EXPECT_EQ(firstCharacterOutsideBig5("ひらがな"), "ひ");
    EXPECT_EQ(firstCharacterOutsideBig5("我们"), "们");
    // A question mark of its own is text; half a surrogate pair is not.
    EXPECT_EQ(firstCharacterOutsideBig5("Why?"), "");
    EXPECT_EQ(firstCharacterOutsideBig5(QString("a") + QChar(0xD83D) + "b"),
              QString(QChar(0xD83D)));
}

TEST(SendableTextTest, ARequestValueCannotHoldAnAmpersandEither) {
    EXPECT_EQ(firstUnsendableInRequest("p'<%_=#|\">x"), "");
    EXPECT_EQ(firstUnsendableInRequest("Tom & Jerry"), "&");
    // Whichever comes first is named.
    EXPECT_EQ(firstUnsendableInRequest("café & tea"), "é");
    EXPECT_EQ(firstUnsendableInRequest("tea & café"), "&");
}

}  // namespace
