#include "shared/request.h"
#include "tests/fuzz/fuzzcheck.h"

// A reply of the service or the engine, as raw bytes off the wire.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray body = fuzzBytes(data, size);
    const QString text = BytesToBstr(body);

    // Each ASCII byte stays as it is; any other byte takes the byte after it
    // into one character, or is a lone "?" at the end.
    qsizetype at = 0;
    for (qsizetype index = 0; index < body.size(); ++index, ++at) {
        fuzzCheck(at < text.size(), "a character for every byte or byte pair");
        const auto byte = static_cast<unsigned char>(body.at(index));
        if (byte < 0x80) {
            fuzzCheck(text.at(at) == QChar(byte), "ASCII passes unchanged");
        } else if (index + 1 < body.size()) {
            fuzzCheck(!text.at(at).isSurrogate(), "a byte pair is one whole character");
            ++index;
        } else {
            fuzzCheck(text.at(at) == QChar('?'), "a lone lead byte at the end is \"?\"");
        }
    }
    fuzzCheck(at == text.size(), "no character beyond the bytes");
    return 0;
}
