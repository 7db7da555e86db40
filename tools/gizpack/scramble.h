#pragma once

#include <array>
#include <optional>
#include <QString>

// The writing side of the stored course texts. The program only reads them
// back (DecodeMdbString, HtmlDecrypt); both sides share shared/scramblekeys.h.

// Each character's code plus the database offset, in upper-case hex, each
// number closed by "G".
QString EncodeMdbString(const QString& text);

// Key values of a page at key positions 1 to 4.
using PageKey = std::array<int, 4>;

// A key for the body, derived from the page name so that a rebuild gives the
// same file. Every key value keeps its key character printable and differs
// from each single-byte character it is XORed with, so that no scrambled
// character becomes NUL. Empty when the body holds a character that cannot
// be scrambled (one outside Big5, NUL, or a single-byte code above 0x7F) or
// no such key exists.
std::optional<PageKey> ChoosePageKey(const QString& pageName, const QString& body);

// The exact inverse of HtmlDecrypt: the fixed header, the body with every
// single-byte character XORed with the key value of its rotating key
// position (double-byte characters stay and do not move the position), then
// the key characters from position 4 down to position 1. Empty when the key
// cannot scramble the body.
QString HtmlEncrypt(const QString& body, const PageKey& key);
