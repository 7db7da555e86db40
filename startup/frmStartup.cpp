#include "startup/frmStartup.h"

frmStartup::frmStartup() : QWidget(nullptr, Qt::Window) {}
