#pragma once

#include <functional>
#include <QUrl>
#include <QWebEnginePage>

// The page behind Browser. It asks its navigation handler about every
// navigation (programmatic loads, link clicks, script-driven changes of
// location, frames) and lets only what the handler allows go on.
class BrowserPage : public QWebEnginePage {
public:
    using NavigationHandler = std::function<bool(const QUrl& url, bool isMainFrame)>;

    explicit BrowserPage(QObject* parent = nullptr);

    void setNavigationHandler(NavigationHandler handler);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    NavigationHandler m_navigationHandler;
};
