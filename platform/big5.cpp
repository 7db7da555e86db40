#include "platform/big5.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace big5 {

namespace {

// Built by name: QStringConverter::encodingForName does not know Big5.
constexpr const char* kCodecName = "Big5";

constexpr int kQuestionMark = '?';

}  // namespace

QByteArray encode(const QString& text) {
    QStringEncoder encoder(kCodecName);
    return encoder.encode(text);
}

QString decode(const QByteArray& bytes) {
    QStringDecoder decoder(kCodecName);
    return decoder.decode(bytes);
}

int charCode(QChar character) {
    if (character.unicode() < 0x80) {
        return character.unicode();
    }
    // A lone half of a surrogate pair has no code, and would leave the
    // shared encoder waiting for its other half.
    if (character.isSurrogate()) {
        return kQuestionMark;
    }
    // Characters outside Big5 come out as the substitute "?", which is
    // exactly the code to give for them.
    static thread_local QStringEncoder encoder(kCodecName);
    const QByteArray bytes = encoder.encode(QStringView(&character, 1));
    if (bytes.size() == 1) {
        return quint8(bytes[0]);
    }
    if (bytes.size() == 2) {
        return quint8(bytes[0]) * 256 + quint8(bytes[1]);
    }
    return kQuestionMark;
}

bool isDoubleByte(QChar character) {
    return charCode(character) > 0xFF;
}

QChar fromCharCode(int code) {
    if (code >= 0 && code < 0x80) {
        return QChar(code);
    }
    QByteArray bytes;
    if (code >= 0x80 && code <= 0xFF) {
        bytes.append(char(code));
    } else if (code > 0xFF && code <= 0xFFFF) {
        bytes.append(char(code >> 8));
        bytes.append(char(code & 0xFF));
    } else {
        return QChar(kQuestionMark);
    }
    // Stateless, so that a lone lead byte is an error instead of a
    // character held back for bytes that never come.
    QStringDecoder decoder(kCodecName, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.size() != 1) {
        return QChar(kQuestionMark);
    }
    return text.at(0);
}

QByteArray readBytes(const QString& path, bool* ok) {
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (ok) {
        *ok = opened;
    }
    return opened ? file.readAll() : QByteArray();
}

QString readFile(const QString& path, bool* ok) {
    return decode(readBytes(path, ok));
}

QStringList readLines(const QString& path, bool* ok) {
    const QString text = readFile(path, ok);
    if (text.isEmpty()) {
        return {};
    }
    QStringList lines = text.split('\n');
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    for (QString& line : lines) {
        if (line.endsWith('\r')) {
            line.chop(1);
        }
    }
    return lines;
}

bool writeFile(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = encode(text);
    // The commit does not see a failure of the buffered bytes it flushes
    // itself (a full disk), and would put an empty file in the old one's
    // place.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool writeLines(const QString& path, const QStringList& lines) {
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    return writeFile(path, text);
}

}  // namespace big5
