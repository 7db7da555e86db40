#pragma once

#include <QString>

// Whether a learner's text can reach the service exactly as typed. Every
// exchange carries Big5 bytes, so a character that Big5 has no code for
// would arrive as "?"; and the program's own requests splice their values
// raw into the form text, where a "&" starts a field of its own.

// The message that names the piece (gMsgParam) that cannot be sent.
inline constexpr const char* kUnsendableMessage = "29761";

// The first character (a surrogate pair counts as one) that Big5 cannot
// carry there and back unchanged; "" when there is none.
QString firstCharacterOutsideBig5(const QString& text);
// The first piece of text that a value of a request's form text cannot
// carry: a character outside Big5, or "&"; "" when there is none.
QString firstUnsendableInRequest(const QString& text);

// Message kUnsendableMessage naming pPiece, waited for.
void showUnsendableAndWait(const QString& pPiece);
