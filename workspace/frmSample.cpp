#include "workspace/frmSample.h"

#include "platform/forminstance.h"
#include "shared/globals.h"

frmSample::frmSample() : SkinnedDialog(false, &gSampleOpen) {}

void frmSample::SetDefaultValue() {}

void frmSample::unloadForm() {
    FormInstance<frmSample>::unload();
}
