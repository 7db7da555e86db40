#include "shared/md5.h"

#include <array>
#include <vector>

#include "platform/big5.h"

namespace {

using Words = std::vector<quint32>;

// The value a character feeds: its Big5 code, a double-byte code read as a
// signed 16-bit number and widened with its sign.
quint32 characterValue(QChar character) {
    const int code = big5::charCode(character);
    return code > 0xFF ? quint32(qint32(qint16(quint16(code)))) : quint32(code);
}

Words ConvertToWordArray(const QString& text) {
    const quint32 length = quint32(text.size());
    const size_t wordCount = ((size_t(length) + 8) / 64 + 1) * 16;
    Words words(wordCount, 0);
    for (quint32 k = 0; k < length; ++k) {
        words[k / 4] |= characterValue(text.at(k)) << (8 * (k % 4));
    }
    words[length / 4] |= quint32(0x80) << (8 * (length % 4));
    words[wordCount - 2] = length << 3;
    words[wordCount - 1] = length >> 29;
    return words;
}

quint32 RotateLeft(quint32 value, int bits) {
    return (value << bits) | (value >> (32 - bits));
}

quint32 F(quint32 x, quint32 y, quint32 z) {
    return (x & y) | (~x & z);
}
quint32 G(quint32 x, quint32 y, quint32 z) {
    return (x & z) | (y & ~z);
}
quint32 H(quint32 x, quint32 y, quint32 z) {
    return x ^ y ^ z;
}
quint32 I(quint32 x, quint32 y, quint32 z) {
    return y ^ (x | ~z);
}

using AuxiliaryFunction = quint32 (*)(quint32, quint32, quint32);

// One step of RFC 1321: a = b + ((a + f(b, c, d) + x + t) <<< s).
void step(AuxiliaryFunction f, quint32& a, quint32 b, quint32 c, quint32 d, quint32 x, int s,
          quint32 t) {
    a = b + RotateLeft(a + f(b, c, d) + x + t, s);
}

// The per-step constants: floor(abs(sin(i + 1)) * 2^32).
constexpr std::array<quint32, 64> kSineTable = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr std::array<int, 16> kShifts = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};

// Which message word each step reads, and with which auxiliary function.
int wordIndexOfStep(int i) {
    switch (i / 16) {
        case 0:
            return i;
        case 1:
            return (5 * i + 1) % 16;
        case 2:
            return (3 * i + 5) % 16;
        default:
            return (7 * i) % 16;
    }
}

AuxiliaryFunction functionOfStep(int i) {
    static constexpr std::array<AuxiliaryFunction, 4> kFunctions = {F, G, H, I};
    return kFunctions[i / 16];
}

void compressBlock(std::array<quint32, 4>& state, const quint32* block) {
    std::array<quint32, 4> abcd = state;
    for (int i = 0; i < 64; ++i) {
        // The registers rotate roles every step: a, d, c, b, a, ...
        const int a = (64 - i) % 4;
        const int b = (a + 1) % 4;
        const int c = (a + 2) % 4;
        const int d = (a + 3) % 4;
        step(functionOfStep(i), abcd[a], abcd[b], abcd[c], abcd[d], block[wordIndexOfStep(i)],
             kShifts[(i / 16) * 4 + i % 4], kSineTable[i]);
    }
    for (int i = 0; i < 4; ++i) {
        state[i] += abcd[i];
    }
}

QString WordToHex(quint32 word) {
    QString hex;
    for (int byte = 0; byte < 4; ++byte) {
        hex += QStringLiteral("%1").arg((word >> (8 * byte)) & 0xFF, 2, 16, QChar('0'));
    }
    return hex;
}

}  // namespace

QString MD5(const QString& text) {
    const Words words = ConvertToWordArray(text);
    std::array<quint32, 4> state = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    for (size_t block = 0; block < words.size(); block += 16) {
        compressBlock(state, words.data() + block);
    }
    QString digest;
    for (quint32 word : state) {
        digest += WordToHex(word);
    }
    return digest;
}
