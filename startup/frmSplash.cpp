#include "startup/frmSplash.h"

#include "platform/forminstance.h"

namespace {

constexpr int kHideIntervalMs = 1500;

}  // namespace

frmSplash::frmSplash() : SkinnedDialog(true) {
    tmrHide.setInterval(kHideIntervalMs);
    connect(&tmrHide, &QTimer::timeout, this, &frmSplash::tmrHide_Timer);
}

void frmSplash::closeForm() {
    startFadeOut();
}

void frmSplash::tmrHide_Timer() {
    tmrHide.stop();
    closeForm();
}

void frmSplash::unloadForm() {
    FormInstance<frmSplash>::unload();
}
