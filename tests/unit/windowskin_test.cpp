#include <gtest/gtest.h>

#include <cstdlib>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <utility>

#include "platform/windowskin.h"
#include "shared/skin.h"

namespace {

const QColor kMagenta(255, 0, 255);

// A skin whose see-through part is the given rectangle.
QPixmap skinWithHole(const QRect& hole) {
    QPixmap skin(40, 30);
    skin.fill(Qt::darkBlue);
    QPainter painter(&skin);
    painter.fillRect(hole, kMagenta);
    return skin;
}

bool hidesExactly(const QWidget& window, const QRect& hole) {
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (window.mask().contains(QPoint(x, y)) == hole.contains(x, y)) {
                return false;
            }
        }
    }
    return true;
}

// Skins' regions are kept from one window to the next: each window must
// still get the region of the picture it was given.
TEST(WindowSkinTest, EachWindowGetsTheRegionOfItsOwnSkin) {
    const QRect left(0, 0, 10, 30);
    const QRect corner(30, 20, 10, 10);
    QPixmap first = skinWithHole(left);
    const QPixmap second = skinWithHole(corner);
    QWidget a;
    QWidget b;
    QWidget c;
    QWidget d;
    windowskin::applyColourKey(&a, first);
    windowskin::applyColourKey(&b, second);
    windowskin::applyColourKey(&c, first);
    first = skinWithHole(corner);
    windowskin::applyColourKey(&d, first);

    EXPECT_TRUE(hidesExactly(a, left));
    EXPECT_TRUE(hidesExactly(b, corner));
    EXPECT_TRUE(hidesExactly(c, left));
    EXPECT_TRUE(hidesExactly(d, corner));
}

TEST(WindowSkinTest, SkinChangedInPlaceGetsItsNewRegion) {
    const QRect left(0, 0, 10, 30);
    QPixmap skin = skinWithHole(left);
    QWidget before;
    windowskin::applyColourKey(&before, skin);
    {
        QPainter painter(&skin);
        painter.fillRect(left, Qt::darkBlue);
    }
    QWidget after;
    windowskin::applyColourKey(&after, skin);
    EXPECT_TRUE(hidesExactly(before, left));
    EXPECT_TRUE(hidesExactly(after, QRect()));
}

// A desktop set to more than 96 dpi reaches Qt as the screen's scale, which
// the application takes when it starts: each desktop gets a process of its
// own.
TEST(ScreenDpiTest, OnlyANinetySixDpiDesktopIsNormal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const auto& [dpi, normal] : {std::pair{96, true}, std::pair{120, false}}) {
        qputenv("QT_FONT_DPI", QByteArray::number(dpi));
        EXPECT_EXIT(
            std::exit(qRound(windowskin::screenDpiX()) == dpi && IsNormalDPI() == normal ? 0 : 1),
            ::testing::ExitedWithCode(0), "")
            << dpi << " dpi";
    }
    qunsetenv("QT_FONT_DPI");
}

}  // namespace
