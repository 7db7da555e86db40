#include "shared/dialogstyle.h"

#include <QLabel>

#include "platform/twips.h"

QRect pixelsOf(const QRect& twips) {
    return QRect(twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
                 twipsToPixels(twips.height()));
}

QFont dialogFont(int pixelSize, bool bold) {
    QFont font;
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* newCaptionLabel(QWidget* parent, int pixelSize) {
    auto* caption = new QLabel(parent);
    caption->setFont(dialogFont(pixelSize, true));
    caption->setStyleSheet("color: white;");
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return caption;
}

QString dialogButtonStyle() {
    return QStringLiteral(
        "QPushButton { color: #1d3557; border: 1px solid #7fa4cf; border-radius: 4px;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #dde9f7); }"
        "QPushButton:hover { border-color: #2f6fb5; background: #e8f1fc; }"
        "QPushButton:pressed { background: #c9dcf3; }");
}
