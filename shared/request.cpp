#include "shared/request.h"

#include "platform/big5.h"
#include "platform/http.h"
#include "shared/globals.h"

namespace {

// Blanks, control bytes and the bytes of double-byte characters cannot stand
// in an address on the wire; everything else goes out as it is.
QByteArray addressOnWire(const QString& address) {
    QByteArray wire;
    for (const char character : big5::encode(address)) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte <= 0x20 || byte >= 0x7F) {
            wire += '%' + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
        } else {
            wire += character;
        }
    }
    return wire;
}

// An answer with another status (a missing script, a broken server) is the
// web server's page, not the script's reply: its body, often empty, would
// read as an empty list or as a sign-in that nobody checked.
bool isSuccessStatus(long status) {
    return status >= 200 && status <= 299;
}

std::optional<QString> post(const QString& address, const QByteArray& body) {
    HttpRequest request;
    request.open("POST", addressOnWire(address));
    request.setRequestHeader("Content-Type", "application/x-www-form-urlencoded");
    request.setRequestHeader("Content-Type", "text/xml; charset=big5");
    if (!request.send(body) || !isSuccessStatus(request.status())) {
        return std::nullopt;
    }
    return BytesToBstr(request.responseBody());
}

}  // namespace

QString RequestForm(const RequestFields& pFields) {
    QString form = QStringLiteral("key=") + kRequestKey;
    for (const auto& [name, value] : pFields) {
        form += '&' + name + '=' + value;
    }
    return form;
}

std::optional<QString> PostRequest(const QString& pAddress, const QString& pForm) {
    return post(pAddress, big5::encode(pForm));
}

std::optional<QString> PostQueryRequest(const QString& pAddress, const QString& pForm) {
    return post(pAddress + '?' + pForm, QByteArray());
}

QString BytesToBstr(const QByteArray& pBody) {
    QString text;
    text.reserve(pBody.size());
    for (qsizetype index = 0; index < pBody.size(); ++index) {
        const auto byte = static_cast<unsigned char>(pBody[index]);
        if (byte < 0x80) {
            text += QChar(byte);
        } else if (index + 1 < pBody.size()) {
            const auto trail = static_cast<unsigned char>(pBody[++index]);
            text += big5::fromCharCode(byte * 256 + trail);
        } else {
            text += QChar('?');
        }
    }
    return text;
}

bool IsServerOnline() {
    const std::optional<QString> reply = PostRequest(gServerURL + "p_getconn.asp", RequestForm());
    return reply && reply->left(6) == "ONLINE";
}
