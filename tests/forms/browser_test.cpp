#include "platform/browser.h"

#include <functional>
#include <memory>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

#include "platform/big5.h"
#include "platform/waituntil.h"
#include "tests/support/tempbase.h"

namespace {

constexpr int kLoadTimeoutMs = 30000;

bool waitFor(const std::function<bool()>& done, int timeoutMs = kLoadTimeoutMs) {
    return waitUntil(done, timeoutMs);
}

QString page(const QString& body) {
    return "<html><head><meta http-equiv='Content-Type' content='text/html; charset=big5'>"
           "<title>t</title></head><body>" +
           body + "</body></html>";
}

// Stands for the service: takes one request, keeps its bytes, answers a page.
class OneRequestServer : public QObject {
public:
    OneRequestServer() {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        });
    }

    QString address() const {
        return QString("http://127.0.0.1:%1/p_proc_sentence.asp").arg(m_server.serverPort());
    }
    bool complete() const { return m_complete; }
    QByteArray request() const { return m_request; }
    QByteArray body() const { return m_request.mid(m_request.indexOf("\r\n\r\n") + 4); }

private:
    void read(QTcpSocket* socket) {
        m_request += socket->readAll();
        const qsizetype headerEnd = m_request.indexOf("\r\n\r\n");
        if (headerEnd < 0) {
            return;
        }
        const QByteArray lengthField = "content-length:";
        const QByteArray lower = m_request.left(headerEnd).toLower();
        const qsizetype field = lower.indexOf(lengthField);
        const qsizetype lineEnd = lower.indexOf("\r\n", field);
        const int length =
            field < 0 ? 0
                      : lower.mid(field + lengthField.size(), lineEnd - field - lengthField.size())
                            .trimmed()
                            .toInt();
        if (m_request.size() - headerEnd - 4 < length) {
            return;
        }
        m_complete = true;
        socket->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<html>OK</html>");
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QByteArray m_request;
    bool m_complete = false;
};

// Takes the addresses that would go to other programs.
class DesktopOpener : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

class BrowserTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        browser = std::make_unique<Browser>();
        browser->setDocumentFolder(basePath());
        browser->setBeforeNavigate2([this](const QString& url, bool& cancel) {
            navigations.append(url);
            cancel = url.startsWith("cmd:") || url == blockedAddress;
        });
    }

    void TearDown() override {
        browser.reset();
        TempBaseTest::TearDown();
    }

    void write(const QString& html) {
        ASSERT_TRUE(browser->writeDocument(html));
        ASSERT_TRUE(browser->waitForLoad(kLoadTimeoutMs));
    }

    void navigate(const QString& url) {
        browser->Navigate2(url);
        ASSERT_TRUE(browser->waitForLoad(kLoadTimeoutMs));
    }

    QString elementText(const QString& id) {
        return browser->runJavaScriptSync("document.getElementById('" + id + "').innerText")
            .toString();
    }

    // Runs a script that starts a navigation, and waits until the browser
    // was asked about it.
    void navigateByScript(const QString& script, const QString& expectedUrl) {
        browser->runJavaScriptSync(script);
        ASSERT_TRUE(waitFor([&] { return navigations.contains(expectedUrl); }));
    }

    std::unique_ptr<Browser> browser;
    QStringList navigations;
    QString blockedAddress;
};

TEST_F(BrowserTest, WrittenDocumentIsBig5AndReadsBack) {
    write(page("<p id='t'>中文測試：造句</p>"));
    EXPECT_EQ(elementText("t"), "中文測試：造句");
    EXPECT_EQ(browser->runJavaScriptSync("document.characterSet").toString(), "Big5");
    EXPECT_TRUE(browser->toPlainTextSync().contains("造句"));
    // Writing is no navigation of the learner's.
    EXPECT_TRUE(navigations.isEmpty());
}

TEST_F(BrowserTest, CancelledLinksKeepThePageAndLoadNothing) {
    write(page("<p id='t'>留下</p><a id='y' href='cmd:y'>y</a>"));
    QSignalSpy loads(browser.get(), &Browser::loadFinished);
    const QString location = browser->locationURL();

    navigateByScript("document.location.href='cmd:x'", "cmd:x");
    navigateByScript("document.getElementById('y').click()", "cmd:y");

    // A real click of the mouse on the link, as the learner makes it.
    auto* view = browser->findChild<QWebEngineView*>();
    browser->resize(400, 300);
    browser->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(browser.get()));
    const QVariantList box = browser
                                 ->runJavaScriptSync(
                                     "var r = document.getElementById('y').getBoundingClientRect();"
                                     "[r.left + r.width / 2, r.top + r.height / 2]")
                                 .toList();
    ASSERT_EQ(box.size(), 2);
    navigations.clear();
    const QPoint linkCentre(box.at(0).toInt(), box.at(1).toInt());
    QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, linkCentre);
    EXPECT_TRUE(waitFor([&] { return navigations.contains("cmd:y"); }));

    // The engine reports a refused load as started and then stopped.
    EXPECT_TRUE(waitFor([&] { return !browser->isLoading(); }));
    EXPECT_EQ(elementText("t"), "留下");
    EXPECT_EQ(browser->locationURL(), location);
    EXPECT_EQ(loads.count(), 0);
}

TEST_F(BrowserTest, CancelledNavigate2LoadsNothing) {
    write(page("<p id='t'>留下</p>"));
    QSignalSpy loads(browser.get(), &Browser::loadFinished);
    blockedAddress = "http://127.0.0.1:9/blocked";
    browser->Navigate2(blockedAddress);
    EXPECT_TRUE(browser->waitForLoad(kLoadTimeoutMs));
    browser->Navigate2("cmd:z");
    EXPECT_TRUE(browser->waitForLoad(kLoadTimeoutMs));
    EXPECT_TRUE(waitFor([&] { return navigations.contains("cmd:z"); }));
    EXPECT_EQ(navigations.first(), blockedAddress);
    EXPECT_EQ(elementText("t"), "留下");
    EXPECT_EQ(loads.count(), 0);
}

TEST_F(BrowserTest, UncancelledUnknownAddressIsNeverHandedToTheDesktop) {
    DesktopOpener desktop;
    QDesktopServices::setUrlHandler("rem", &desktop, "open");

    write(page("<p id='t'>留下</p>"));
    QSignalSpy loads(browser.get(), &Browser::loadFinished);
    navigateByScript("document.location.href='rem:clear'", "rem:clear");
    QDesktopServices::unsetUrlHandler("rem");

    EXPECT_TRUE(desktop.opened.isEmpty());
    EXPECT_EQ(elementText("t"), "留下");
    EXPECT_EQ(loads.count(), 0);
}

TEST_F(BrowserTest, LinkHandlerMayCloseTheWindowOfTheBrowser) {
    write(page("<p>下載</p>"));
    bool handled = false;
    browser->setBeforeNavigate2([&](const QString&, bool& cancel) {
        cancel = true;
        browser.reset();
        handled = true;
    });
    browser->runJavaScriptSync("document.location.href='cmd:re:C01'");
    ASSERT_TRUE(waitFor([&] { return handled; }));
    EXPECT_EQ(browser, nullptr);
}

TEST_F(BrowserTest, WrittenDocumentShowsLocalPictures) {
    QImage picture(17, 9, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(basePath() + "/pic.png"));
    const QString absolute = QUrl::fromLocalFile(basePath() + "/pic.png").toString();
    write(page("<img id='abs' src='" + absolute + "'><img id='rel' src='pic.png'>"));
    ASSERT_TRUE(waitFor([&] {
        return browser
            ->runJavaScriptSync("document.images[0].complete && document.images[1].complete")
            .toBool();
    }));
    EXPECT_EQ(browser->runJavaScriptSync("document.getElementById('abs').naturalWidth").toInt(),
              17);
    EXPECT_EQ(browser->runJavaScriptSync("document.getElementById('rel').naturalWidth").toInt(),
              17);
}

TEST_F(BrowserTest, FirstFormOfAWrittenPagePostsBig5) {
    OneRequestServer server;
    // The upload's own steps: a blank page, one pass of events, the written
    // form page and its submission straight after, in a browser never shown.
    browser->Navigate2("about:blank");
    QCoreApplication::processEvents();
    ASSERT_TRUE(browser->writeDocument(
        page("<form name='frmPost' method='POST' action='" + server.address() +
             "'>\r\n<input type='HIDDEN' name='key' value='quillmarrowed'>\r\n"
             "<input type='HIDDEN' name='s' value='中文 ok'>")));
    browser->submitFirstForm();

    ASSERT_TRUE(waitFor([&] { return server.complete(); }));
    EXPECT_TRUE(server.request().startsWith("POST /p_proc_sentence.asp"));
    const QByteArray expected =
        "key=quillmarrowed&s=" + big5::encode("中文").toPercentEncoding() + "+ok";
    EXPECT_EQ(server.body(), expected);
    EXPECT_TRUE(navigations.contains(server.address()));
}

TEST_F(BrowserTest, GoingBackPassesOverTheBlankPageUnderAWrittenDocument) {
    const QString first = basePath() + "/first.htm";
    // No charset declared: the page is read as Big5 all the same.
    writeBytes(first, big5::encode("<html><body><p id='t'>第一頁</p></body></html>"));
    const QString firstUrl = QUrl::fromLocalFile(first).toString();
    navigate(firstUrl);
    EXPECT_EQ(elementText("t"), "第一頁");

    navigate("about:blank");
    write(page("<p id='t'>統計</p>"));
    browser->goBack();
    ASSERT_TRUE(browser->waitForLoad(kLoadTimeoutMs));
    EXPECT_EQ(browser->locationURL(), firstUrl);
    EXPECT_EQ(elementText("t"), "第一頁");

    // Nothing before the first page: going back does nothing.
    browser->goBack();
    EXPECT_FALSE(browser->isLoading());
    EXPECT_EQ(browser->locationURL(), firstUrl);
}

TEST_F(BrowserTest, MoveToAnAnchorEndsAtOnce) {
    const QString file = basePath() + "/anchors.htm";
    writeBytes(file, big5::encode(page("<p id='t'>錨點</p><a name='b'></a>")));
    navigate(QUrl::fromLocalFile(file).toString());
    QSignalSpy loads(browser.get(), &Browser::loadFinished);
    navigate(QUrl::fromLocalFile(file).toString() + "#b");
    EXPECT_EQ(loads.count(), 0);
    EXPECT_EQ(elementText("t"), "錨點");
}

TEST_F(BrowserTest, ReloadRightAfterWritingKeepsTheDocument) {
    browser->Navigate2("about:blank");
    ASSERT_TRUE(browser->writeDocument(page("<p id='t'>一</p>")));
    browser->reload();
    ASSERT_TRUE(browser->waitForLoad(kLoadTimeoutMs));
    EXPECT_EQ(elementText("t"), "一");

    QSignalSpy loads(browser.get(), &Browser::loadFinished);
    browser->reload();
    ASSERT_TRUE(browser->waitForLoad(kLoadTimeoutMs));
    EXPECT_EQ(loads.count(), 1);
    EXPECT_EQ(elementText("t"), "一");
}

TEST_F(BrowserTest, LargeDocumentGoesThroughAFileInTheDocumentFolder) {
    // Far beyond what the engine takes in memory once percent-encoded.
    const QString filler = QString("<p>練習造句</p>").repeated(60000);
    write(page(filler + "<p id='end'>最後一段</p>"));
    EXPECT_EQ(elementText("end"), "最後一段");
    EXPECT_FALSE(QDir(basePath()).entryList({"page-*.htm"}).isEmpty());
    EXPECT_TRUE(browser->locationURL().startsWith(QUrl::fromLocalFile(basePath()).toString()));
}

TEST_F(BrowserTest, SaveAsWritesThePageChosenInTheDialog) {
    write(page("<p id='t'>存檔</p>"));
    const QString target = basePath() + "/saved.htm";
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(waitFor([] { return qobject_cast<QFileDialog*>(qApp->activeModalWidget()); }));
        auto* dialog = qobject_cast<QFileDialog*>(qApp->activeModalWidget());
        dialog->selectFile(target);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    browser->saveAs();
    ASSERT_TRUE(waitFor([&] { return big5::decode(readBytes(target)).contains("存檔"); }));
}

TEST_F(BrowserTest, PrintPreviewRendersThePage) {
    write(page("<p>預覽</p>"));
    // Looks at the preview between events: a wait of its own inside the
    // dialog would hold up the engine's printing.
    int previewPages = 0;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        QWidget* dialog = qApp->activeModalWidget();
        auto* preview = dialog ? dialog->findChild<QPrintPreviewWidget*>() : nullptr;
        if (preview && preview->pageCount() > 0) {
            previewPages = preview->pageCount();
            dialog->close();
        }
    });
    watcher.start(50);
    browser->printPreview();
    EXPECT_EQ(previewPages, 1);
}

// Cancelled, the print dialog prints nothing; accepted, the page goes to the
// printer that it names.
TEST_F(BrowserTest, ThePrintDialogPrintsOnlyWhenAccepted) {
    write(page("<p>列印</p>"));
    QSignalSpy printed(browser->findChild<QWebEngineView*>(), &QWebEngineView::printFinished);
    for (const char* answer : {"reject", "accept"}) {
        QTimer::singleShot(0, [answer] {
            ASSERT_TRUE(
                waitFor([] { return qobject_cast<QPrintDialog*>(qApp->activeModalWidget()); }));
            QMetaObject::invokeMethod(qApp->activeModalWidget(), answer);
        });
        browser->printPage();
    }
    EXPECT_EQ(printed.count(), 1);
}

}  // namespace

#include "browser_test.moc"
