#pragma once

#include <QFont>
#include <QRect>
#include <QString>

// The look the borderless dialogs have in common.

// A place measured in twips, in pixels.
QRect pixelsOf(const QRect& twips);

// The dialogs' text: the default face at a fixed pixel size, so that the
// text fits the skin whatever the desktop's font settings are.
QFont dialogFont(int pixelSize, bool bold = false);

class QLabel;
class QWidget;

// The white, bold caption on a dialog's title strip; the caller places it.
QLabel* newCaptionLabel(QWidget* parent, int pixelSize = 15);

// The blue push buttons of the dialogs.
QString dialogButtonStyle();
