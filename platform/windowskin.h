#pragma once

#include <QPixmap>
#include <QWidget>

class QMouseEvent;

// Window services behind borderless, skinned windows.
namespace windowskin {

// Opacity 0..255 of a top-level window.
void setAlpha(QWidget* window, int alpha);
int alpha(const QWidget* window);

// Makes every magenta (255, 0, 255) pixel of the skin picture see-through to
// the eye and the mouse.
void applyColourKey(QWidget* window, const QPixmap& skin);

// Centres the window on the screen it is on (or the primary one).
void centerOnScreen(QWidget* window);

void setTopmost(QWidget* window, bool topmost);

// Keeps the window within reach of the learner's input and of the window
// system's close whatever modal window comes up, for as long as it lives.
void keepAboveModalWindows(QWidget* window);

// Lets the window system move the window, as a caption drag would.
void startDrag(QWidget* window, QMouseEvent* press);

// Horizontal dots per inch that the desktop gives the primary screen. Qt
// scales a screen of more than 96 dpi by its device pixel ratio and then
// reports 96 logical dpi, so the ratio is taken back in.
double screenDpiX();

}  // namespace windowskin
