#pragma once

#include <QWidget>

// The program's entry form. It carries the start-up and is never seen; the
// main window unloads it once it has loaded itself.
class frmStartup : public QWidget {
    Q_OBJECT

public:
    frmStartup();
};
