#include <algorithm>
#include <QList>

#include "shared/descramble.h"
#include "tests/fuzz/fuzzcheck.h"
#include "tools/gizpack/scramble.h"

// A text of a course database as the program reads it back: normally hex
// numbers closed by "G", here anything.

namespace {

bool holdsSurrogates(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString stored = QString::fromUtf8(fuzzBytes(data, size));

    fuzzCheck(HexToDec(stored) >= -1, "a hex value is -1 or not negative");

    const QString decoded = DecodeMdbString(stored);
    // Every "G" closes one character, or the whole text decodes to nothing.
    fuzzCheck(decoded.isEmpty() || decoded.toUcs4().size() == stored.count('G'),
              "one character for each \"G\"");
    if (!holdsSurrogates(decoded)) {
        fuzzCheck(DecodeMdbString(EncodeMdbString(decoded)) == decoded,
                  "a decoded text scrambles back to what decodes the same");
    }
    // What the course tools write, the program reads back unchanged (the
    // tools scramble one UTF-16 unit at a time, so not beyond 16 bits).
    if (!holdsSurrogates(stored)) {
        fuzzCheck(DecodeMdbString(EncodeMdbString(stored)) == stored,
                  "a scrambled text decodes to itself");
    }
    return 0;
}
