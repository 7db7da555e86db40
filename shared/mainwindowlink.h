#pragma once

class QWidget;

// The shared services disable and enable the main window without knowing its
// class: the main window registers itself here when it loads.
void RegisterMainWindow(QWidget* window);
void SetMainWindowEnabled(bool enabled);
