#include "workspace/singlelinevalidator.h"

namespace {

bool breaksTheLine(QChar character) {
    return character.unicode() < 0x20 || character.unicode() == 0x7F ||
           character == QChar::LineSeparator || character == QChar::ParagraphSeparator;
}

}  // namespace

QValidator::State SingleLineValidator::validate(QString& input, int& pos) const {
    Q_UNUSED(pos);
    for (QChar& character : input) {
        if (breaksTheLine(character)) {
            character = QLatin1Char(' ');
        }
    }
    return Acceptable;
}
