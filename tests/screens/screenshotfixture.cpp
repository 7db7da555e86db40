#include "tests/screens/screenshotfixture.h"

#include <QDate>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/skinneddialog.h"
#include "startup/frmSchedule.h"
#include "workspace/coursedescriptor.h"
#include "workspace/frmMain.h"

namespace {

// A picture counts as still once this many grabs in a row, some time apart,
// are the same. A window that moves on its own (a running bar, a blinking
// caret) is taken as it is when the settling time is up.
constexpr int kStillGrabs = 6;
constexpr int kGrabSpacingMs = 50;
constexpr int kSettleMs = 3000;
constexpr int kPlanDays = 30;
constexpr int kPlanStartedDaysAgo = 3;

QPixmap grabScreen(const QRect& area) {
    QScreen* screen = QGuiApplication::screenAt(area.center());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
}

bool isFading(QWidget* window) {
    auto* dialog = qobject_cast<SkinnedDialog*>(window);
    return dialog && dialog->tmrTransparentForm->isActive();
}

}  // namespace

frmMain* ScreenshotTest::openCourse(const QString& edition) {
    installCourseWithPlan(edition);
    return showCourseWindow();
}

frmMain* ScreenshotTest::openCourseWithoutPlan() {
    setUpEdition("LXV", standin.baseUrl());
    installDemoCourse();
    setLastCourse("DEMO");
    window = FormInstance<frmMain>::get();
    return window;
}

void ScreenshotTest::installCourseWithPlan(const QString& edition) {
    setUpEdition(edition, standin.baseUrl());
    installDemoCourse();
    const QDate start = QDate::currentDate().addDays(-kPlanStartedDaysAgo);
    CourseDescriptor descriptor;
    ASSERT_TRUE(descriptor.read(CourseDescriptor::pathOf("DEMO")));
    descriptor.setLine(CourseDescriptor::kPlanNameLine, "自訂期限型");
    descriptor.setLine(CourseDescriptor::kDaysLine, QString::number(kPlanDays));
    descriptor.setLine(CourseDescriptor::kStartLine, GetDateString(start, "/"));
    descriptor.setLine(CourseDescriptor::kEndLine,
                       GetDateString(start.addDays(kPlanDays - 1), "/"));
    ASSERT_TRUE(descriptor.write(CourseDescriptor::pathOf("DEMO")));
    setLastCourse("DEMO");
    // As the sign-in leaves it, which the LXQ and LXM editions need for the
    // course's progress.
    gServerURL = standin.baseUrl();
    gServerPassword = "demo";
    gServerCourseId = "DEMO";
}

// The window asks to be maximized; with no window manager to do it, it is
// given the screen here.
frmMain* ScreenshotTest::showCourseWindow() {
    window = FormInstance<frmMain>::get();
    EXPECT_FALSE(FormInstance<frmSchedule>::isLoaded());
    window->setGeometry(window->screen()->availableGeometry());
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_TRUE(window->webMain->waitForLoad(kWaitMs));
    standin.clearLog();
    return window;
}

void ScreenshotTest::checkSomeSentences() {
    check("U1000101", "My name is Tom.");
    check("U1000102", "i am ten years old.");
    check("U1000103", "He live in Taipei");
    check("U2000101", "I get up at seven at at the morning.");
    check("U2000102", "I eat a egg for breakfast.");
    ASSERT_TRUE(window->webMain->waitForLoad(kWaitMs));
}

QString ScreenshotTest::shoot(QWidget* shown, const QString& name, const QRect& area) {
    shown->raise();
    EXPECT_TRUE(waitFor([shown] { return !isFading(shown); })) << name.toStdString();
    waitUntilPainted(shown);
    const QRect region = area.isNull() ? shown->frameGeometry() : area;
    QImage last;
    int stillGrabs = 0;
    waitFor(
        [&] {
            QTest::qWait(kGrabSpacingMs);
            const QImage now = grabScreen(region).toImage();
            stillGrabs = now == last ? stillGrabs + 1 : 0;
            last = now;
            return stillGrabs >= kStillGrabs;
        },
        kSettleMs);
    QPixmap picture = grabScreen(region);
    if (picture.isNull()) {
        picture = shown->grab();
    }
    const QString folder = screenshotFolder();
    const QString path = QDir(folder).absoluteFilePath(name + ".png");
    if (!QDir().mkpath(folder) || !picture.save(path)) {
        return QString();
    }
    return path;
}

// Each page shown in the window has loaded and has been drawn twice since.
void ScreenshotTest::waitUntilPainted(QWidget* shown) {
    for (Browser* browser : shown->findChildren<Browser*>()) {
        if (!browser->isVisible()) {
            continue;
        }
        EXPECT_TRUE(browser->waitForLoad(kWaitMs));
        browser->runJavaScriptSync(
            "window.painted = false; requestAnimationFrame(() => "
            "requestAnimationFrame(() => { window.painted = true; }));");
        EXPECT_TRUE(
            waitFor([browser] { return browser->runJavaScriptSync("window.painted").toBool(); }));
    }
}

void ScreenshotTest::expectShownSanely(QWidget* shown) {
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    const QRect screen = shown->screen()->geometry();
    const QRect frame = shown->frameGeometry();
    EXPECT_GE(frame.width(), 40);
    EXPECT_GE(frame.height(), 40);
    EXPECT_TRUE(screen.contains(frame)) << "window at " << frame.x() << "," << frame.y() << " size "
                                        << frame.width() << "x" << frame.height();
}

bool ScreenshotTest::waitFor(const std::function<bool()>& done, int timeoutMs) {
    return QTest::qWaitFor(done, timeoutMs);
}

QString ScreenshotTest::screenshotFolder() {
    const QString folder = qEnvironmentVariable("LEXIVO_SCREENSHOT_DIR");
    return folder.isEmpty() ? QStringLiteral(LEXIVO_XVFB_SCREENSHOT_DIR) : folder;
}
