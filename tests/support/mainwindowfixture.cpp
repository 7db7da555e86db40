#include "tests/support/mainwindowfixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/package.h"
#include "shared/globals.h"
#include "shared/install.h"
#include "shared/settingsfiles.h"
#include "startup/frmClassSelect.h"
#include "startup/frmSchedule.h"
#include "tests/support/messagewindow.h"
#include "tests/support/servicelog.h"
#include "workspace/frmMain.h"

namespace {

constexpr int kPollIntervalMs = 5;
constexpr int kPageLoadMs = 10000;

// The demo account of the edition in the stand-in's seed.
QString demoAccount(const QString& edition) {
    if (edition == "LXQ") {
        return "DEMOQ001";
    }
    return edition == "LXM" ? "DEMOM001" : "DEMO0001";
}

void clearStartupState() {
    gStartupDone = false;
    gInFormLoad = false;
    gQuizSelected = false;
    gFontSize = "16px";
    gHistoryCount = 0;
    gHistoryPos = 0;
    gOldPno.clear();
    gMsgResult.clear();
    gNodeKey.clear();
    gUnitKey.clear();
    gNodeIndex = 0;
    gUnitNodeIndex = 0;
    gScheduleType.clear();
}

void unloadEveryForm() {
    forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

void MainWindowTest::TearDown() {
    unloadEveryForm();
    clearStartupState();
    TempBaseTest::TearDown();
}

void MainWindowTest::setUpEdition(const QString& edition, const QString& serviceUrl) {
    clearStartupState();
    gEdition = edition;
    InitialGlobalSetting();
    const QString service = serviceUrl.isEmpty() ? unusedLoopbackBase() : serviceUrl;
    gServerURL = edition == "LXQ" ? QString() : service;
    gFeedbackURL = service;
    gWebEngineLookupURL = service;
    gWebURL = edition == "LXQ" ? QString() : service;
    gDefaultServer = edition == "LXM" ? service : QString();
    gPno = demoAccount(edition);
    gAllowedCourses = "DEMO";
    BuildConnStrings();
}

void MainWindowTest::installDemoCourse(const QString& namedAs) {
    QString error;
    ASSERT_TRUE(package::unpack(ProgramFolder() + "/DEMO.giz", ProductFolder(), &error))
        << error.toStdString();
    if (namedAs != "DEMO") {
        QDir product(ProductFolder());
        ASSERT_TRUE(product.rename("DEMO", namedAs));
        ASSERT_TRUE(product.rename("DEMO.lxs", namedAs + ".lxs"));
    }
}

void MainWindowTest::setLastCourse(const QString& courseId) {
    SetFile_IO(gSetupSetFile, "W", "lastCourse", courseId);
}

frmMain* MainWindowTest::makeMainWindow(const QString& edition, const QString& serviceUrl) {
    setUpEdition(edition, serviceUrl);
    installDemoCourse();
    setLastCourse("DEMO");
    frmMain* window = FormInstance<frmMain>::get();
    // The demo course has no study plan, so the LXV start also asks for one
    // in the plan dialog, which holds the main window; it is closed here as
    // the learner would close it.
    if (FormInstance<frmSchedule>::isLoaded()) {
        FormInstance<frmSchedule>::get()->imgClose_Click();
        FormInstance<frmSchedule>::unload();
    }
    window->webMain->waitForLoad(kPageLoadMs);
    return window;
}

frmMain* MainWindowTest::makeMainWindowWithoutCourse(const QString& edition,
                                                     const QString& serviceUrl) {
    setUpEdition(edition, serviceUrl);
    MessageAnswerer answerer("OK");
    QTimer pickerCloser;
    pickerCloser.setInterval(kPollIntervalMs);
    QObject::connect(&pickerCloser, &QTimer::timeout, [] {
        if (FormInstance<frmClassSelect>::isLoaded() &&
            FormInstance<frmClassSelect>::get()->isVisible()) {
            FormInstance<frmClassSelect>::unload();
        }
    });
    pickerCloser.start();
    return FormInstance<frmMain>::get();
}

QString MainWindowTest::saveScreenshot(QWidget* widget, const QString& name) {
    QString folder = qEnvironmentVariable("LEXIVO_SCREENSHOT_DIR");
    if (folder.isEmpty()) {
        folder = QStringLiteral(LEXIVO_PROGRAM_DIR "/../screenshots");
    }
    const QString path = QDir(folder).absoluteFilePath(name + ".png");
    if (!QDir().mkpath(folder) || !widget->grab().save(path)) {
        return QString();
    }
    return path;
}
