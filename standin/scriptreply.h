#pragma once

#include <QByteArray>
#include <QString>

// What a script answers: the service's replies are Big5 text, its pages Big5
// HTML, its packages plain bytes.
struct ScriptReply {
    int status = 200;
    QByteArray body;
    QByteArray contentType = "text/plain; charset=big5";

    static ScriptReply text(const QString& text);
    static ScriptReply page(const QString& html);
    static ScriptReply file(const QByteArray& bytes, const QByteArray& contentType);
    static ScriptReply notFound();
};
