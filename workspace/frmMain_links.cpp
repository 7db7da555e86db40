#include "platform/browser.h"
#include "platform/forminstance.h"
#include "shared/globals.h"
#include "workspace/frmErrSentence.h"
#include "workspace/frmMain.h"

// Pages of the main pane talk back through "cmd:" and "rem:" links, which
// the browser never loads itself.
void frmMain::connectPageLinks() {
    webMain->setBeforeNavigate2(
        [this](const QString& url, bool& cancel) { webMain_BeforeNavigate2(url, cancel); });
}

void frmMain::webMain_BeforeNavigate2(const QString& URL, bool& Cancel) {
    const QString scheme = URL.left(4);
    if (scheme == "cmd:") {
        Cancel = true;
        const QString codes = QString(URL).remove("cmd:errcode:");
        if (!gErrSentenceOpen) {
            FormInstance<frmErrSentence>::get()->show();
        }
        FormInstance<frmErrSentence>::get()->ShowErrSentence(codes);
    } else if (scheme == "rem:" && URL != "rem:clear") {
        Cancel = true;
    }
}
