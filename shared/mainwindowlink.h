#pragma once

#include <QObject>

class QWidget;

// The shared services disable and enable the main window without knowing its
// class: the main window registers itself here when it loads.
void RegisterMainWindow(QWidget* window);
void SetMainWindowEnabled(bool enabled);

// Something that keeps the main window disabled for as long as it lasts: a
// dialog that is up (the plan dialog, the import sign-in) or a piece of work
// under way (the records sync, the question search, the package install).
// Enabling the main window, also by the message window or the course
// opening, waits until nothing holds it. A holder lets go when it releases
// the main window or is deleted, a dialog also when it is unloaded.
void HoldMainWindow(QObject* holder);
void ReleaseMainWindow(QObject* holder);

// Holds the main window from its making to its end, whichever way the work
// that it covers ends.
class MainWindowHold {
public:
    MainWindowHold();
    ~MainWindowHold();
    MainWindowHold(const MainWindowHold&) = delete;
    MainWindowHold& operator=(const MainWindowHold&) = delete;

private:
    QObject mToken;
};
