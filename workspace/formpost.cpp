#include "workspace/formpost.h"

#include <algorithm>
#include <optional>
#include <QPointer>
#include <QUrl>

#include "platform/browser.h"
#include "platform/http.h"
#include "platform/waituntil.h"

namespace {

constexpr int kAnswerWaitMs = 15000;

QUrl comparable(const QUrl& address) {
    return address.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::NormalizePathSegments |
                            QUrl::StripTrailingSlash);
}

// Characters that end or break a quoted attribute value become entities.
QString htmlAttributeText(const QString& value) {
    QString text;
    text.reserve(value.size());
    for (const QChar character : value) {
        switch (character.unicode()) {
            case '&':
                text += "&amp;";
                break;
            case '<':
                text += "&lt;";
                break;
            case '>':
                text += "&gt;";
                break;
            case '\'':
                text += "&#39;";
                break;
            case '"':
                text += "&quot;";
                break;
            default:
                text += character;
                break;
        }
    }
    return text;
}

QString fieldLine(const QString& name, const QString& value) {
    return "<input type='HIDDEN' name='" + name + "' value='" + htmlAttributeText(value) + "'>\r\n";
}

}  // namespace

// The service's scripts take the page as they always did: these lines, and
// no closing form tag.
QString FormPostPage(const QString& pAction, const RequestFields& pFields) {
    QString page =
        "<html>\r\n"
        "<head>\r\n"
        "<meta http-equiv='Content-Language' content='zh-tw'>\r\n"
        "<meta http-equiv='Content-Type' content='text/html; charset=big5'>\r\n"
        "<title></title>\r\n"
        "</head>\r\n"
        "<body>\r\n"
        "<form name='frmPost' method='POST' action='" +
        htmlAttributeText(pAction) + "'>\r\n";
    page += fieldLine("key", kRequestKey);
    for (const auto& [name, value] : pFields) {
        page += fieldLine(name, value);
    }
    page += "</body>\r\n</html>\r\n";
    return page;
}

bool SubmitFormPage(Browser* pBrowser, const QString& pPage, const QString& pAction) {
    const QPointer<Browser> browser(pBrowser);
    browser->Navigate2("about:blank");
    doEvents();
    if (!browser) {
        return false;
    }
    bool submitted = false;
    std::optional<bool> answerLoaded;
    const QUrl answerAddress = comparable(QUrl(pAction));
    // The form goes once the written page has loaded; the load after that is
    // the service's answer, wherever it leads. An answer that the browser
    // cannot show (garbage offered as a file) ends as a failed load.
    const QMetaObject::Connection connection = QObject::connect(
        browser, &Browser::loadFinished, browser,
        [&submitted, &answerLoaded, &browser, answerAddress](bool ok) {
            const QString location = browser->locationURL();
            if (!answerLoaded && (submitted || comparable(QUrl(location)) == answerAddress)) {
                answerLoaded = ok;
            }
            submitted = submitted || (ok && location != "about:blank");
        });
    if (browser->writeDocument(pPage)) {
        browser->submitFirstForm();
        doEvents();
        // A service that never answers holds the learner no longer than any
        // other request of the program would.
        waitUntil([&] { return answerLoaded || !browser; },
                  std::min(kAnswerWaitMs, http::totalTimeoutMs()));
    }
    if (browser) {
        QObject::disconnect(connection);
    }
    return answerLoaded.value_or(false);
}
