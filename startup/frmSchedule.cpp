#include "startup/frmSchedule.h"

#include "platform/forminstance.h"

frmSchedule::frmSchedule() : SkinnedDialog(true) {}

void frmSchedule::unloadForm() {
    FormInstance<frmSchedule>::unload();
}
