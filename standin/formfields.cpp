#include "standin/formfields.h"

#include "platform/big5.h"

namespace {

const char* const kKeyName = "key";
const char* const kKeyValue = "quillmarrowed";

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

QByteArray percentDecode(const QByteArray& text, bool plusIsBlank) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '+' && plusIsBlank) {
            bytes.append(' ');
        } else if (c == '%' && i + 2 < text.size() && hexDigit(text.at(i + 1)) >= 0 &&
                   hexDigit(text.at(i + 2)) >= 0) {
            bytes.append(char(hexDigit(text.at(i + 1)) * 16 + hexDigit(text.at(i + 2))));
            i += 2;
        } else {
            bytes.append(c);
        }
    }
    return bytes;
}

template <typename Decode>
QList<QPair<QString, QString>> splitFields(const QByteArray& formText, Decode decode) {
    QList<QPair<QString, QString>> fields;
    if (formText.isEmpty()) {
        return fields;
    }
    for (const QByteArray& part : formText.split('&')) {
        const qsizetype equals = part.indexOf('=');
        const QByteArray name = equals < 0 ? part : part.left(equals);
        const QByteArray value = equals < 0 ? QByteArray() : part.mid(equals + 1);
        fields.append({big5::decode(decode(name)), big5::decode(decode(value))});
    }
    return fields;
}

}  // namespace

FormFields FormFields::fromRaw(const QByteArray& formText) {
    FormFields form;
    form.m_fields = splitFields(formText, [](const QByteArray& bytes) { return bytes; });
    return form;
}

FormFields FormFields::fromUrlEncoded(const QByteArray& formText) {
    FormFields form;
    form.m_fields =
        splitFields(formText, [](const QByteArray& bytes) { return percentDecode(bytes, true); });
    return form;
}

FormFields FormFields::fromQuery(const QByteArray& query) {
    FormFields form;
    form.m_fields =
        splitFields(query, [](const QByteArray& bytes) { return percentDecode(bytes, false); });
    return form;
}

bool FormFields::startsWithKey() const {
    return !m_fields.isEmpty() && m_fields.first().first == QLatin1String(kKeyName) &&
           m_fields.first().second == QLatin1String(kKeyValue);
}

bool FormFields::has(const QString& name) const {
    for (const auto& field : m_fields) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

QString FormFields::value(const QString& name) const {
    for (const auto& field : m_fields) {
        if (field.first.compare(name, Qt::CaseInsensitive) == 0) {
            return field.second;
        }
    }
    return QString();
}
