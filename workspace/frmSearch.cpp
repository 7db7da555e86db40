#include "workspace/frmSearch.h"

#include <QLabel>
#include <QLineEdit>

#include "platform/forminstance.h"
#include "shared/globals.h"

frmSearch::frmSearch() : SkinnedDialog(false, &gSearchOpen), txtSearch(new QLineEdit(picBG)) {}

void frmSearch::unloadForm() {
    FormInstance<frmSearch>::unload();
}
