#pragma once

#include <functional>
#include <QRect>
#include <QString>

#include "tests/forms/sentencecheckfixture.h"

class QWidget;

// Pictures of the program's windows as a learner sees them on a real
// display: the demo course with a study plan, its service the stand-in, and
// each window shown with real data before it is photographed. The pictures
// go to the folder named by LEXIVO_SCREENSHOT_DIR, else to the build's
// "screenshots/xvfb"; looking at them is the reviewer's part, the tests only
// make sure that each window was shown and its picture written.
class ScreenshotTest : public SentenceCheckTest {
protected:
    static constexpr int kWaitMs = 20000;

    // The main window of the edition on the demo course, which has a plan,
    // so that no plan dialog comes up, filling the screen.
    frmMain* openCourse(const QString& edition = "LXV");
    // The same with the demo course as installed, without a plan.
    frmMain* openCourseWithoutPlan();

    // Checks a right sentence and a few wrong ones through the input box,
    // as the learner types them; the last one shows its result page.
    void checkSomeSentences();

    // Waits until the window has faded in, its pages have loaded and been
    // painted and its picture has stopped changing, then saves what the
    // screen shows in its place (its frame, or area when given, in global
    // coordinates). Returns the file's path, "" when nothing was written.
    QString shoot(QWidget* shown, const QString& name, const QRect& area = QRect());

    // The window is shown, lies on the screen and has a size that a window
    // of the program may have.
    static void expectShownSanely(QWidget* shown);

    static bool waitFor(const std::function<bool()>& done, int timeoutMs = kWaitMs);
    static QString screenshotFolder();

private:
    void installCourseWithPlan(const QString& edition);
    frmMain* showCourseWindow();
    static void waitUntilPainted(QWidget* shown);
};
