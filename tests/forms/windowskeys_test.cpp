#include <gtest/gtest.h>

#include "shared/helpers.h"
#include "workspace/windowskeys.h"

namespace {

TEST(WindowsKeyCodeTest, KeysTakeTheCodesOfAUSKeyboard) {
    EXPECT_EQ(windowsKeyCode(Qt::Key_A, {}), 65);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Z, Qt::ShiftModifier), 90);
    EXPECT_EQ(windowsKeyCode(Qt::Key_7, {}), 55);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Exclam, Qt::ShiftModifier), 49) << "the 1 key";
    EXPECT_EQ(windowsKeyCode(Qt::Key_ParenRight, Qt::ShiftModifier), 48);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Apostrophe, {}), 222);
    EXPECT_EQ(windowsKeyCode(Qt::Key_QuoteDbl, Qt::ShiftModifier), 222);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Return, {}), 13);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Enter, Qt::KeypadModifier), 13);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Left, Qt::KeypadModifier), 37);
    EXPECT_EQ(windowsKeyCode(Qt::Key_F1, {}), 112);
    EXPECT_EQ(windowsKeyCode(Qt::Key_F12, {}), 123);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Eacute, {}), 0);
}

TEST(WindowsKeyCodeTest, TheNumberPadHasCodesOfItsOwn) {
    EXPECT_EQ(windowsKeyCode(Qt::Key_0, Qt::KeypadModifier), 96);
    EXPECT_EQ(windowsKeyCode(Qt::Key_9, Qt::KeypadModifier), 105);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Asterisk, Qt::KeypadModifier), 106);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Slash, Qt::KeypadModifier), 111);
    EXPECT_EQ(windowsKeyCode(Qt::Key_Slash, {}), 191);
}

// F1 to F11 fall inside a range of codes that the filter keeps; F12, "="
// and Insert do not.
TEST(WindowsKeyCodeTest, TheInputFilterSeesTheseCodes) {
    EXPECT_EQ(KeyDownInput(windowsKeyCode(Qt::Key_F11, {})), 122);
    EXPECT_EQ(KeyDownInput(windowsKeyCode(Qt::Key_F12, {})), 0);
    EXPECT_EQ(KeyDownInput(windowsKeyCode(Qt::Key_Equal, {})), 0);
    EXPECT_EQ(KeyDownInput(windowsKeyCode(Qt::Key_Insert, {})), 0);
    EXPECT_EQ(KeyDownInput(windowsKeyCode(Qt::Key_Delete, {})), 46);
}

}  // namespace
