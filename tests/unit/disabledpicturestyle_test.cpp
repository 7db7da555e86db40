#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>

#include "platform/disabledpicturestyle.h"

namespace {

QPixmap picture() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    QPainter painter(&pixmap);
    painter.fillRect(4, 4, 8, 8, Qt::blue);
    return pixmap;
}

QStyleOption optionOn(const QColor& background) {
    QStyleOption option;
    option.palette.setColor(QPalette::Disabled, QPalette::Window, background);
    return option;
}

class DisabledPictureStyleTest : public ::testing::Test {
protected:
    QImage uncached(QIcon::Mode mode, const QPixmap& pixmap, const QStyleOption& option) {
        return style.baseStyle()->generatedIconPixmap(mode, pixmap, &option).toImage();
    }
    QImage cached(QIcon::Mode mode, const QPixmap& pixmap, const QStyleOption& option) {
        return style.generatedIconPixmap(mode, pixmap, &option).toImage();
    }

    DisabledPictureStyle style;
};

// Each background greys the picture its own way: a kept picture must never
// stand in for another background's.
TEST_F(DisabledPictureStyleTest, GreyedPictureIsTheStylesForEachBackground) {
    const QPixmap pixmap = picture();
    const QStyleOption light = optionOn(QColor(0xee, 0xf4, 0xfa));
    const QStyleOption dark = optionOn(QColor(0x20, 0x30, 0x40));
    ASSERT_NE(uncached(QIcon::Disabled, pixmap, light), uncached(QIcon::Disabled, pixmap, dark));

    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(cached(QIcon::Disabled, pixmap, light), uncached(QIcon::Disabled, pixmap, light));
        EXPECT_EQ(cached(QIcon::Disabled, pixmap, dark), uncached(QIcon::Disabled, pixmap, dark));
    }
}

TEST_F(DisabledPictureStyleTest, PictureChangedInPlaceIsGreyedAfresh) {
    QPixmap pixmap = picture();
    const QStyleOption option = optionOn(Qt::white);
    const QImage before = cached(QIcon::Disabled, pixmap, option);
    pixmap.fill(Qt::green);
    EXPECT_NE(cached(QIcon::Disabled, pixmap, option), before);
    EXPECT_EQ(cached(QIcon::Disabled, pixmap, option), uncached(QIcon::Disabled, pixmap, option));
}

TEST_F(DisabledPictureStyleTest, OtherLooksAreTheStylesOwn) {
    const QPixmap pixmap = picture();
    const QStyleOption option = optionOn(Qt::white);
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active, QIcon::Selected}) {
        EXPECT_EQ(cached(mode, pixmap, option), uncached(mode, pixmap, option));
    }
}

}  // namespace
