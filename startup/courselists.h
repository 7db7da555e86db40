#pragma once

#include <optional>
#include <QString>
#include <QStringList>

// The service's lists for the course that opens: comma-separated items, a
// closing comma allowed. No value for anything else (an "ERR_" code, a cut
// or garbled reply), so that the learner's records stay as they are.

// "unit:state" items, the state "1", "2" or "3".
std::optional<QStringList> progressListItems(const QString& pReply);
// "code:count" items, the count a whole number of at most nine digits.
std::optional<QStringList> mistakeListItems(const QString& pReply);
