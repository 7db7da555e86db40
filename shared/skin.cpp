#include "shared/skin.h"

#include <QtGlobal>

#include "platform/windowskin.h"

// Q_INIT_RESOURCE must stand outside any namespace.
static void initSkinResources() {
    Q_INIT_RESOURCE(skin);
}

void SetFormTransparent(QWidget* window, int pAlpha) {
    windowskin::setAlpha(window, pAlpha);
}

void SetFormCenter(QWidget* window) {
    windowskin::centerOnScreen(window);
}

void RemoveCloseMenu(QWidget* window) {
    Q_UNUSED(window);
}

bool IsNormalDPI() {
    return qRound(windowskin::screenDpiX()) == 96;
}

void ensureSkinResources() {
    static const bool initialised = [] {
        initSkinResources();
        return true;
    }();
    Q_UNUSED(initialised);
}
