#pragma once

class QWidget;

// The shared services disable and enable the main window without knowing its
// class: the main window registers itself here when it loads.
void RegisterMainWindow(QWidget* window);
void SetMainWindowEnabled(bool enabled);

// A dialog that keeps the main window disabled for as long as it is up (the
// plan dialog, the import sign-in): enabling the main window, also by the
// message window, waits until no such dialog holds it. A dialog lets go when
// it releases the main window or is unloaded.
void HoldMainWindow(QWidget* holder);
void ReleaseMainWindow(QWidget* holder);
