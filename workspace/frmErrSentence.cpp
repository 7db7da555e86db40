#include "workspace/frmErrSentence.h"

#include "platform/forminstance.h"
#include "shared/globals.h"

frmErrSentence::frmErrSentence() : SkinnedDialog(false, &gErrSentenceOpen) {}

void frmErrSentence::unloadForm() {
    FormInstance<frmErrSentence>::unload();
}
