#include "shared/sendabletext.h"

#include "platform/big5.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"

namespace {

qsizetype characterLength(const QString& text, qsizetype index) {
    const bool pair = text.at(index).isHighSurrogate() && index + 1 < text.size() &&
                      text.at(index + 1).isLowSurrogate();
    return pair ? 2 : 1;
}

bool survivesBig5(const QString& character) {
    return big5::decode(big5::encode(character)) == character;
}

}  // namespace

QString firstCharacterOutsideBig5(const QString& text) {
    // Nearly every text goes through whole; only one that does not is
    // searched character by character.
    if (survivesBig5(text)) {
        return QString();
    }
    for (qsizetype index = 0; index < text.size();) {
        const QString character = text.mid(index, characterLength(text, index));
        if (!survivesBig5(character)) {
            return character;
        }
        index += character.size();
    }
    return QString();
}

QString firstUnsendableInRequest(const QString& text) {
    const qsizetype ampersand = text.indexOf('&');
    const QString outside = firstCharacterOutsideBig5(ampersand < 0 ? text : text.left(ampersand));
    if (!outside.isEmpty()) {
        return outside;
    }
    return ampersand < 0 ? QString() : QStringLiteral("&");
}

void showUnsendableAndWait(const QString& pPiece) {
    gMsgParam = pPiece;
    MessageBoxAndWait(kUnsendableMessage, 1, "OK", "0");
}
