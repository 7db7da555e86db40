#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "platform/big5.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/servicescripts.h"
#include "shared/settingsfiles.h"
#include "startup/frmClassDownload.h"
#include "startup/frmClassSelect.h"
#include "startup/frmSchedule.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/messagewindow.h"
#include "tests/support/servicelog.h"
#include "tests/support/standinprocess.h"
#include "tests/support/windowsystem.h"
#include "workspace/frmMain.h"

namespace {

constexpr int kPollIntervalMs = 5;
// Root, three units and their fifteen questions.
constexpr int kDemoNodeCount = 19;
const QString kDemoName = QStringLiteral("英文造句入門");

frmClassSelect* picker() {
    return FormInstance<frmClassSelect>::get();
}

QStringList rowsOf(const QListWidget* list) {
    QStringList rows;
    for (int row = 0; row < list->count(); ++row) {
        rows << list->item(row)->text();
    }
    return rows;
}

// Runs act once on the form that find() gives, as soon as it is shown; the
// code under test is usually waiting on that form meanwhile.
class WhenShown {
public:
    WhenShown(std::function<QWidget*()> find, std::function<void(QWidget*)> act) {
        m_timer.setInterval(kPollIntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this, find, act] {
            QWidget* form = find();
            if (form && form->isVisible()) {
                m_timer.stop();
                m_seen = true;
                act(form);
            }
        });
        m_timer.start();
    }
    bool seen() const { return m_seen; }

private:
    QTimer m_timer;
    bool m_seen = false;
};

template <class T>
QWidget* loadedForm() {
    return FormInstance<T>::isLoaded() ? FormInstance<T>::get() : nullptr;
}

void closePicker(QWidget* shown) {
    clickThroughWindow(static_cast<frmClassSelect*>(shown)->imgClose);
}

// The learner's choice of a course in a shown picker.
std::function<void(QWidget*)> loadCourse(const QString& courseId) {
    return [courseId](QWidget* shown) {
        auto* form = static_cast<frmClassSelect*>(shown);
        form->lstClass->setCurrentRow(int(form->lstClassName.indexOf(courseId)));
        clickThroughWindow(form->cmdLoad);
    };
}

class ClassSelectTest : public MainWindowTest {
protected:
    QString productPath(const QString& name) const { return basePath() + "/Lexivo2/" + name; }

    void writeDescriptor(const QString& fileName, const QStringList& lines) {
        ASSERT_TRUE(big5::writeLines(productPath(fileName), lines));
    }
    void makeCourseFolder(const QString& folder, bool withDatabase) {
        ASSERT_TRUE(QDir().mkpath(productPath(folder)));
        if (withDatabase) {
            writeBytes(productPath(folder + "/LexivoData.mdb"), QByteArray());
        }
    }
};

TEST_F(ClassSelectTest, ListsOnlyDescriptorsWithTheirCourseFolderAndDatabase) {
    setUpEdition("LXQ");
    installDemoCourse();
    writeDescriptor("NODB.lxs", {"NODB", "沒有資料庫", "NONE", "0", "2000/1/1", "2000/1/1"});
    makeCourseFolder("NODB", false);
    writeDescriptor("GONE.lxs", {"GONE", "沒有資料夾", "NONE", "0", "2000/1/1", "2000/1/1"});
    // Five lines, the last one closed by its line break: too short.
    writeDescriptor("SHORT.lxs", {"SHORT", "只有五行", "NONE", "0", "2000/1/1"});
    makeCourseFolder("SHORT", true);
    // An empty sixth line is still a line.
    writeDescriptor("BLANK.lxs", {"BLANK", "末行空白", "NONE", "0", "2000/1/1", ""});
    makeCourseFolder("BLANK", true);
    // The folder of a course is found whatever the case of its name.
    writeDescriptor("Mixed.lxs", {"MIXED", "大小寫", "NONE", "0", "2000/1/1", "2000/1/1"});
    makeCourseFolder("mixed", true);

    frmClassSelect* form = picker();
    EXPECT_EQ(form->lblCaption->text(), "載入已安裝的課程");
    EXPECT_EQ(form->lblMessage->text(), "以下是您目前已安裝的課程，請您選擇要載入的課程");
    EXPECT_EQ(form->cmdLoad->text(), "載入所選擇的課程");
    EXPECT_EQ(form->cmdDownload->text(), "下載其他課程");
    EXPECT_EQ(rowsOf(form->lstClass), QStringList({"末行空白", kDemoName, "大小寫"}));
    EXPECT_EQ(form->lstClassName, QStringList({"BLANK", "DEMO", "MIXED"}));
    EXPECT_EQ(gInstalledCourses, "BLANK,DEMO,MIXED,");
    EXPECT_EQ(form->lstClass->currentRow(), 0);
    EXPECT_TRUE(form->cmdLoad->isEnabled());
}

TEST_F(ClassSelectTest, PlanTextsInLxvAndNamesAloneInTheServerEditions) {
    setUpEdition("LXV");
    writeDescriptor("abc.lxs", {"abc", "課程甲", "勤奮好學型", "40", "2024/3/1", "2024/4/10"});
    makeCourseFolder("abc", true);
    writeDescriptor("b.lxs", {"B", "課程乙", "NONE", "0", "2000/1/1", "2000/1/1"});
    makeCourseFolder("b", true);
    writeDescriptor("C.lxs", {"C", "課程丙", "", "0", "2000/1/1", "2000/1/1"});
    makeCourseFolder("C", true);
    writeDescriptor("D.lxs", {"D", "課程丁", "勤奮好學型", "forty", "someday", "2024/4/10"});
    makeCourseFolder("D", true);

    frmClassSelect* form = picker();
    EXPECT_EQ(rowsOf(form->lstClass),
              QStringList({"課程甲《勤奮好學型(40日)：2024/3/1～2024/4/10》",
                           "課程乙《未設定進度計劃》", "課程丙《未設定進度計劃》",
                           "課程丁《勤奮好學型(forty日)：someday～2024/4/10》"}));
    EXPECT_EQ(form->lstClassName, QStringList({"ABC", "B", "C", "D"}));
    EXPECT_EQ(gInstalledCourses, "ABC,B,C,D,");
    EXPECT_FALSE(saveScreenshot(form, "frmClassSelect").isEmpty());

    gEdition = "LXM";
    form->SetDefaultValue();
    EXPECT_EQ(rowsOf(form->lstClass), QStringList({"課程甲", "課程乙", "課程丙", "課程丁"}));
}

TEST_F(ClassSelectTest, AnEmptyListIsReportedOnceUntilItFillsAgain) {
    setUpEdition("LXV");
    MessageAnswerer answerer("OK");
    frmClassSelect* form = picker();
    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().at(0).contains("沒有找到任何已安裝課程。"));
    EXPECT_FALSE(form->cmdLoad->isEnabled());
    EXPECT_TRUE(form->cmdDownload->isEnabled());

    form->SetDefaultValue();
    EXPECT_EQ(answerer.texts().size(), 1);

    installDemoCourse();
    form->SetDefaultValue();
    EXPECT_TRUE(form->cmdLoad->isEnabled());
    EXPECT_EQ(answerer.texts().size(), 1);

    ASSERT_TRUE(QDir(productPath("DEMO")).removeRecursively());
    form->SetDefaultValue();
    EXPECT_EQ(answerer.texts().size(), 2);
    EXPECT_EQ(form->lstClass->count(), 0);
    EXPECT_EQ(gInstalledCourses, "");
}

TEST_F(ClassSelectTest, DownloadButtonSwapsThePickerForTheModalDownloadWindow) {
    setUpEdition("LXV");
    installDemoCourse();
    frmClassSelect* form = picker();
    bool downloadWasModal = false;
    WhenShown clickDownload(loadedForm<frmClassSelect>, [](QWidget* shown) {
        QTest::mouseClick(static_cast<frmClassSelect*>(shown)->cmdDownload, Qt::LeftButton);
    });
    // Closing the download window leads back to the picker, which is closed too.
    std::optional<WhenShown> closePickerAgain;
    WhenShown closeDownload(loadedForm<frmClassDownload>, [&](QWidget* shown) {
        downloadWasModal = QApplication::activeModalWidget() == shown;
        EXPECT_FALSE(FormInstance<frmClassSelect>::isLoaded());
        closePickerAgain.emplace(loadedForm<frmClassSelect>, closePicker);
        QTest::mouseClick(static_cast<frmClassDownload*>(shown)->imgClose, Qt::LeftButton);
    });
    form->showModal();

    EXPECT_TRUE(closeDownload.seen());
    EXPECT_TRUE(closePickerAgain && closePickerAgain->seen());
    EXPECT_TRUE(downloadWasModal);
    EXPECT_FALSE(FormInstance<frmClassDownload>::isLoaded());
    EXPECT_FALSE(FormInstance<frmClassSelect>::isLoaded());
}

// The opening of a course against the stand-in service.
class CourseOpeningTest : public ClassSelectTest {
protected:
    void SetUp() override {
        ClassSelectTest::SetUp();
        ASSERT_TRUE(standin.start());
    }

    // The start-up state after a sign-in, with DEMO as the course to open.
    void prepareDemo(const QString& edition) {
        setUpEdition(edition, standin.baseUrl());
        gServerURL = standin.baseUrl();
        installDemoCourse();
        setLastCourse("DEMO");
    }
    frmMain* startWithDemo(const QString& edition) {
        prepareDemo(edition);
        return FormInstance<frmMain>::get();
    }

    // A second installed course that the service does not know.
    void installCopyOfDemo(const QString& courseId) {
        const QString source = productPath("DEMO");
        const QString target = productPath(courseId);
        ASSERT_TRUE(QDir().mkpath(target));
        for (const QString& file : QDir(source).entryList(QDir::Files)) {
            ASSERT_TRUE(QFile::copy(source + "/" + file, target + "/" + file));
        }
        writeDescriptor(courseId + ".lxs",
                        {courseId, "另一課程", "NONE", "0", "2000/1/1", "2000/1/1"});
    }

    void uploadServerSentence(const QString& qcode, const QString& flag, const QString& errcode,
                              const QString& sentence) {
        QByteArray body = "key=quillmarrowed&regid=DEMOQ001&pass=demo&courseId=DEMO";
        body += "&qcode=" + qcode.toLatin1() + "&flag=" + flag.toLatin1() +
                "&errcode=" + errcode.toLatin1() + "&s=" + QUrl::toPercentEncoding(sentence);
        ASSERT_TRUE(standin.post("/p_proc_sentence.asp", body).answered);
    }

    QString demoDatabase(const QString& file) const {
        return "Data Source=" + productPath(demoFolder + "/" + file);
    }
    std::map<QString, QString> visitedStates() const {
        std::map<QString, QString> states;
        db::Recordset rows("select UNITID, VISITED from bswunit where UNITID like 'U%'",
                           demoDatabase("LexivoData.mdb"));
        for (; !rows.eof(); rows.moveNext()) {
            states[rows.text("UNITID")] = rows.text("VISITED");
        }
        return states;
    }
    QString visited(const QString& unitId) const { return visitedStates()[unitId]; }
    std::map<QString, qint64> mistakes() const {
        std::map<QString, qint64> counts;
        db::Recordset rows("select errcode, times from mistakes", demoDatabase("userData.mdb"));
        for (; !rows.eof(); rows.moveNext()) {
            counts[rows.text("errcode")] = rows.field("times").toLongLong();
        }
        return counts;
    }
    void setLocalRecords() {
        ASSERT_TRUE(db::execute("update bswunit set VISITED = '3' where UNITID = 'U1000101'",
                                demoDatabase("LexivoData.mdb")));
        ASSERT_TRUE(db::execute("delete from mistakes", demoDatabase("userData.mdb")));
        ASSERT_TRUE(
            db::execute("insert into mistakes values ('AR001', 4)", demoDatabase("userData.mdb")));
    }
    void expectLocalRecordsKept() {
        EXPECT_EQ(visited("U1000101"), "3");
        EXPECT_EQ(mistakes(), (std::map<QString, qint64>{{"AR001", 4}}));
    }
    static bool coursesMenusEnabled(frmMain* window) { return window->mnuPrint->isEnabled(); }

    // LXV with DEMO, and OTHER installed beside it, both with a plan, so
    // that no plan dialog comes between the learner and the course.
    void prepareDemoAndOther() {
        prepareDemo("LXV");
        writeDescriptor("DEMO.lxs",
                        {"DEMO", kDemoName, "勤奮好學型", "40", "2024/3/1", "2024/4/10"});
        installCopyOfDemo("OTHER");
        writeDescriptor("OTHER.lxs",
                        {"OTHER", "另一課程", "勤奮好學型", "40", "2024/3/1", "2024/4/10"});
    }
    // BROKEN is listed, but its database is empty.
    void installDamagedCourse() {
        writeDescriptor("BROKEN.lxs", {"BROKEN", "損毀課程", "NONE", "0", "2000/1/1", "2000/1/1"});
        makeCourseFolder("BROKEN", true);
    }

    StandinProcess standin;
    QString demoFolder = "DEMO";
};

TEST_F(CourseOpeningTest, ServerEditionLoadsProgressAndErrorCountsBeforeTheTree) {
    uploadServerSentence("U2000101", "2", "PU001", "I get up at seven");
    uploadServerSentence("U2000101", "2", "PU001", "I get up at six");
    uploadServerSentence("U2000102", "2", "DW001", "I I go to school.");
    uploadServerSentence("U2000102", "3", "0", "I go to school.");
    prepareDemo("LXQ");
    setLocalRecords();
    ASSERT_TRUE(standin.clearLog());

    frmMain* window = FormInstance<frmMain>::get();

    EXPECT_EQ(gCourseId, "DEMO");
    EXPECT_EQ(gServerCourseId, "DEMO");
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), "DEMO");
    EXPECT_EQ(window->treMain->count(), kDemoNodeCount);
    EXPECT_TRUE(coursesMenusEnabled(window));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(gStudyPageDirty);

    std::map<QString, QString> expected = visitedStates();
    for (auto& [unit, state] : expected) {
        state = unit == "U2000101" ? "2" : unit == "U2000102" ? "3" : "1";
    }
    EXPECT_EQ(visitedStates(), expected);
    EXPECT_EQ(mistakes(), (std::map<QString, qint64>{{"DW001", 1}, {"PU001", 2}}));
    EXPECT_EQ(shownMessage(), nullptr);

    const QStringList paths = loggedPaths(standin);
    EXPECT_TRUE(paths.contains("/p_getcourse.asp"));
    EXPECT_FALSE(paths.contains("/p_all_setmemo.asp"));
    for (const StandinRequest& request : standin.log()) {
        if (request.path.endsWith("p_getprogress.asp") ||
            request.path.endsWith("p_getmistakes.asp")) {
            EXPECT_EQ(request.query, "key=quillmarrowed&regid=DEMOQ001&courseid=DEMO");
            EXPECT_TRUE(request.body.isEmpty());
        }
    }
    EXPECT_EQ(paths.filter("p_getprogress.asp").size(), 1);
    EXPECT_EQ(paths.filter("p_getmistakes.asp").size(), 1);
}

TEST_F(CourseOpeningTest, AnErrReplyLeavesOnlyItsOwnTableUntouched) {
    startWithDemo("LXQ");
    setLocalRecords();
    ASSERT_TRUE(standin.setMode("p_getprogress.asp", "err:ERR_NOTFOUND"));
    ASSERT_TRUE(standin.setMode("p_getmistakes.asp", "err:CP001:12"));
    picker()->ReloadClass("DEMO");
    EXPECT_EQ(visited("U1000101"), "3");
    EXPECT_EQ(mistakes(), (std::map<QString, qint64>{{"CP001", 12}}));

    setLocalRecords();
    ASSERT_TRUE(standin.setMode("p_getprogress.asp", "err:U2000101:2"));
    ASSERT_TRUE(standin.setMode("p_getmistakes.asp", "err:ERR_NOTFOUND"));
    picker()->ReloadClass("DEMO");
    EXPECT_EQ(visited("U1000101"), "1");
    EXPECT_EQ(visited("U2000101"), "2");
    EXPECT_EQ(mistakes(), (std::map<QString, qint64>{{"AR001", 4}}));
}

// An odd item costs only itself: its unit stays at '1', its count is left
// out; an empty item ends the list.
TEST_F(CourseOpeningTest, ItemsAreReadOneByOne) {
    startWithDemo("LXQ");
    setLocalRecords();
    ASSERT_TRUE(standin.setMode("p_getprogress.asp",
                                "err:U2000101:2,U2000102:0,U2000103:3\r\n,,U3000101:3"));
    ASSERT_TRUE(standin.setMode("p_getmistakes.asp",
                                "err:PU001:2,AR001,DW001:x,CP001:1)--,AR002: 5\r\n,,AR003:1"));
    picker()->ReloadClass("DEMO");
    for (const auto& [unit, state] : visitedStates()) {
        EXPECT_EQ(state, unit == "U2000101" ? "2" : "1") << unit.toStdString();
    }
    EXPECT_EQ(mistakes(), (std::map<QString, qint64>{{"AR002", 5}, {"PU001", 2}}));
}

// The item that fails is not the last one: the counts written after it do
// not make the opening's write count as done.
TEST_F(CourseOpeningTest, AMistakeThatCannotBeWrittenKeepsTheLearnersCounts) {
    startWithDemo("LXQ");
    setLocalRecords();
    ASSERT_TRUE(
        db::execute("create trigger refuse_dw before insert on mistakes "
                    "when new.errcode = 'DW001' begin select raise(abort, 'refused'); end",
                    demoDatabase("userData.mdb")));
    ASSERT_TRUE(standin.setMode("p_getmistakes.asp", "err:DW001:1,PU001:2"));
    picker()->ReloadClass("DEMO");
    EXPECT_EQ(mistakes(), (std::map<QString, qint64>{{"AR001", 4}}));
}

TEST_F(CourseOpeningTest, LongListsRunInBatchesAndServiceTextIsQuotedInSql) {
    startWithDemo("LXQ");
    QString progress;
    for (const auto& [unit, state] : visitedStates()) {
        if (unit.right(2) != "00") {
            progress += unit + ":3,";
        }
    }
    // Fifteen units of one state make more than one statement.
    ASSERT_TRUE(standin.setMode("p_getprogress.asp", "err:" + progress + "O'Brien:2,"));
    ASSERT_TRUE(standin.setMode("p_getmistakes.asp", "err:A'B:3,CP001:12"));

    picker()->ReloadClass("DEMO");

    for (const auto& [unit, state] : visitedStates()) {
        EXPECT_EQ(state, unit.right(2) == "00" ? "1" : "3") << unit.toStdString();
    }
    EXPECT_EQ(mistakes(), (std::map<QString, qint64>{{"A'B", 3}, {"CP001", 12}}));
}

TEST_F(CourseOpeningTest, AnEmptyProgressListResetsEveryUnit) {
    startWithDemo("LXQ");
    setLocalRecords();
    ASSERT_TRUE(standin.setMode("p_getprogress.asp", "err:"));
    picker()->ReloadClass("DEMO");
    EXPECT_EQ(visited("U1000101"), "1");
}

TEST_F(CourseOpeningTest, ARefusedCourseLeavesTheOpenCourseInPlace) {
    frmMain* window = startWithDemo("LXQ");
    installCopyOfDemo("OTHER");
    const QString courseConn = gCourseConnStr;
    const QString userConn = gUserConnStr;
    bool commandsWhileAsked = true;
    MessageAnswerer answerer("OK", [&] { commandsWhileAsked = coursesMenusEnabled(window); });

    picker()->ReloadClass("OTHER");

    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().at(0).contains("請您載入正確的課程"));
    EXPECT_FALSE(commandsWhileAsked);
    EXPECT_EQ(gCourseId, "DEMO");
    EXPECT_EQ(gServerCourseId, "DEMO");
    EXPECT_EQ(gCourseConnStr, courseConn);
    EXPECT_EQ(gUserConnStr, userConn);
    EXPECT_EQ(window->treMain->count(), kDemoNodeCount);
    EXPECT_NE(window->treMain->nodeByKey("U1000100"), nullptr);
    EXPECT_TRUE(coursesMenusEnabled(window));
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), "DEMO");
    EXPECT_FALSE(FormInstance<frmClassSelect>::isLoaded());
}

TEST_F(CourseOpeningTest, ACourseRefusedFromThePickerUnloadsThePicker) {
    frmMain* window = startWithDemo("LXQ");
    installCopyOfDemo("OTHER");
    MessageAnswerer answerer("OK");
    WhenShown pickOther(loadedForm<frmClassSelect>, [](QWidget* shown) {
        auto* form = static_cast<frmClassSelect*>(shown);
        form->lstClass->setCurrentRow(int(form->lstClassName.indexOf("OTHER")));
        QTest::mouseClick(form->cmdLoad, Qt::LeftButton);
    });

    picker()->showModal();

    EXPECT_TRUE(pickOther.seen());
    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_FALSE(FormInstance<frmClassSelect>::isLoaded());
    EXPECT_EQ(gCourseId, "DEMO");
    EXPECT_EQ(window->treMain->count(), kDemoNodeCount);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(CourseOpeningTest, AccountServerEditionOpensOnlyThePermittedCourses) {
    frmMain* window = startWithDemo("LXM");
    gAllowedCourses = "X01|demo";
    installCopyOfDemo("OTHER");
    QList<int> icons;
    MessageAnswerer answerer("OK", [&icons] { icons << shownMessageIcon(); });
    ASSERT_TRUE(standin.clearLog());

    picker()->ReloadClass("OTHER");

    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().at(0).contains("抱歉，您所要求的課程尚未獲得授權"));
    EXPECT_EQ(icons, QList<int>{1});
    EXPECT_TRUE(loggedPaths(standin).isEmpty());
    EXPECT_EQ(gCourseId, "DEMO");
    EXPECT_EQ(window->treMain->count(), kDemoNodeCount);
    EXPECT_TRUE(coursesMenusEnabled(window));
    EXPECT_TRUE(window->isEnabled());

    picker()->ReloadClass("DEMO");
    EXPECT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(loggedPaths(standin).contains("/p_getcourse.asp"));
}

TEST_F(CourseOpeningTest, ANewerServiceVersionOffersTheDownloadThenOpensTheCourse) {
    frmMain* window = startWithDemo("LXQ");
    const QString versionFile = productPath("DEMO/DEMO.ver");
    ASSERT_EQ(big5::readLines(versionFile), QStringList{"2024.1"});
    ASSERT_TRUE(big5::writeLines(versionFile, {"2023.9"}));
    ASSERT_TRUE(standin.clearLog());
    QList<int> icons;
    MessageAnswerer answerer("OK", [&icons] { icons << shownMessageIcon(); });
    bool downloadWasModal = false;
    std::optional<WhenShown> closePickerAgain;
    WhenShown closeDownload(loadedForm<frmClassDownload>, [&](QWidget* shown) {
        downloadWasModal = QApplication::activeModalWidget() == shown;
        closePickerAgain.emplace(loadedForm<frmClassSelect>, closePicker);
        QTest::mouseClick(static_cast<frmClassDownload*>(shown)->imgClose, Qt::LeftButton);
    });

    picker()->ReloadClass("DEMO");

    EXPECT_TRUE(closePickerAgain && closePickerAgain->seen());
    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().at(0).contains("[" + kDemoName + "]的資料庫已經有更新！"));
    EXPECT_EQ(icons, QList<int>{1});
    EXPECT_TRUE(closeDownload.seen());
    EXPECT_TRUE(downloadWasModal);
    EXPECT_EQ(gCourseId, "DEMO");
    EXPECT_TRUE(loggedPaths(standin).contains("/p_getcourse.asp"));
    EXPECT_EQ(window->treMain->count(), kDemoNodeCount);
    EXPECT_EQ(big5::readLines(versionFile), QStringList{"2023.9"});
}

// The picker that the download window brings back offers every installed
// course; one the account may not open stays shut after the version road.
TEST_F(CourseOpeningTest, ACourseNotPermittedStaysShutWhenPickedOnTheVersionRoad) {
    frmMain* window = startWithDemo("LXM");
    installCopyOfDemo("OTHER");
    ASSERT_TRUE(big5::writeLines(productPath("DEMO/DEMO.ver"), {"2023.9"}));
    // The service itself would accept the course.
    ASSERT_TRUE(standin.setMode("p_getcourse.asp", "err:OK_OTHER#Other#2024.1"));
    const QString courseConn = gCourseConnStr;
    ASSERT_TRUE(standin.clearLog());
    MessageAnswerer answerer("OK");
    std::optional<WhenShown> pickOther;
    WhenShown closeDownload(loadedForm<frmClassDownload>, [&](QWidget* shown) {
        pickOther.emplace(loadedForm<frmClassSelect>, [](QWidget* offered) {
            auto* form = static_cast<frmClassSelect*>(offered);
            form->lstClass->setCurrentRow(int(form->lstClassName.indexOf("OTHER")));
            QTest::mouseClick(form->cmdLoad, Qt::LeftButton);
        });
        QTest::mouseClick(static_cast<frmClassDownload*>(shown)->imgClose, Qt::LeftButton);
    });

    picker()->ReloadClass("DEMO");

    ASSERT_TRUE(pickOther && pickOther->seen());
    ASSERT_EQ(answerer.texts().size(), 2);
    EXPECT_TRUE(answerer.texts().at(0).contains("[" + kDemoName + "]的資料庫已經有更新！"));
    EXPECT_TRUE(answerer.texts().at(1).contains("抱歉，您所要求的課程尚未獲得授權"));
    for (const StandinRequest& request : standin.log()) {
        EXPECT_FALSE(QString::fromLatin1(request.query + "&" + request.body)
                         .contains("courseid=OTHER", Qt::CaseInsensitive))
            << request.path.toStdString();
    }
    EXPECT_EQ(gCourseId, "DEMO");
    EXPECT_EQ(gCourseConnStr, courseConn);
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), "DEMO");
    EXPECT_EQ(window->treMain->count(), kDemoNodeCount);
    EXPECT_TRUE(coursesMenusEnabled(window));
    EXPECT_TRUE(window->isEnabled());
}

// The learner leaves by Ctrl+X while the opening's please-wait box is up and
// confirms: the program ends there, and the opening goes no further.
TEST_F(CourseOpeningTest, AnExitConfirmedDuringAnOpeningEndsTheProgramThere) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            frmMain* window = startWithDemo("LXM");
            MessageAnswerer answerer("OK");
            QTimer learner;
            QObject::connect(&learner, &QTimer::timeout, [&] {
                const frmMessage* box = shownMessage();
                if (box && box->picProgress->isVisible() && window->isEnabled()) {
                    learner.stop();
                    window->activateWindow();
                    QTest::keyClick(window->windowHandle(), Qt::Key_X, Qt::ControlModifier);
                }
            });
            learner.start(0);
            picker()->ReloadClass("DEMO");
            std::fprintf(stderr, "the opening went on\n");
            std::_Exit(1);
        },
        ::testing::ExitedWithCode(0), "");
}

// A package may name the course's folder and descriptor in lower case; the
// course is still the one of the upper-case id, and its files are its own.
TEST_F(CourseOpeningTest, ACourseNamedInLowerCaseOpensFromThePickerWithItsOwnFiles) {
    uploadServerSentence("U2000101", "2", "PU001", "I get up at seven");
    setUpEdition("LXQ", standin.baseUrl());
    gServerURL = standin.baseUrl();
    demoFolder = "demo";
    installDemoCourse(demoFolder);
    writeBytes(productPath("demo/node.set"), "\"U2000100\"\r\n");
    MessageAnswerer answerer("OK");
    // A picker that cannot open the course is closed, so that the test ends.
    WhenShown pick(loadedForm<frmClassSelect>, [](QWidget* shown) {
        const QPointer<QWidget> form = shown;
        clickThroughWindow(static_cast<frmClassSelect*>(shown)->cmdLoad);
        if (form && form->isVisible()) {
            closePicker(form);
        }
    });

    frmMain* window = FormInstance<frmMain>::get();

    EXPECT_TRUE(pick.seen());
    EXPECT_TRUE(answerer.texts().isEmpty());
    EXPECT_EQ(picker()->lstClassName, QStringList{"DEMO"});
    EXPECT_EQ(gCourseId, "DEMO");
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), "DEMO");
    EXPECT_EQ(window->treMain->count(), kDemoNodeCount);
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "coursePath"), productPath("demo"));
    EXPECT_EQ(visited("U2000101"), "2");
    EXPECT_EQ(mistakes(), (std::map<QString, qint64>{{"PU001", 1}}));
    EXPECT_EQ(gNodeKey, "U2000100");
    EXPECT_TRUE(big5::readFile(productPath("manual/tmp.htm"))
                    .contains("src='" + productPath("demo/pic/unit2.png") + "'"));
    EXPECT_EQ(QDir(productPath("")).entryList({"demo*"}, QDir::AllEntries),
              QStringList({"demo", "demo.lxs"}));
}

TEST_F(CourseOpeningTest, StartWithoutCourseOpensTheCoursePickedInTheModalPicker) {
    setUpEdition("LXV", standin.baseUrl());
    installDemoCourse();
    bool pickerWasModal = false;
    WhenShown pick(loadedForm<frmClassSelect>, [&](QWidget* shown) {
        pickerWasModal = QApplication::activeModalWidget() == shown;
        QTest::mouseClick(static_cast<frmClassSelect*>(shown)->cmdLoad, Qt::LeftButton);
    });

    frmMain* window = FormInstance<frmMain>::get();

    EXPECT_TRUE(pick.seen());
    EXPECT_TRUE(pickerWasModal);
    EXPECT_EQ(gCourseId, "DEMO");
    EXPECT_EQ(window->treMain->count(), kDemoNodeCount);
    // The demo course has no study plan yet: the dialog that asks for one
    // holds the window until it closes.
    ASSERT_TRUE(FormInstance<frmSchedule>::isLoaded());
    EXPECT_FALSE(window->isEnabled());
    FormInstance<frmSchedule>::get()->imgClose_Click();
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), "DEMO");
    ASSERT_TRUE(FormInstance<frmClassSelect>::isLoaded());
    EXPECT_FALSE(picker()->isVisible());

    const QStringList paths = loggedPaths(standin);
    EXPECT_TRUE(paths.contains("/p_all_setmemo.asp"));
    EXPECT_FALSE(paths.contains("/p_getcourse.asp"));
    EXPECT_TRUE(paths.filter("p_getprogress.asp").isEmpty());
}

// Beneath a plan dialog left open the learner could open another course,
// whose plan the dialog would then rewrite.
TEST_F(CourseOpeningTest, ACoursePickedFromTheMenuWithoutAPlanIsHeldByItsPlanDialog) {
    prepareDemo("LXV");
    writeDescriptor("DEMO.lxs", {"DEMO", kDemoName, "勤奮好學型", "40", "2024/3/1", "2024/4/10"});
    installCopyOfDemo("OTHER");
    frmMain* window = FormInstance<frmMain>::get();
    ASSERT_FALSE(FormInstance<frmSchedule>::isLoaded());
    WhenShown pickOther(loadedForm<frmClassSelect>, loadCourse("OTHER"));

    window->mnuFileOpen->trigger();

    EXPECT_TRUE(pickOther.seen());
    EXPECT_EQ(gCourseId, "OTHER");
    ASSERT_TRUE(FormInstance<frmSchedule>::isLoaded());
    EXPECT_FALSE(window->isEnabled());
    EXPECT_FALSE(menuOpensThroughWindow(window->menuBar(), window->mnuFile));
    clickThroughWindow(FormInstance<frmSchedule>::get()->imgClose);
    EXPECT_TRUE(window->isEnabled());
}

// On the version road too: the course picked again once the download
// window has closed opens with its plan dialog over a disabled main window.
TEST_F(CourseOpeningTest, ACourseOpenedOnTheVersionRoadWithoutAPlanIsHeldByItsPlanDialog) {
    prepareDemo("LXV");
    writeDescriptor("DEMO.lxs", {"DEMO", kDemoName, "勤奮好學型", "40", "2024/3/1", "2024/4/10"});
    installCopyOfDemo("OTHER");
    ASSERT_TRUE(big5::writeLines(productPath("OTHER/OTHER.ver"), {"2023.9"}));
    frmMain* window = FormInstance<frmMain>::get();
    ASSERT_TRUE(standin.setMode("p_lxv_getcoursever.asp", "err:2024.1"));
    MessageAnswerer answerer("OK");
    std::optional<WhenShown> closePickerAgain;
    WhenShown closeDownload(loadedForm<frmClassDownload>, [&](QWidget* shown) {
        closePickerAgain.emplace(loadedForm<frmClassSelect>, closePicker);
        clickThroughWindow(static_cast<frmClassDownload*>(shown)->imgClose);
    });

    picker()->ReloadClass("OTHER");

    EXPECT_TRUE(closePickerAgain && closePickerAgain->seen());
    EXPECT_EQ(gCourseId, "OTHER");
    ASSERT_TRUE(FormInstance<frmSchedule>::isLoaded());
    EXPECT_FALSE(window->isEnabled());
    clickThroughWindow(FormInstance<frmSchedule>::get()->imgClose);
    EXPECT_TRUE(window->isEnabled());
}

// A course that the learner picks while the start runs the click of the
// question it reselected, and the course then shown with its selection.
struct PickedDuringStart {
    const char* picked;
    const char* shown;
    int nodes;
    const char* selected;
};

void PrintTo(const PickedDuringStart& course, std::ostream* out) {
    *out << course.picked;
}

class PickedDuringStartTest : public CourseOpeningTest,
                              public ::testing::WithParamInterface<PickedDuringStart> {};

// The learner opens a course from the menu while the start still runs the
// click of the question it reselected. One that opens replaces the start's
// tree: that click and the tree stop where they find it replaced, and the
// course shows as it comes, at its own saved unit. A damaged one is refused,
// and the start's course stays open under its own id.
TEST_P(PickedDuringStartTest, OneCourseShowsWholeUnderItsOwnId) {
    prepareDemoAndOther();
    writeBytes(productPath("DEMO/node.set"), "\"QUIZ_U1000102\"\r\n");
    writeBytes(productPath("OTHER/node.set"), "\"U1000100\"\r\n");
    // The other course lacks the third unit, which the start would go on to add.
    ASSERT_TRUE(db::execute("delete from bswunit where UNITID like 'U3%'",
                            "Data Source=" + productPath("OTHER/LexivoData.mdb")));
    installDamagedCourse();
    QTimer learner;
    QObject::connect(&learner, &QTimer::timeout, [&learner] {
        if (gNodeKey == "QUIZ_U1000102") {
            learner.stop();
            FormInstance<frmMain>::get()->mnuFileOpen->trigger();
        }
    });
    learner.start(0);
    WhenShown pick(loadedForm<frmClassSelect>, loadCourse(GetParam().picked));
    MessageAnswerer answerer("OK");

    frmMain* window = FormInstance<frmMain>::get();

    ASSERT_TRUE(pick.seen());
    const QString shown = GetParam().shown;
    EXPECT_EQ(gCourseId, shown);
    EXPECT_TRUE(gCourseConnStr.contains("/Lexivo2/" + shown + "/LexivoData.mdb"));
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), shown);
    EXPECT_EQ(window->treMain->count(), GetParam().nodes);
    EXPECT_EQ(window->treMain->selectedItem(), window->treMain->nodeByKey(GetParam().selected));
    EXPECT_EQ(gQuizSelected, gNodeKey.startsWith("QUIZ_"));
    EXPECT_EQ(window->txtInput->isVisible(), gQuizSelected);
}

INSTANTIATE_TEST_SUITE_P(Courses, PickedDuringStartTest,
                         ::testing::Values(PickedDuringStart{"OTHER", "OTHER", 13, "U1000100"},
                                           PickedDuringStart{"BROKEN", "DEMO", 19,
                                                             "QUIZ_U1000102"}));

// A damaged course, for which the service holds a plan, is refused over the
// open one: the open course keeps its plan, which clearing its progress then
// writes as its own, and stays the course that the next start opens.
TEST_F(CourseOpeningTest, ADamagedCourseRefusedOverTheOpenOneLeavesItsPlanAndPlace) {
    prepareDemoAndOther();
    frmMain* window = FormInstance<frmMain>::get();
    installDamagedCourse();
    ASSERT_EQ(SetMemoServer("PUT", "20@2024/5/1@2024/5/20", gPno, "BROKEN").left(3), "OK#");
    MessageAnswerer answerer("OK");
    WhenShown pickBroken(loadedForm<frmClassSelect>, loadCourse("BROKEN"));
    window->mnuFileOpen->trigger();
    ASSERT_EQ(answerer.trimmedTexts(), QStringList{"無法找到指定的課程內容。"});
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), "DEMO");

    window->mnuCleanSchedule->trigger();

    EXPECT_EQ(big5::readLines(productPath("DEMO.lxs")).mid(1, 3),
              QStringList({kDemoName, "勤奮好學型", "40"}));
}

// The saved node of the course opened from the menu is no longer in it (an
// update renumbered its questions): nothing is selected, and the question
// of the course before is not left open to an answer in this one.
TEST_F(CourseOpeningTest, ACourseThatReselectsNothingLeavesNoQuestionOpen) {
    prepareDemoAndOther();
    frmMain* window = FormInstance<frmMain>::get();
    writeBytes(productPath("OTHER/node.set"), "\"QUIZ_U1000109\"\r\n");
    window->treMain->clickNode(window->treMain->nodeByKey("QUIZ_U1000102"));
    ASSERT_TRUE(window->txtInput->isVisible());
    WhenShown pickOther(loadedForm<frmClassSelect>, loadCourse("OTHER"));

    window->mnuFileOpen->trigger();

    ASSERT_TRUE(pickOther.seen());
    EXPECT_EQ(gCourseId, "OTHER");
    EXPECT_EQ(window->treMain->selectedItem(), nullptr);
    EXPECT_FALSE(gQuizSelected);
    EXPECT_EQ(gNodeKey, "");
    EXPECT_FALSE(window->txtInput->isVisible());
    EXPECT_EQ(window->stbStatus->currentMessage(), "請選擇一個單元或練習內容");
}

}  // namespace
