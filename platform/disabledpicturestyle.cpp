#include "platform/disabledpicturestyle.h"

#include <QPixmapCache>
#include <QStyleOption>

// The greyed picture depends on the picture and on the background that it
// is greyed towards, so both make the key; other looks are not kept.
QPixmap DisabledPictureStyle::generatedIconPixmap(QIcon::Mode iconMode, const QPixmap& pixmap,
                                                  const QStyleOption* option) const {
    if (iconMode != QIcon::Disabled || !option || pixmap.isNull()) {
        return QProxyStyle::generatedIconPixmap(iconMode, pixmap, option);
    }
    const QRgb background = option->palette.color(QPalette::Disabled, QPalette::Window).rgba();
    const QString key = QStringLiteral("lexivo-disabled-%1-%2")
                            .arg(pixmap.cacheKey(), 0, 16)
                            .arg(background, 0, 16);
    QPixmap greyed;
    if (QPixmapCache::find(key, &greyed)) {
        return greyed;
    }
    greyed = QProxyStyle::generatedIconPixmap(iconMode, pixmap, option);
    QPixmapCache::insert(key, greyed);
    return greyed;
}
