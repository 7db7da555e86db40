#pragma once

#include <optional>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include "shared/request.h"

class Browser;

// The posts that go out as an HTML form submitted in a browser that is not
// shown: the sentence uploads and the feedback.

// The page of one form (named "frmPost", posting to pAction) whose hidden
// fields are "key" with the request key, then pFields in their order. The
// values are HTML-escaped, so that the service receives them as they stand.
QString FormPostPage(const QString& pAction, const RequestFields& pFields);

// A form page submitted in a browser, and the service's answer to it, which
// loads there.
class FormPost {
public:
    // Writes the page into the browser over a blank page and submits its
    // form; events run meanwhile.
    FormPost(Browser* pBrowser, const QString& pPage, const QString& pAction);
    ~FormPost();
    FormPost(const FormPost&) = delete;
    FormPost& operator=(const FormPost&) = delete;

    // Waits (events keep running) until the answer has loaded, or for a
    // while at most: the browser's next use, or its window closing, would
    // otherwise drop a post that has not left yet. True when the answer
    // loaded; false when it failed to load, did not come in time, or the
    // form could not be submitted.
    bool awaitAnswer();

private:
    QPointer<Browser> m_browser;
    QUrl m_answerAddress;
    QMetaObject::Connection m_connection;
    bool m_submitted = false;
    bool m_formPageLoaded = false;
    std::optional<bool> m_answerLoaded;
};

// Submits the page and awaits the answer, as above.
bool SubmitFormPage(Browser* pBrowser, const QString& pPage, const QString& pAction);
