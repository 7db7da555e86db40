#include "workspace/frmSentence.h"

#include "platform/forminstance.h"
#include "shared/globals.h"

frmSentence::frmSentence() : SkinnedDialog(false, &gSentenceOpen) {}

void frmSentence::SetDefaultValue() {}

void frmSentence::unloadForm() {
    FormInstance<frmSentence>::unload();
}
