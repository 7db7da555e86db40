#include <QList>

#include "shared/descramble.h"
#include "tests/fuzz/fuzzcheck.h"
#include "tools/gizpack/scramble.h"

// A text of a course database as the program reads it back: normally hex
// numbers closed by "G", here anything.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString stored = QString::fromUtf8(fuzzBytes(data, size));

    fuzzCheck(HexToDec(stored) >= -1, "a hex value is -1 or not negative");

    const QString decoded = DecodeMdbString(stored);
    // Every "G" closes one character or one half of a surrogate pair, or the
    // whole text decodes to nothing.
    fuzzCheck(decoded.isEmpty() || (decoded.toUcs4().size() <= stored.count('G') &&
                                    stored.count('G') <= decoded.size()),
              "one character or one half of a pair for each \"G\"");
    fuzzCheck(decoded.isValidUtf16(), "no half of a surrogate pair stands alone");
    fuzzCheck(DecodeMdbString(EncodeMdbString(decoded)) == decoded,
              "a decoded text scrambles back to what decodes the same");
    // What the course tools write, the program reads back unchanged.
    fuzzCheck(DecodeMdbString(EncodeMdbString(stored)) == stored,
              "a scrambled text decodes to itself");
    return 0;
}
