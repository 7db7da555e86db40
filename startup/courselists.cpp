#include "startup/courselists.h"

#include <QRegularExpression>

namespace {

std::optional<QStringList> wellFormedItems(const QString& pReply,
                                           const QRegularExpression& pItemForm) {
    QStringList items = pReply.split(',');
    if (items.last().isEmpty()) {
        items.removeLast();
    }
    for (const QString& item : items) {
        if (!pItemForm.match(item).hasMatch()) {
            return std::nullopt;
        }
    }
    return items;
}

}  // namespace

// An item is the whole text between commas: a "$" at its end would also
// take an item with a line break after it, whose state then matches
// neither "2" nor "3".
std::optional<QStringList> progressListItems(const QString& pReply) {
    static const QRegularExpression itemForm(QRegularExpression::anchoredPattern("[^:,]+:[123]"));
    return wellFormedItems(pReply, itemForm);
}

std::optional<QStringList> mistakeListItems(const QString& pReply) {
    static const QRegularExpression itemForm(
        QRegularExpression::anchoredPattern("[^:,]+:[0-9]{1,9}"));
    return wellFormedItems(pReply, itemForm);
}
