#include "platform/forminstance.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "startup/frmClassSelect.h"
#include "workspace/frmMain.h"

namespace {

// The message that ends a sync or an engine rebuild; "" for none.
QString syncMessageId(const QString& tag) {
    if (tag == "REBUILD_ENGINE") {
        return "5002";
    }
    if (tag == "SYNC" || tag.isEmpty()) {
        return gOldPno.isEmpty() ? "50" : "52";
    }
    return QString();
}

}  // namespace

// Only a question's line is refreshed: a unit or the root chosen since the
// check keeps the line that its click wrote.
void frmMain::tmrMessage_Timer() {
    tmrMessage.stop();
    if (gQuizSelected) {
        SetStatusString(true, gUnitKey);
    }
}

void frmMain::tmrReloadClassWaitProc_Timer() {
    tmrReloadClassWaitProc.stop();
    const QString courseId = gCourseId;
    FormInstance<frmClassSelect>::get()->ReloadClass(courseId);
    gReloadDone = true;
}

// Without a message there is no answer to wait for.
void frmMain::tmrSyncMessageWait_Timer() {
    tmrSyncMessageWait.stop();
    const QString messageId = syncMessageId(tmrSyncMessageWaitTag);
    tmrSyncMessageWaitTag.clear();
    if (messageId.isEmpty()) {
        return;
    }
    MessageBoxAndWait(messageId, 1, "OK", "4");
}
