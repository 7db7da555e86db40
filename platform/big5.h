#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The program's ANSI code page is Big5: settings files, pages and service
// bytes are Big5 on the wire and on disk. Conversion happens only here.
namespace big5 {

// Characters that Big5 cannot represent become '?'.
QByteArray encode(const QString& text);
QString decode(const QByteArray& bytes);

// The character's code in the Big5 code page: 0..255 for a single byte,
// lead * 256 + trail for a double-byte character, '?' for one it cannot hold.
int charCode(QChar character);
bool isDoubleByte(QChar character);
QChar fromCharCode(int code);

// Whole-file access. A failed read gives ok = false and an empty result.
QByteArray readBytes(const QString& path, bool* ok = nullptr);
QString readFile(const QString& path, bool* ok = nullptr);
// Lines split at CR LF (a lone LF also ends a line); no trailing empty line.
QStringList readLines(const QString& path, bool* ok = nullptr);

// Writes through a temporary file renamed over the target, so a crash
// leaves either the old file or the new one, never a half-written one.
bool writeFile(const QString& path, const QString& text);
// Each line followed by CR LF.
bool writeLines(const QString& path, const QStringList& lines);

}  // namespace big5
