#pragma once

#include <QString>

#include "tests/support/tempbase.h"

class QWidget;
class frmMain;

// Tests of the main window and the course forms: a fresh TMP prepared as the
// start-up leaves it, the demo course installed on request, and the main
// window loaded as the start-up loads it. Every form is unloaded and the
// start-up state cleared after each test.
class MainWindowTest : public TempBaseTest {
protected:
    void TearDown() override;

    // The global state of the start-up for the edition, with the engine data
    // and manual pages installed. The services are reached at serviceUrl
    // (e.g. a stand-in's baseUrl()); by default nothing answers there.
    void setUpEdition(const QString& edition, const QString& serviceUrl = QString());
    // Installs the demo course DEMO from the program folder's DEMO.giz, its
    // folder and descriptor named as given (a package may name them in
    // another case than the id).
    void installDemoCourse(const QString& namedAs = "DEMO");
    // The course that the next start opens (setup.set's lastCourse).
    void setLastCourse(const QString& courseId);

    // Loads the main window as the start-up does, after setUpEdition(), with
    // the demo course installed and opened at the start (and the plan dialog
    // that the LXV start shows for it closed).
    frmMain* makeMainWindow(const QString& edition, const QString& serviceUrl = QString());
    // The same with no course to open: the course picker that the start
    // shows is closed (its message about the empty list answered) as soon as
    // it appears, so the window comes up without a course.
    frmMain* makeMainWindowWithoutCourse(const QString& edition,
                                         const QString& serviceUrl = QString());

    // Saves a picture of the widget as name.png in the folder named by
    // LEXIVO_SCREENSHOT_DIR, else the build's "screenshots" folder, and
    // returns the file's path ("" when it could not be written).
    static QString saveScreenshot(QWidget* widget, const QString& name);
};
