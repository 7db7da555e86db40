#include "workspace/pagetext.h"

#include <cmath>
#include <cstdlib>
#include <QUrl>

#include "shared/helpers.h"

namespace pagetext {

QString html(const QString& text) {
    return text.toHtmlEscaped().replace('\'', QStringLiteral("&#39;"));
}

QString scriptString(const QString& text) {
    QString escaped = text;
    escaped.replace('\\', QStringLiteral("\\\\")).replace('\'', QStringLiteral("\\'"));
    return html(escaped);
}

QString number(double value, int decimals) {
    const qint64 scale = qint64(std::pow(10, decimals));
    const qint64 scaled = std::llround(value * double(scale));
    const qint64 whole = std::llabs(scaled) / scale;
    QString text = (scaled < 0 ? QStringLiteral("-") : QString()) + FormatNumber(whole);
    if (decimals > 0) {
        const qint64 fraction = std::llabs(scaled) % scale;
        text += '.' + QString::number(fraction).rightJustified(decimals, '0');
    }
    return text;
}

QString queryValue(const QString& value) {
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

}  // namespace pagetext
