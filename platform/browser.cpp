#include "platform/browser.h"

#include <exception>
#include <memory>
#include <optional>
#include <QDir>
#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>

#include "platform/big5.h"
#include "platform/browserpage.h"
#include "platform/waituntil.h"

namespace {

// The engine hands a written page over as a percent-encoded data address,
// and it refuses addresses longer than 2 MB; a page whose address would come
// near that goes through a file instead.
constexpr qsizetype kLongestPageAddress = 2 * 1024 * 1024 - 1024;
constexpr int kPrintTimeoutMs = 120000;
const char kSubmitFirstForm[] =
    "if (document.forms.length > 0) HTMLFormElement.prototype.submit.call(document.forms[0]);";

// The schemes that the engine shows itself; anything else would be handed to
// another program.
bool isShownScheme(const QString& scheme) {
    static const QStringList shown = {"http", "https", "file", "about", "data", "blob", "qrc"};
    return shown.contains(scheme);
}

bool isUnreserved(char byte) {
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

qsizetype percentEncodedSize(const QByteArray& bytes) {
    qsizetype size = 0;
    for (const char byte : bytes) {
        size += isUnreserved(byte) ? 1 : 3;
    }
    return size;
}

QString fileNameFromTitle(const QString& title) {
    QString name = title.simplified();
    static const QString unsafe = "\\/:*?\"<>|";
    for (QChar& character : name) {
        if (unsafe.contains(character)) {
            character = '_';
        }
    }
    return name;
}

}  // namespace

Browser::Browser(QWidget* parent)
    : QWidget(parent), m_view(new QWebEngineView(this)), m_page(new BrowserPage(m_view)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_view->setPage(m_page);
    m_page->setNavigationHandler(
        [this](const QUrl& url, bool isMainFrame) { return allowNavigation(url, isMainFrame); });
    connect(m_page, &QWebEnginePage::loadingChanged, this, &Browser::onLoadingChanged);
    // A move within the page shown (to an anchor) changes the address
    // without any load.
    connect(m_page, &QWebEnginePage::urlChanged, this, [this] {
        if (!m_loading) {
            m_loadRequested = false;
        }
    });
}

Browser::~Browser() = default;

void Browser::setBeforeNavigate2(BeforeNavigate2Handler handler) {
    m_beforeNavigate2 = std::move(handler);
}

void Browser::setDocumentFolder(const QString& path) {
    m_documentFolder = path;
}

void Browser::Navigate2(const QString& url) {
    const QUrl target(url);
    if (!target.isValid() || target.isEmpty()) {
        return;
    }
    requestLoad({});
    m_page->load(target);
}

bool Browser::writeDocument(const QString& html) {
    const QByteArray bytes = big5::encode(html);
    const QUrl folderUrl = QUrl::fromLocalFile(documentFolder() + "/");
    if (percentEncodedSize(bytes) <= kLongestPageAddress) {
        requestLoad(folderUrl);
        m_page->setContent(bytes, "text/html;charset=big5", folderUrl);
        return true;
    }
    const QUrl fileUrl = storeLargePage(bytes);
    if (fileUrl.isEmpty()) {
        return false;
    }
    requestLoad(fileUrl);
    m_page->load(fileUrl);
    return true;
}

void Browser::submitFirstForm() {
    if (m_writtenUrl.isEmpty()) {
        m_page->runJavaScript(kSubmitFirstForm);
    } else {
        m_scriptsAfterWrite.append(kSubmitFirstForm);
    }
}

void Browser::reload() {
    if (!m_writtenUrl.isEmpty() || m_page->url().isEmpty()) {
        return;
    }
    requestLoad({});
    m_page->triggerAction(QWebEnginePage::Reload);
}

void Browser::goBack() {
    QWebEngineHistory* history = m_page->history();
    const QUrl blank("about:blank");
    for (int index = history->currentItemIndex() - 1; index >= 0; --index) {
        const QWebEngineHistoryItem item = history->itemAt(index);
        if (item.url() != blank) {
            requestLoad({});
            history->goToItem(item);
            return;
        }
    }
}

QString Browser::locationURL() const {
    return m_page->url().toString();
}

// A dialog's own loop runs events as a wait does, and counts as one.
void Browser::printPage() {
    QPrintDialog dialog(&printer(), this);
    const waits::RunningWait waiting;
    if (dialog.exec() == QDialog::Accepted) {
        printAndWait(&printer());
    }
}

void Browser::printPreview() {
    QPrintPreviewDialog dialog(&printer(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, &Browser::printAndWait);
    const waits::RunningWait waiting;
    dialog.exec();
}

void Browser::pageSetup() {
    QPageSetupDialog dialog(&printer(), this);
    const waits::RunningWait waiting;
    dialog.exec();
}

void Browser::saveAs() {
    QString name = fileNameFromTitle(m_page->title());
    if (name.isEmpty() || m_page->title() == locationURL()) {
        name = "page";
    }
    const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    const waits::RunningWait waiting;
    const QString path = QFileDialog::getSaveFileName(
        this, "另存新檔", documents.filePath(name + ".htm"), "網頁 (*.htm *.html)");
    if (!path.isEmpty()) {
        m_page->save(path, QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
    }
}

bool Browser::waitForLoad(int timeoutMs) {
    return waitUntil([this] { return !isLoading(); }, timeoutMs);
}

QVariant Browser::runJavaScriptSync(const QString& script, int timeoutMs) {
    // The answer may come after this call gave up waiting; it then lands in
    // state that outlives the call.
    auto result = std::make_shared<std::optional<QVariant>>();
    m_page->runJavaScript(script, [result](const QVariant& value) { *result = value; });
    waitUntil([result] { return result->has_value(); }, timeoutMs);
    return result->value_or(QVariant());
}

QString Browser::toPlainTextSync(int timeoutMs) {
    auto result = std::make_shared<std::optional<QString>>();
    m_page->toPlainText([result](const QString& text) { *result = text; });
    waitUntil([result] { return result->has_value(); }, timeoutMs);
    return result->value_or(QString());
}

bool Browser::allowNavigation(const QUrl& url, bool isMainFrame) {
    if (isWrittenDocument(url)) {
        return true;
    }
    if (!isShownScheme(url.scheme())) {
        if (isMainFrame) {
            m_stoppedUrls.append(url);
        }
        const QString address = url.toString();
        QTimer::singleShot(0, this, [this, address] {
            bool cancel = false;
            raiseBeforeNavigate2(address, cancel);
        });
        return false;
    }
    bool cancel = false;
    raiseBeforeNavigate2(url.toString(), cancel);
    if (cancel && isMainFrame) {
        m_stoppedUrls.append(url);
    }
    return !cancel;
}

void Browser::raiseBeforeNavigate2(const QString& url, bool& cancel) {
    // A copy, so that a handler that deletes this browser does not delete
    // the handler while it runs.
    const BeforeNavigate2Handler handler = m_beforeNavigate2;
    if (!handler) {
        return;
    }
    try {
        handler(url, cancel);
    } catch (const std::exception& error) {
        qWarning("Browser: navigation handler failed for %s: %s", qPrintable(url), error.what());
        cancel = true;
    } catch (...) {
        qWarning("Browser: navigation handler failed for %s", qPrintable(url));
        cancel = true;
    }
}

bool Browser::isWrittenDocument(const QUrl& url) const {
    if (url.scheme() == "data") {
        return true;
    }
    for (const auto& file : m_pageFiles) {
        if (QUrl::fromLocalFile(file->fileName()) == url) {
            return true;
        }
    }
    return false;
}

void Browser::onLoadingChanged(const QWebEngineLoadingInfo& info) {
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        m_loadRequested = false;
        m_loading = true;
        return;
    }
    const qsizetype stopped = m_stoppedUrls.indexOf(info.url());
    if (stopped >= 0) {
        m_stoppedUrls.removeAt(stopped);
        m_loadRequested = false;
        m_loading = false;
        return;
    }
    finishLoad(info.url(), info.status() == QWebEngineLoadingInfo::LoadSucceededStatus);
}

void Browser::finishLoad(const QUrl& url, bool ok) {
    m_loadRequested = false;
    m_loading = false;
    if (!m_writtenUrl.isEmpty() && url == m_writtenUrl) {
        const QStringList scripts = ok ? m_scriptsAfterWrite : QStringList();
        m_writtenUrl.clear();
        m_scriptsAfterWrite.clear();
        for (const QString& script : scripts) {
            m_page->runJavaScript(script);
        }
    }
    Q_EMIT loadFinished(ok);
}

// Marks a load as asked for, so that a wait begins at once; a written
// document's address is kept so that its form can be submitted once it is
// there. Any submission waiting for an earlier document is dropped.
void Browser::requestLoad(const QUrl& writtenUrl) {
    m_loadRequested = true;
    m_writtenUrl = writtenUrl;
    m_scriptsAfterWrite.clear();
}

QUrl Browser::storeLargePage(const QByteArray& bytes) {
    auto file = std::make_unique<QTemporaryFile>(documentFolder() + "/page-XXXXXX.htm");
    if (!file->open() || file->write(bytes) != bytes.size() || !file->flush()) {
        return {};
    }
    file->close();
    const QUrl url = QUrl::fromLocalFile(file->fileName());
    m_pageFiles.push_back(std::move(file));
    return url;
}

QString Browser::documentFolder() const {
    return m_documentFolder.isEmpty() ? QDir::tempPath() : QDir::cleanPath(m_documentFolder);
}

QPrinter& Browser::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *m_printer;
}

void Browser::printAndWait(QPrinter* target) {
    bool finished = false;
    const QMetaObject::Connection connection =
        connect(m_view, &QWebEngineView::printFinished, this, [&finished] { finished = true; });
    m_view->print(target);
    waitUntil([&finished] { return finished; }, kPrintTimeoutMs);
    disconnect(connection);
}
