#include "platform/big5.h"
#include "shared/descramble.h"
#include "shared/scramblekeys.h"
#include "tests/fuzz/fuzzcheck.h"
#include "tools/gizpack/scramble.h"

// A unit page of a course as the program reads it from disk: Big5 bytes,
// normally a header, a scrambled body and four key characters.

namespace {

constexpr int kKeyLength = 4;

void checkDecrypt(const QString& page) {
    QString argument = page;
    const QString result = HtmlDecrypt(argument);
    fuzzCheck(argument == result, "the argument is replaced by the result");
    if (result.isEmpty()) {
        return;
    }
    fuzzCheck(result.size() == page.size() - scramblekeys::kPageHeaderLength - kKeyLength,
              "the body loses its header and key and nothing else");
}

// What the course tools scramble, the program reads back unchanged.
void checkRoundTrip(const QString& body) {
    const std::optional<PageKey> key = ChoosePageKey("page", body);
    if (!key) {
        return;
    }
    QString page = HtmlEncrypt(body, *key);
    if (page.isEmpty()) {
        return;
    }
    fuzzCheck(HtmlDecrypt(page) == body, "a scrambled page decrypts to its body");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = big5::decode(fuzzBytes(data, size));
    checkDecrypt(text);
    checkRoundTrip(text);
    return 0;
}
