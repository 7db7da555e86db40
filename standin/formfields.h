#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The fields of one request, in the order they came. The program sends form
// text with raw values (split at every "&" and the first "=" of each part,
// nothing decoded but the Big5 bytes), so a value holding "&" or "=" splits
// differently, just as the real service would see it. A browser posting an
// HTML form encodes its values; those are decoded as an ordinary form. A
// query in an address only ever carries escapes that a browser added.
class FormFields {
public:
    static FormFields fromRaw(const QByteArray& formText);
    static FormFields fromUrlEncoded(const QByteArray& formText);
    static FormFields fromQuery(const QByteArray& query);

    // Every request of the service starts with the fixed key field.
    bool startsWithKey() const;

    bool has(const QString& name) const;
    // The first field of that name, "" when there is none. Names compare
    // case-insensitively, as the service's scripts read them.
    QString value(const QString& name) const;
    int count() const { return int(m_fields.size()); }

private:
    QList<QPair<QString, QString>> m_fields;
};
