#pragma once

#include <QProxyStyle>

// The application's own style, which works out the greyed look of a
// disabled picture once per picture and background instead of at every
// paint: a disabled label with a picture asks for it each time it is
// painted, and the main window's tool bar is disabled and repainted button
// by button while a course opens.
class DisabledPictureStyle : public QProxyStyle {
public:
    QPixmap generatedIconPixmap(QIcon::Mode iconMode, const QPixmap& pixmap,
                                const QStyleOption* option) const override;
};
