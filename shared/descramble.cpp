#include "shared/descramble.h"

#include <limits>

#include "platform/big5.h"
#include "shared/scramblekeys.h"

namespace {

constexpr qint64 kLargestStoredCode = 100000;
constexpr int kKeyLength = 4;

int hexDigitValue(QChar character) {
    const QChar upper = character.toUpper();
    if (upper >= '1' && upper <= '9') {
        return upper.unicode() - '0';
    }
    if (upper >= 'A' && upper <= 'F') {
        return upper.unicode() - 'A' + 10;
    }
    return 0;
}

// Codes that no character has end the decoding. A half of a surrogate pair
// is taken only as part of a whole pair: a character beyond sixteen bits is
// stored as its two UTF-16 units.
bool isCharacterCode(qint64 code) {
    return code >= 0 && code <= 0x10FFFF;
}

// The character that a single-byte code names. A lead byte alone, or a code
// outside one byte, names none.
bool singleByteCharacter(int code, QChar* character) {
    if (code < 0 || code > 0xFF) {
        return false;
    }
    *character = big5::fromCharCode(code);
    return big5::charCode(*character) == code;
}

// A course tree decodes thousands of texts: the numbers are read in place.
qint64 hexValue(QStringView text) {
    constexpr qint64 kLargest = std::numeric_limits<qint64>::max();
    qint64 value = 0;
    for (QChar character : text) {
        const int digit = hexDigitValue(character);
        if (value > (kLargest - digit) / 16) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace

qint64 HexToDec(const QString& pText) {
    return hexValue(pText);
}

QString DecodeMdbString(const QString& pText) {
    QString result;
    qsizetype numberStart = 0;
    for (qsizetype at = 0; at < pText.size(); ++at) {
        if (pText.at(at) != 'G') {
            continue;
        }
        const qint64 number = hexValue(QStringView(pText).sliced(numberStart, at - numberStart));
        if (number < 0 || number > kLargestStoredCode) {
            return QString();
        }
        const qint64 code = number - scramblekeys::kMdbOffset;
        if (!isCharacterCode(code)) {
            return QString();
        }
        result.append(QStringView(QChar::fromUcs4(char32_t(code))));
        numberStart = at + 1;
    }
    return result.isValidUtf16() ? result : QString();
}

QString HtmlDecrypt(QString& pText) {
    if (pText.size() < scramblekeys::kPageHeaderLength + kKeyLength) {
        pText.clear();
        return pText;
    }
    QString body = pText.mid(scramblekeys::kPageHeaderLength);
    int keys[kKeyLength];
    for (int position = 0; position < kKeyLength; ++position) {
        const QChar keyCharacter = body.at(body.size() - 1 - position);
        keys[position] = big5::charCode(keyCharacter) - scramblekeys::kPageKeyOffsets[position];
    }
    body.chop(kKeyLength);

    int position = 0;
    for (QChar& character : body) {
        const int code = big5::charCode(character);
        // Chinese characters are stored as they are and do not use up a key value.
        if (code > 0xFF) {
            continue;
        }
        if (!singleByteCharacter(code ^ keys[position], &character)) {
            pText.clear();
            return pText;
        }
        position = (position + 1) % kKeyLength;
    }
    pText = body;
    return pText;
}
