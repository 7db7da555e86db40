#include "shared/publishernews.h"

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
