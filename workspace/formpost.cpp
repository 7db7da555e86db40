#include "workspace/formpost.h"

#include <algorithm>

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

// The form goes once the written page has loaded; the load after that is
// the service's answer, wherever it leads. An answer that the browser cannot
// show (garbage offered as a file) ends as a failed load.
FormPost::FormPost(Browser* pBrowser, const QString& pPage, const QString& pAction)
    : m_browser(pBrowser), m_answerAddress(comparable(QUrl(pAction))) {
    m_browser->Navigate2("about:blank");
    doEvents();
    if (!m_browser) {
        return;
    }
    m_connection = QObject::connect(m_browser, &Browser::loadFinished, m_browser, [this](bool ok) {
        const QString location = m_browser->locationURL();
        if (!m_answerLoaded &&
            (m_formPageLoaded || comparable(QUrl(location)) == m_answerAddress)) {
            m_answerLoaded = ok;
        }
        m_formPageLoaded = m_formPageLoaded || (ok && location != "about:blank");
    });
    if (m_browser->writeDocument(pPage)) {
        m_browser->submitFirstForm();
        m_submitted = true;
        doEvents();
    }
}

FormPost::~FormPost() {
    if (m_browser) {
        QObject::disconnect(m_connection);
    }
}

// A service that never answers holds the learner no longer than any other
// request of the program would.
bool FormPost::awaitAnswer() {
    if (m_submitted) {
        waitUntil([this] { return m_answerLoaded || !m_browser; },
                  std::min(kAnswerWaitMs, http::totalTimeoutMs()));
    }
    return m_answerLoaded.value_or(false);
}

bool SubmitFormPage(Browser* pBrowser, const QString& pPage, const QString& pAction) {
    return FormPost(pBrowser, pPage, pAction).awaitAnswer();
}
