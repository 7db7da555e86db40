#include "tools/gizpack/scramble.h"

#include <bitset>
#include <QCryptographicHash>

#include "platform/big5.h"
#include "shared/scramblekeys.h"

namespace {

constexpr char kPageHeader[] = "<!-- Lexivo course page -->";
static_assert(sizeof(kPageHeader) - 1 == scramblekeys::kPageHeaderLength);

// With the smallest offset a key value of 10 gives "!", the first printable
// character after the blank; 63 with the largest offset gives "z".
constexpr int kSmallestKey = 10;
constexpr int kLargestKey = 63;
constexpr int kKeyChoices = kLargestKey - kSmallestKey + 1;
static_assert(kLargestKey + scramblekeys::kPageKeyOffsets[3] <= 0x7E);

constexpr int kKeyPositions = 4;

enum class CharKind { Scrambled, Kept, Refused };

CharKind kindOf(QChar character) {
    if (character.unicode() > 0 && character.unicode() < 0x80) {
        return CharKind::Scrambled;
    }
    return big5::isDoubleByte(character) ? CharKind::Kept : CharKind::Refused;
}

// The single-byte characters each key position meets in the body.
std::optional<std::array<std::bitset<128>, kKeyPositions>> charactersByPosition(
    const QString& body) {
    std::array<std::bitset<128>, kKeyPositions> seen;
    int position = 0;
    for (const QChar character : body) {
        switch (kindOf(character)) {
            case CharKind::Refused:
                return std::nullopt;
            case CharKind::Kept:
                break;
            case CharKind::Scrambled:
                seen[position].set(character.unicode());
                position = (position + 1) % kKeyPositions;
                break;
        }
    }
    return seen;
}

}  // namespace

QString EncodeMdbString(const QString& text) {
    QString encoded;
    for (const QChar character : text) {
        encoded += QString::number(character.unicode() + scramblekeys::kMdbOffset, 16).toUpper();
        encoded += QLatin1Char('G');
    }
    return encoded;
}

std::optional<PageKey> ChoosePageKey(const QString& pageName, const QString& body) {
    const auto seen = charactersByPosition(body);
    if (!seen) {
        return std::nullopt;
    }
    const QByteArray seed = QCryptographicHash::hash(pageName.toUtf8(), QCryptographicHash::Md5);
    PageKey key{};
    for (int position = 0; position < kKeyPositions; ++position) {
        const int start = quint8(seed[position]) % kKeyChoices;
        int found = 0;
        for (int step = 0; step < kKeyChoices && !found; ++step) {
            const int candidate = kSmallestKey + (start + step) % kKeyChoices;
            if (!(*seen)[position].test(candidate)) {
                found = candidate;
            }
        }
        if (!found) {
            return std::nullopt;
        }
        key[position] = found;
    }
    return key;
}

QString HtmlEncrypt(const QString& body, const PageKey& key) {
    for (const int value : key) {
        if (value < kSmallestKey || value > kLargestKey) {
            return QString();
        }
    }
    QString scrambled = QString::fromLatin1(kPageHeader);
    int position = 0;
    for (const QChar character : body) {
        switch (kindOf(character)) {
            case CharKind::Refused:
                return QString();
            case CharKind::Kept:
                scrambled += character;
                break;
            case CharKind::Scrambled: {
                const int code = character.unicode() ^ key[position];
                if (code == 0) {
                    return QString();
                }
                scrambled += QChar(code);
                position = (position + 1) % kKeyPositions;
                break;
            }
        }
    }
    for (int keyIndex = kKeyPositions - 1; keyIndex >= 0; --keyIndex) {
        scrambled += QChar(key[keyIndex] + scramblekeys::kPageKeyOffsets[keyIndex]);
    }
    return scrambled;
}
