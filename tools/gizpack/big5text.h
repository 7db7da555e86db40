#pragma once

#include <QString>

// Whether every character of text has a Big5 code: the program stores and
// shows its texts in Big5, so anything else would turn into "?" there.
bool isBig5Text(const QString& text);

// The first character Big5 cannot hold, quoted with its code, for messages.
QString describeNonBig5(const QString& text);

// Reads a UTF-8 text file and writes it as Big5 with CR LF line ends.
bool convertToBig5Lines(const QString& sourcePath, const QString& targetPath, QString* error);
