#pragma once

#include <QString>

// Course texts are stored scrambled; these turn them back for display.

// The text read as a hexadecimal number; characters that are not hex digits
// count 0 in their place. A value too large for 64 bits gives -1.
qint64 HexToDec(const QString& pText);

// A database text: hex numbers, each closed by "G", each a character's code
// plus a fixed offset; a character beyond sixteen bits may stand as its two
// UTF-16 units. "" when a number names no character, or a half of a pair
// stands alone.
QString DecodeMdbString(const QString& pText);

// A unit page: a header, the body XORed on its single-byte characters with a
// rotating four-value key, and the key's four characters at the end. The
// argument is replaced by the result, which is also returned; "" when the
// page is too short or a character cannot be decoded.
QString HtmlDecrypt(QString& pText);
