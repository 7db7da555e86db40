#include "platform/browserpage.h"

#include <QWebEngineSettings>

BrowserPage::BrowserPage(QObject* parent) : QWebEnginePage(parent) {
    QWebEngineSettings* pageSettings = settings();
    // Pages talk to the program through addresses such as "cmd:..." that a
    // script assigns to document.location; without this the engine drops
    // them before they are ever offered for acceptance.
    pageSettings->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
    // Local pages, and the documents the program writes with a file: base,
    // show pictures from the disk and post their forms to the service.
    pageSettings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    pageSettings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    // The program's pages are Big5; one that does not say so is read as the
    // system's own code page would read it.
    pageSettings->setDefaultTextEncoding("big5");
}

void BrowserPage::setNavigationHandler(NavigationHandler handler) {
    m_navigationHandler = std::move(handler);
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    return !m_navigationHandler || m_navigationHandler(url, isMainFrame);
}
