#pragma once

#include <functional>
#include <memory>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <vector>

class BrowserPage;
class QPrinter;
class QTemporaryFile;
class QWebEngineLoadingInfo;
class QWebEngineView;

// The web-browser control of the program's windows: shows pages, takes the
// documents that the program writes, posts their forms, and tells its owner
// about every navigation before it happens.
//
// Loads run in the background while events are processed; loadFinished()
// reports the end of each page load. A navigation that is cancelled, or that
// goes to an address the browser cannot show, is no page load: the page
// stays as it was and nothing is reported.
class Browser : public QWidget {
    Q_OBJECT

public:
    // Called with the address of every navigation before it happens (links,
    // scripts that set document.location, frames, Navigate2). Setting cancel
    // keeps the browser on its page.
    //
    // Addresses that the browser cannot show (any scheme but http, https,
    // file, about, data, blob and qrc, e.g. "cmd:..." and "rem:...") never
    // load and are never handed to other programs, cancelled or not; for
    // them the handler runs from the event loop just after the navigation
    // was stopped, so it may run nested event loops, show modal windows and
    // even delete this browser. For other addresses it runs while the engine
    // waits for the answer and should return promptly.
    using BeforeNavigate2Handler = std::function<void(const QString& url, bool& cancel)>;

    explicit Browser(QWidget* parent = nullptr);
    ~Browser() override;

    void setBeforeNavigate2(BeforeNavigate2Handler handler);

    // The folder that written documents belong to: relative addresses in
    // them resolve there, and a document too large to hand over in memory is
    // stored there while the browser lives. Default: the system's temporary
    // folder.
    void setDocumentFolder(const QString& path);

    // Navigates to an address ("about:blank", "file:///...", "http://...").
    void Navigate2(const QString& url);
    // Shows a whole page that the program built. The page reaches the engine
    // as Big5 bytes, so its forms post Big5 as every other request does.
    // False when a large page could not be stored; the browser then keeps
    // what it showed.
    bool writeDocument(const QString& html);
    // Submits the first form of the document shown, or of the document
    // written last once it has loaded; a later write or navigation drops a
    // submission that is still waiting.
    void submitFirstForm();
    // Loads the page again; a written document that is still loading is
    // fresh already.
    void reload();
    // Goes back one page; nothing happens when there is none. A written
    // document stands in the place of the blank page it was written over,
    // so going back never stops at "about:blank".
    void goBack();
    // The address of the page shown; for a written document the address of
    // its folder (or of its stored file).
    QString locationURL() const;

    // The browser's print commands: print with the print dialog, print
    // preview, page setup (kept for the following prints), and save as a
    // complete web page with a file dialog.
    void printPage();
    void printPreview();
    void pageSetup();
    void saveAs();

    // True from a load's request (or its start, for links) to its end.
    bool isLoading() const { return m_loadRequested || m_loading; }
    // Processes events until no load is running; false when the time ran out.
    bool waitForLoad(int timeoutMs);
    // Runs a script in the page shown and processes events until its result
    // arrives; an invalid value when the time ran out.
    QVariant runJavaScriptSync(const QString& script, int timeoutMs = 10000);
    QString toPlainTextSync(int timeoutMs = 10000);

Q_SIGNALS:
    // The end of a page load; ok is false for a page that failed to load.
    void loadFinished(bool ok);

private:
    bool allowNavigation(const QUrl& url, bool isMainFrame);
    void raiseBeforeNavigate2(const QString& url, bool& cancel);
    bool isWrittenDocument(const QUrl& url) const;
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void finishLoad(const QUrl& url, bool ok);
    void requestLoad(const QUrl& writtenUrl);
    QUrl storeLargePage(const QByteArray& bytes);
    QString documentFolder() const;
    QPrinter& printer();
    void printAndWait(QPrinter* target);

    QWebEngineView* m_view;
    BrowserPage* m_page;
    BeforeNavigate2Handler m_beforeNavigate2;
    QString m_documentFolder;
    QList<QUrl> m_stoppedUrls;
    // Asked for and not yet started.
    bool m_loadRequested = false;
    // Started and not yet ended.
    bool m_loading = false;
    QUrl m_writtenUrl;
    QStringList m_scriptsAfterWrite;
    std::vector<std::unique_ptr<QTemporaryFile>> m_pageFiles;
    std::unique_ptr<QPrinter> m_printer;
};
