#include "workspace/frmFeedback.h"

#include "platform/forminstance.h"

frmFeedback::frmFeedback() : SkinnedDialog(false) {}

void frmFeedback::unloadForm() {
    FormInstance<frmFeedback>::unload();
}
