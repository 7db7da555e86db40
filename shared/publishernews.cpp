#include "shared/publishernews.h"

#include <QUrl>
#include <utility>

namespace {

PublisherNewsWindow& registeredWindow() {
    static PublisherNewsWindow show;
    return show;
}

}  // namespace

void RegisterPublisherNewsWindow(PublisherNewsWindow pShow) {
    registeredWindow() = std::move(pShow);
}

void ShowPublisherNewsWindow(const QString& pNewsUrl) {
    if (registeredWindow()) {
        registeredWindow()(pNewsUrl);
    }
}

QString PublisherNewsAddress(const QString& pUrl) {
    return QUrl(pUrl).toString(QUrl::FullyEncoded);
}
