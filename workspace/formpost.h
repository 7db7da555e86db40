#pragma once

#include <QString>

#include "shared/request.h"

class Browser;

// The posts that go out as an HTML form submitted in a browser that is not
// shown: the sentence uploads and the feedback.

// The page of one form (named "frmPost", posting to pAction) whose hidden
// fields are "key" with the request key, then pFields in their order. The
// values are HTML-escaped, so that the service receives them as they stand.
QString FormPostPage(const QString& pAction, const RequestFields& pFields);

// Writes the page into the browser over a blank page and submits its form,
// then waits (events keep running) until the service's answer has loaded
// there, or for a while at most: the browser's next use, or its window
// closing, would otherwise drop a post that has not left yet. True when the
// answer loaded; false when it failed to load or did not come in time.
bool SubmitFormPage(Browser* pBrowser, const QString& pPage, const QString& pAction);
