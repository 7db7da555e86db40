#pragma once

#include <QRect>

class QLabel;
class QTimer;
class QWidget;

// The moving bar of please-wait boxes: a picture that runs through a frame
// from left to right, again and again, one step per timer tick.
struct ProgressFlash {
    QLabel* frame = nullptr;
    QWidget* inner = nullptr;
    QLabel* flash = nullptr;
    QTimer* timer = nullptr;
    // The flash picture's left edge, in twips.
    int leftTwips = 0;
};

// Builds the bar, hidden, at frameTwips inside parent; its timer (owned by
// parent, stopped) ticks every 30 ms.
ProgressFlash createProgressFlash(QWidget* parent, const QRect& frameTwips);

// One tick: the flash moves 200 twips and starts again just left of the
// frame once it has run past its right end.
void advanceProgressFlash(ProgressFlash& bar);
