#include "standin/scriptreply.h"

#include "platform/big5.h"

ScriptReply ScriptReply::text(const QString& text) {
    return {200, big5::encode(text), "text/plain; charset=big5"};
}

ScriptReply ScriptReply::page(const QString& html) {
    return {200, big5::encode(html), "text/html; charset=big5"};
}

ScriptReply ScriptReply::file(const QByteArray& bytes, const QByteArray& contentType) {
    return {200, bytes, contentType};
}

ScriptReply ScriptReply::notFound() {
    return {404, "Not Found", "text/plain; charset=big5"};
}
