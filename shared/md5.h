#pragma once

#include <QString>

// The MD5 digest of a text in 32 lower-case hexadecimal digits, as the web
// checking engine recomputes it: an ASCII text gives the standard digest of
// its bytes; a Big5 double-byte character counts as one position and feeds
// its sign-extended 16-bit code, so other texts differ from the digest of
// their Big5 bytes.
QString MD5(const QString& text);
