#include "startup/frmClassDownload.h"

#include "platform/forminstance.h"
#include "startup/modalshow.h"

frmClassDownload::frmClassDownload() : SkinnedDialog(false) {}

void frmClassDownload::Form_Load() {
    setSkin(QPixmap(":/skin/classselect-bg.png"));
    startFadeIn();
}

void frmClassDownload::showModal() {
    showModalAndWait(this);
}

void frmClassDownload::unloadForm() {
    FormInstance<frmClassDownload>::unload();
}
