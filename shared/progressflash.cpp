#include "shared/progressflash.h"

#include <QLabel>
#include <QPixmap>
#include <QTimer>

#include "platform/twips.h"
#include "shared/dialogstyle.h"

namespace {

constexpr int kIntervalMs = 30;
constexpr int kStepTwips = 200;
constexpr int kBorderTwips = 30;

void placeFlash(ProgressFlash& bar) {
    bar.flash->move(twipsToPixels(bar.leftTwips), 0);
}

}  // namespace

ProgressFlash createProgressFlash(QWidget* parent, const QRect& frameTwips) {
    ProgressFlash bar;
    bar.frame = new QLabel(parent);
    bar.frame->setGeometry(pixelsOf(frameTwips));
    bar.frame->setPixmap(QPixmap(":/skin/progress-bg.png"));
    bar.inner = new QWidget(bar.frame);
    const int border = twipsToPixels(kBorderTwips);
    bar.inner->setGeometry(bar.frame->rect().adjusted(border, border, -border, -border));
    bar.flash = new QLabel(bar.inner);
    bar.flash->setPixmap(QPixmap(":/skin/progress-flash.png"));
    bar.flash->resize(bar.flash->pixmap().size());
    bar.leftTwips = -pixelsToTwips(bar.flash->width());
    placeFlash(bar);
    bar.frame->hide();
    bar.timer = new QTimer(parent);
    bar.timer->setInterval(kIntervalMs);
    return bar;
}

void advanceProgressFlash(ProgressFlash& bar) {
    bar.leftTwips += kStepTwips;
    if (bar.leftTwips >= pixelsToTwips(bar.frame->width())) {
        bar.leftTwips = -pixelsToTwips(bar.flash->width());
    }
    placeFlash(bar);
}
