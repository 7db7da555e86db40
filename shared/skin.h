#pragma once

class QWidget;

// Window services of the borderless, skinned windows.

// Opacity 0..255; the skin's magenta stays see-through (see SkinnedDialog).
void SetFormTransparent(QWidget* window, int pAlpha);
void SetFormCenter(QWidget* window);
// The main window's system menu ends without a close entry on the original
// platform; our windows offer no such menu, so there is nothing to trim.
void RemoveCloseMenu(QWidget* window);
// True when the screen has the 96 dpi that the windows are drawn for.
bool IsNormalDPI();

// Makes the compiled-in skin pictures (":/skin/...") available; cheap to call
// again.
void ensureSkinResources();
