#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <QWebEngineView>
#include <utility>

#include "platform/big5.h"
#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "platform/windowskin.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "startup/frmClassDownload.h"
#include "startup/frmClassSelect.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/messagewindow.h"
#include "tests/support/pickercloser.h"
#include "tests/support/servicelog.h"
#include "tests/support/standinprocess.h"
#include "tests/support/windowsystem.h"
#include "workspace/frmMain.h"

namespace {

const QString kDemoName = QStringLiteral("英文造句入門");

class ClassDownloadTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(standin.start());
    }

    frmClassDownload* openDownloadWindow(const QString& edition = "LXV") {
        makeMainWindowWithoutCourse(edition, standin.baseUrl());
        gServerURL = standin.baseUrl();
        standin.clearLog();
        return FormInstance<frmClassDownload>::get();
    }
    bool followLink(const QString& url) {
        bool cancel = false;
        FormInstance<frmClassDownload>::get()->webMain_BeforeNavigate2(url, cancel);
        return cancel;
    }
    QStringList descriptor(const QString& courseId) const {
        return big5::readLines(basePath() + "/Lexivo2/" + courseId + ".lxs");
    }
    bool packageWasRequested(const QString& courseId) {
        return loggedPaths(standin).contains("/lxv_download/" + courseId + ".giz");
    }

    static constexpr int kRoadMs = 20000;

    StandinProcess standin;
};

}  // namespace

TEST_F(ClassDownloadTest, ALinkWithBlanksDownloadsInstallsAndShowsThePicker) {
    openDownloadWindow();
    MessageAnswerer answerer("OK");
    PickerCloser picker;

    EXPECT_TRUE(followLink("cmd: DEMO "));

    EXPECT_TRUE(packageWasRequested("DEMO"));
    EXPECT_TRUE(QFile::exists(basePath() + "/DEMO.giz"));
    EXPECT_TRUE(QFile::exists(basePath() + "/Lexivo2/DEMO/LexivoData.mdb"));
    EXPECT_TRUE(answerer.trimmedTexts().contains("所選擇的課程已經安裝完成"));
    EXPECT_FALSE(FormInstance<frmClassDownload>::isLoaded());
    EXPECT_EQ(picker.shown(), 1);
    const QStringList lines = descriptor("DEMO");
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines.at(1), kDemoName);
    EXPECT_EQ(lines.mid(2), QStringList({"NONE", "0", "2000/1/1", "2000/1/1"}));
}

TEST_F(ClassDownloadTest, AReinstallKeepsTheStudyPlanAndTakesTheNameFromThePackage) {
    openDownloadWindow();
    installDemoCourse();
    ASSERT_TRUE(big5::writeLines(basePath() + "/Lexivo2/DEMO.lxs",
                                 {"OLD", "舊名稱", "勤奮好學型", "40", "2024/3/1", "2024/4/10"}));
    MessageAnswerer answerer("OK");
    PickerCloser picker;

    EXPECT_TRUE(followLink("cmd:re:DEMO"));

    EXPECT_EQ(answerer.trimmedTexts().value(0), "確定要重新安裝課程嗎？");
    EXPECT_TRUE(packageWasRequested("DEMO"));
    const QStringList lines = descriptor("DEMO");
    ASSERT_EQ(lines.size(), 6);
    EXPECT_NE(lines.at(0), "OLD");
    EXPECT_EQ(lines.at(1), kDemoName);
    EXPECT_EQ(lines.mid(2), QStringList({"勤奮好學型", "40", "2024/3/1", "2024/4/10"}));
}

// The service takes a course's id in any case, and the package names the
// course's files in its own: the reinstall writes over the course where it
// stands, with its plan and the learner's place in it, and one course is
// left.
class ReinstallCaseTest : public ClassDownloadTest,
                          public ::testing::WithParamInterface<std::pair<QString, QString>> {};

TEST_P(ReinstallCaseTest, AReinstallWritesOverTheCourseAsItIsNamedOnDisk) {
    const auto& [installedAs, linkedAs] = GetParam();
    openDownloadWindow();
    installDemoCourse(installedAs);
    const QDir product(basePath() + "/Lexivo2");
    const QStringList plan{"勤奮好學型", "40", "2024/3/1", "2024/4/10"};
    ASSERT_TRUE(big5::writeLines(product.filePath(installedAs + ".lxs"),
                                 QStringList{"DEMO", "舊名稱"} + plan));
    writeBytes(product.filePath(installedAs + "/node.set"), "QUIZ_U1000102");
    MessageAnswerer answerer("OK");
    PickerCloser picker;

    EXPECT_TRUE(followLink("cmd:re:" + linkedAs));

    EXPECT_TRUE(packageWasRequested(linkedAs));
    EXPECT_EQ(product.entryList({"demo"}, QDir::Dirs), QStringList{installedAs});
    EXPECT_EQ(product.entryList({"demo.lxs"}, QDir::Files), QStringList{installedAs + ".lxs"});
    EXPECT_EQ(descriptor(installedAs).value(1), kDemoName);
    EXPECT_EQ(descriptor(installedAs).mid(2), plan);
    EXPECT_EQ(readBytes(product.filePath(installedAs + "/node.set")), "QUIZ_U1000102");
    EXPECT_EQ(picker.shown(), 1);
    EXPECT_EQ(gInstalledCourses, "DEMO,");
}

INSTANTIATE_TEST_SUITE_P(EitherCase, ReinstallCaseTest,
                         ::testing::Values(std::pair<QString, QString>("DEMO", "demo"),
                                           std::pair<QString, QString>("demo", "DEMO")));

namespace {

// The page's link clicked with the mouse, through the window.
void clickLink(frmClassDownload* window, const QString& href) {
    ASSERT_TRUE(window->webMain->waitForLoad(10000)) << "the download page did not load";
    const QVariantList box =
        window->webMain
            ->runJavaScriptSync("var r = document.querySelector(\"a[href='" + href +
                                "']\").getBoundingClientRect(); [r.left + r.width / 2, "
                                "r.top + r.height / 2]")
            .toList();
    ASSERT_EQ(box.size(), 2) << "no link " << href.toStdString();
    clickThroughWindow(window->webMain->findChild<QWebEngineView*>()->focusProxy(), Qt::LeftButton,
                       QPoint(box.at(0).toInt(), box.at(1).toInt()));
}

}  // namespace

// The learner reinstalls, from the picker, a course whose data the service
// has updated. Once the install tells its end, the files hold the learner's
// plan and no version, so that a program ended there keeps the plan, and
// the course then opens as the service's version.
TEST_F(ClassDownloadTest, AReinstallFromThePickerKeepsThePlanAndForgetsTheOldVersion) {
    makeMainWindowWithoutCourse("LXV", standin.baseUrl());
    gServerURL = standin.baseUrl();
    installDemoCourse();
    const QStringList plan{"勤奮好學型", "40", "2024/3/1", "2024/4/10"};
    ASSERT_TRUE(
        big5::writeLines(basePath() + "/Lexivo2/DEMO.lxs", QStringList{"DEMO", kDemoName} + plan));
    const QString versionFile = basePath() + "/Lexivo2/DEMO/DEMO.ver";
    ASSERT_TRUE(big5::writeLines(versionFile, {"2023.9"}));
    QStringList planAtTheEnd;
    QByteArray versionAtTheEnd = "(not read)";
    MessageAnswerer answerer("OK", [&] {
        if (shownMessageText().contains("所選擇的課程已經安裝完成")) {
            planAtTheEnd = descriptor("DEMO").mid(2);
            versionAtTheEnd = readBytes(versionFile);
        }
    });
    int pickers = 0;
    QPointer<frmClassSelect> pickerSeen;
    bool linkClicked = false;
    // Each step acts from an event of its own: the road that it starts
    // waits in it, while the learner goes on. A road that does not come back
    // to the picker in time has its windows closed.
    QElapsedTimer road;
    road.start();
    std::optional<PickerCloser> givenUp;
    QTimer learner;
    QObject::connect(&learner, &QTimer::timeout, [&] {
        if (road.hasExpired(kRoadMs) && !givenUp) {
            ADD_FAILURE() << "the reinstall did not come back to the picker";
            givenUp.emplace(true);
        }
        frmClassSelect* picker = FormInstance<frmClassSelect>::isLoaded()
                                     ? FormInstance<frmClassSelect>::get()
                                     : nullptr;
        if (picker && picker->isVisible() && picker != pickerSeen) {
            pickerSeen = picker;
            QWidget* next = picker->cmdDownload;
            if (++pickers > 1) {
                next = picker->imgClose;
            }
            QTimer::singleShot(0, next, [next] { clickThroughWindow(next); });
        }
        if (!linkClicked && FormInstance<frmClassDownload>::isLoaded() &&
            FormInstance<frmClassDownload>::get()->isVisible()) {
            linkClicked = true;
            QTimer::singleShot(0, FormInstance<frmClassDownload>::get(), [] {
                clickLink(FormInstance<frmClassDownload>::get(), "cmd:re:DEMO");
            });
        }
    });
    learner.start(5);
    FormInstance<frmClassSelect>::get()->showModal();

    EXPECT_TRUE(linkClicked);
    EXPECT_EQ(pickers, 2);
    EXPECT_EQ(answerer.trimmedTexts(),
              QStringList({"確定要重新安裝課程嗎？", "所選擇的課程已經安裝完成"}));
    EXPECT_EQ(planAtTheEnd, plan);
    EXPECT_EQ(versionAtTheEnd, "");
    EXPECT_EQ(descriptor("DEMO"), QStringList({"DEMO", kDemoName}) + plan);

    learner.stop();
    PickerCloser refusedAgain(true);
    FormInstance<frmClassSelect>::get()->ReloadClass("DEMO");
    EXPECT_EQ(answerer.texts().size(), 2) << answerer.texts().join('|').toStdString();
    EXPECT_EQ(gCourseId, "DEMO");
    EXPECT_EQ(big5::readLines(versionFile), QStringList{"2024.1"});
}

TEST_F(ClassDownloadTest, ADeclinedReinstallDownloadsNothingAndStays) {
    frmClassDownload* window = openDownloadWindow();
    MessageAnswerer answerer("CANCEL");
    PickerCloser picker;

    EXPECT_TRUE(followLink("cmd:re:DEMO"));

    EXPECT_EQ(answerer.trimmedTexts(), QStringList{"確定要重新安裝課程嗎？"});
    EXPECT_FALSE(packageWasRequested("DEMO"));
    EXPECT_EQ(picker.shown(), 0);
    EXPECT_TRUE(window->isVisible());
}

// A course link that the page itself follows while a package is on its way
// is ignored: one package arrives and is installed, and the picker follows.
TEST_F(ClassDownloadTest, ALinkThePageFollowsDuringADownloadIsIgnored) {
    frmClassDownload* window = openDownloadWindow();
    ASSERT_TRUE(window->webMain->waitForLoad(10000));
    QStringList followed;
    bool cancelled = true;
    // Once more while the package installs, as the window that is gone
    // gets it.
    const QPointer<frmClassDownload> unloaded(window);
    MessageAnswerer answerer("OK", [&] {
        if (unloaded && followed.size() == 1) {
            bool cancel = false;
            unloaded->webMain_BeforeNavigate2("cmd:DEMO", cancel);
            followed << "cmd:DEMO";
            cancelled = cancelled && cancel;
        }
    });
    PickerCloser picker;
    window->webMain->setBeforeNavigate2([&, window](const QString& url, bool& cancel) {
        window->webMain_BeforeNavigate2(url, cancel);
        followed << url;
        cancelled = cancelled && cancel;
    });
    // The page's own script, once the first progress of the package shows.
    QTimer pageScript;
    QObject::connect(&pageScript, &QTimer::timeout, [&] {
        if (window->tmpDownloadClass && window->lblPercent->text() != "0%") {
            pageScript.stop();
            window->webMain->runJavaScriptSync("location.href = 'cmd:re:DEMO';");
            EXPECT_TRUE(waitUntil([&] { return !followed.isEmpty(); }, 10000))
                << "the page's link never arrived";
        }
    });
    pageScript.start();

    EXPECT_TRUE(followLink("cmd:DEMO"));

    EXPECT_FALSE(pageScript.isActive()) << "no progress of the package showed";
    EXPECT_EQ(followed, QStringList({"cmd:re:DEMO", "cmd:DEMO"}));
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(loggedPaths(standin).filter(".giz"), QStringList{"/lxv_download/DEMO.giz"});
    EXPECT_EQ(answerer.trimmedTexts(), QStringList{"所選擇的課程已經安裝完成"});
    EXPECT_EQ(picker.shown(), 1);
}

// Nothing modal is up while a downloaded course installs: the install holds
// the main window, whose menu would open another course, or install one,
// into the folder being written.
TEST_F(ClassDownloadTest, TheInstallOfADownloadedCourseHoldsTheMainWindow) {
    openDownloadWindow();
    frmMain* main = FormInstance<frmMain>::get();
    MessageAnswerer answerer("OK");
    PickerCloser picker;
    bool tried = false;
    QTimer learner;
    QObject::connect(&learner, &QTimer::timeout, [&] {
        if (shownMessage() && shownMessage()->picProgress->isVisible() &&
            !FormInstance<frmClassDownload>::isLoaded()) {
            learner.stop();
            tried = true;
            EXPECT_FALSE(menuOpensThroughWindow(main->menuBar(), main->mnuFile));
        }
    });
    learner.start(0);

    followLink("cmd:DEMO");

    EXPECT_TRUE(tried) << "no install showed its please-wait box";
    EXPECT_EQ(answerer.trimmedTexts(), QStringList{"所選擇的課程已經安裝完成"});
    EXPECT_EQ(picker.shown(), 1);
    EXPECT_TRUE(main->isEnabled());
}

// A failed download is reported; it leaves neither a partial package nor a
// descriptor, and other packages of the folder stay.
TEST_F(ClassDownloadTest, AFailedDownloadTellsTheLearnerAndLeavesNothingBehind) {
    frmClassDownload* window = openDownloadWindow();
    // Modal, as the picker shows it: the message over it is answered all the same.
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    writeBytes(basePath() + "/OTHER.giz", "kept");
    MessageAnswerer answerer("OK");
    PickerCloser picker;

    EXPECT_TRUE(followLink("cmd:NOPE"));

    EXPECT_TRUE(packageWasRequested("NOPE"));
    EXPECT_EQ(answerer.trimmedTexts().value(0), "課程下載失敗，請檢查網路連線後再試一次。");
    EXPECT_FALSE(QFile::exists(basePath() + "/NOPE.giz"));
    EXPECT_FALSE(QFile::exists(basePath() + "/Lexivo2/NOPE.lxs"));
    EXPECT_EQ(readBytes(basePath() + "/OTHER.giz"), "kept");
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->picProgressPanel->isVisible());
    EXPECT_EQ(picker.shown(), 1);
}

// Closed while its failure is told, the window has shown the picker on its
// way out; the link's handler shows it no second time.
TEST_F(ClassDownloadTest, ClosedWhileAFailureIsToldTheWindowShowsThePickerOnce) {
    frmClassDownload* window = openDownloadWindow();
    installDemoCourse();
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    PickerCloser picker;
    MessageAnswerer answerer("OK", [&] {
        clickThroughWindow(window->imgClose);
        EXPECT_TRUE(QTest::qWaitFor([&] { return picker.shown() == 1; }));
    });

    EXPECT_TRUE(followLink("cmd:NOPE"));
    EXPECT_EQ(answerer.texts().size(), 1);
    EXPECT_EQ(picker.shown(), 1);
    EXPECT_FALSE(FormInstance<frmClassDownload>::isLoaded());
}

// The addresses as the handler is given them: the browser engine itself
// hands a link's scheme over in lower case.
TEST_F(ClassDownloadTest, OnlySafeCourseIdsAndExactLowerCaseCommandsAreFollowed) {
    openDownloadWindow();
    MessageAnswerer answerer("OK");
    // A followed link ends in the modal picker: closed, it lets the test go on.
    PickerCloser picker;

    EXPECT_TRUE(followLink("cmd:../../etc/passwd"));
    EXPECT_TRUE(followLink("cmd:A B"));
    EXPECT_TRUE(followLink("cmd:DEMO%0A"));
    EXPECT_FALSE(followLink("CMD:DEMO"));
    EXPECT_FALSE(followLink(standin.baseUrl() + "lxv_download/default.asp"));

    EXPECT_TRUE(loggedPaths(standin).filter(".giz").isEmpty());
    EXPECT_TRUE(answerer.texts().isEmpty());
    EXPECT_EQ(picker.shown(), 0);
}

TEST_F(ClassDownloadTest, ProgressShowsThePercentAndAFillThatStopsShortOfTheEnd) {
    frmClassDownload* window = openDownloadWindow();
    ASSERT_EQ(window->picProgress->width() * 15, 3000);

    window->tmpDownloadClass_RuvDLProg(50, 200);
    EXPECT_EQ(window->picProgressInner->width() * 15, 750);
    EXPECT_EQ(window->lblPercent->text(), "25%");

    window->tmpDownloadClass_RuvDLProg(200, 200);
    EXPECT_EQ(window->picProgressInner->width() * 15, 2970);
    EXPECT_EQ(window->lblPercent->text(), "100%");

    window->tmpDownloadClass_RuvDLProg(300, 200);
    window->tmpDownloadClass_RuvDLProg(0, 0);
    EXPECT_EQ(window->lblPercent->text(), "100%");
}

TEST_F(ClassDownloadTest, ThePageIsAskedForWithTheInstalledCoursesAndTheAccount) {
    gInstalledCourses = "DEMO,";
    frmClassDownload* window = openDownloadWindow();
    gInstalledCourses = "DEMO,";
    window->SetDefaultValue();
    ASSERT_TRUE(window->webMain->waitForLoad(10000));

    QList<StandinRequest> requests = standin.log();
    requests.removeIf(
        [](const StandinRequest& request) { return request.path != "/lxv_download/default.asp"; });
    ASSERT_FALSE(requests.isEmpty());
    const QUrlQuery query(QString::fromLatin1(requests.last().query));
    EXPECT_EQ(query.queryItemValue("c"), "DEMO,");
    EXPECT_EQ(query.queryItemValue("regId"), "DEMO0001");
    EXPECT_EQ(query.queryItemValue("app"), "");
    EXPECT_FALSE(query.queryItemValue("v").isEmpty());
    EXPECT_EQ(window->size(), window->picBG->size());
    EXPECT_TRUE(QTest::qWaitFor([window] { return windowskin::alpha(window) == 240; }, 5000))
        << "the window did not fade in";
}

TEST_F(ClassDownloadTest, ClosingTheWindowLeadsBackToThePicker) {
    openDownloadWindow();
    MessageAnswerer answerer("OK");
    PickerCloser picker;
    const std::function<void(frmClassDownload*)> waysOut[] = {
        [](frmClassDownload* window) { QTest::mouseClick(window->imgClose, Qt::LeftButton); },
        closeByWindowSystem};
    for (const auto& wayOut : waysOut) {
        const int shown = picker.shown();
        frmClassDownload* window = FormInstance<frmClassDownload>::get();
        window->show();
        wayOut(window);
        EXPECT_TRUE(QTest::qWaitFor([&] { return picker.shown() == shown + 1; }));
        EXPECT_FALSE(FormInstance<frmClassDownload>::isLoaded());
    }
}
