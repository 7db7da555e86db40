#pragma once

#include <functional>
#include <ostream>
#include <QImage>
#include <QString>
#include <QTest>
#include <QVariant>

#include "platform/browser.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/standinprocess.h"
#include "workspace/coursedescriptor.h"
#include "workspace/frmMain.h"

// Strings read in a test's failure report.
inline void PrintTo(const QString& text, std::ostream* stream) {
    *stream << '"' << text.toStdString() << '"';
}

// Tests of the pages and tool windows: the demo course installed and its
// databases addressed, and the pages read back from the real browser.
class ToolWindowTest : public MainWindowTest {
protected:
    static constexpr int kLoadTimeoutMs = 20000;

    // The demo course DEMO installed and addressed, without the main window.
    void setUpCourse(const QString& edition, const QString& serviceUrl = QString()) {
        setUpEdition(edition, serviceUrl);
        gServerURL = serviceUrl;
        installDemoCourse();
        gCourseId = "DEMO";
        BuildConnStrings();
    }

    // The main window with the demo course open. The course has a study plan,
    // so the start asks for none.
    frmMain* openCourseWindow(const QString& edition, const QString& serviceUrl = QString()) {
        setUpEdition(edition, serviceUrl);
        // The sign-in names the service of the LXQ edition.
        gServerURL = serviceUrl;
        installDemoCourse();
        const QDate start = QDate::currentDate().addDays(-3);
        CourseDescriptor descriptor;
        descriptor.read(CourseDescriptor::pathOf("DEMO"));
        descriptor.setLine(CourseDescriptor::kPlanNameLine, "自訂期限型");
        descriptor.setLine(CourseDescriptor::kDaysLine, "30");
        descriptor.setLine(CourseDescriptor::kStartLine, GetDateString(start, "/"));
        descriptor.setLine(CourseDescriptor::kEndLine, GetDateString(start.addDays(29), "/"));
        EXPECT_TRUE(descriptor.write(CourseDescriptor::pathOf("DEMO")));
        setLastCourse("DEMO");
        return FormInstance<frmMain>::get();
    }

    static void run(const QString& sql, const QString& connection) {
        QString error;
        ASSERT_TRUE(db::execute(sql, connection, &error)) << error.toStdString();
    }

    // The page that the browser shows once it has loaded.
    static QVariant evaluate(Browser* browser, const QString& script) {
        EXPECT_TRUE(browser->waitForLoad(kLoadTimeoutMs));
        return browser->runJavaScriptSync(script);
    }
    static QString shownText(Browser* browser) {
        return evaluate(browser, "document.body ? document.body.innerText : ''").toString();
    }
    static QStringList listItems(Browser* browser) {
        return evaluate(browser,
                        "Array.from(document.querySelectorAll('li')).map(e => e.innerText)")
            .toStringList();
    }

    // The window as the learner sees it once its browser has painted the page
    // it shows and the picture has stopped changing.
    static void saveScreenshotWhenPainted(QWidget* widget, Browser* browser, const QString& name) {
        evaluate(browser,
                 "window.painted = false; requestAnimationFrame(() => "
                 "requestAnimationFrame(() => { window.painted = true; }));");
        EXPECT_TRUE(waitFor([&] { return browser->runJavaScriptSync("window.painted").toBool(); }));
        constexpr int kSettledPolls = 10;
        QImage last;
        int samePolls = 0;
        EXPECT_TRUE(waitFor([&] {
            const QImage now = widget->grab().toImage();
            samePolls = now == last ? samePolls + 1 : 0;
            last = now;
            return samePolls >= kSettledPolls;
        }));
        EXPECT_FALSE(saveScreenshot(widget, name).isEmpty());
    }

    // The requests for one script, the browser's own (its icon) left out.
    static QList<StandinRequest> requestsFor(StandinProcess& standin, const QByteArray& path) {
        QList<StandinRequest> requests;
        for (const StandinRequest& request : standin.log()) {
            if (request.path == path) {
                requests.append(request);
            }
        }
        return requests;
    }

    static bool waitFor(const std::function<bool()>& done, int timeoutMs = kLoadTimeoutMs) {
        return QTest::qWaitFor(done, timeoutMs);
    }
};
