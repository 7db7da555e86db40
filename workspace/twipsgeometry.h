#pragma once

#include <algorithm>
#include <QWidget>

#include "platform/twips.h"

// Control positions and sizes in twips, as the window's layout measures them.
namespace twipsgeometry {

inline int leftTwips(const QWidget* control) {
    return pixelsToTwips(control->x());
}
inline int topTwips(const QWidget* control) {
    return pixelsToTwips(control->y());
}
inline int widthTwips(const QWidget* control) {
    return pixelsToTwips(control->width());
}
inline int heightTwips(const QWidget* control) {
    return pixelsToTwips(control->height());
}

// A size below zero (a pane squeezed by its neighbours) collapses to nothing.
inline void moveTwips(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(std::max(0, width)),
                         twipsToPixels(std::max(0, height)));
}
inline void moveTwips(QWidget* control, const QRect& twips) {
    moveTwips(control, twips.x(), twips.y(), twips.width(), twips.height());
}
inline void setLeftTwips(QWidget* control, int left) {
    control->move(twipsToPixels(left), control->y());
}
inline void setTopTwips(QWidget* control, int top) {
    control->move(control->x(), twipsToPixels(top));
}
inline void setWidthTwips(QWidget* control, int width) {
    control->resize(twipsToPixels(std::max(0, width)), control->height());
}
inline void setHeightTwips(QWidget* control, int height) {
    control->resize(control->width(), twipsToPixels(std::max(0, height)));
}

}  // namespace twipsgeometry
