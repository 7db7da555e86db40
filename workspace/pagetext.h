#pragma once

#include <QString>

// Texts that the program splices into the pages it builds.
namespace pagetext {

// A text as page content or as a quoted attribute value: it shows as it
// stands and can never open a tag or end the attribute.
QString html(const QString& text);
// A text inside a quoted script string inside a quoted attribute.
QString scriptString(const QString& text);
// A number with the given decimals and the program's digit grouping; halves
// are rounded away from zero (1234.55 with 1 decimal is "1,234.6").
QString number(double value, int decimals);
// A value of an address's query, percent-encoded.
QString queryValue(const QString& value);

}  // namespace pagetext
