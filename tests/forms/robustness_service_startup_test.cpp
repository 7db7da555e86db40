#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "platform/waituntil.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/install.h"
#include "shared/servicescripts.h"
#include "shared/settingsfiles.h"
#include "startup/frmClassDownload.h"
#include "startup/frmClassSelect.h"
#include "startup/frmLogin.h"
#include "startup/frmLXMLogin.h"
#include "startup/frmPublisher.h"
#include "startup/frmSchedule.h"
#include "startup/frmStartup.h"
#include "tests/forms/servicefaultfixture.h"
#include "tests/support/focusleave.h"
#include "tests/support/messagewindow.h"
#include "tests/support/pickercloser.h"
#include "tests/support/windowsystem.h"
#include "workspace/frmMain.h"

// The start-up, the sign-ins, the course opening and the course download
// meet a service that is down, silent past the time-outs, answering with an
// "ERR_" code, or sending garbage.

namespace {

constexpr const char* kNetworkDown = "目前網路中斷或傳輸品質不佳，請檢查網路連線";
constexpr const char* kServerNotFound = "無法找到伺服器！請檢查是否有誤。";
constexpr const char* kNoServerForAccount = "帳號管理伺服器回報您的帳號不屬於任何伺服器所管理";
constexpr const char* kCannotObtain = "* 無法正確取得 *";
constexpr const char* kWrongCourse = "請您載入正確的課程";
constexpr const char* kDownloadFailed = "課程下載失敗，請檢查網路連線後再試一次。";
constexpr const char* kBrokenPackage = "無法安裝所選擇的課程";
constexpr const char* kFolderNotWritable = "無法寫入本程式的資料夾";

// A fault and the start of the message that it must bring ("" for none).
struct FaultAndMessage {
    ServiceFault fault;
    const char* message;
};

std::string faultAndMessageName(const ::testing::TestParamInfo<FaultAndMessage>& info) {
    return faultName(info.param.fault);
}

// ---- The publisher news and the version check at the start ----

using NewsFaultTest = FaultTest<>;

TEST_P(NewsFaultTest, ShowsNoNewsAndTheStartGoesOn) {
    setUpEdition("LXV", standin.baseUrl());
    frmPublisher::RegisterAsNewsWindow();
    applyFault(GetParam());
    MessageAnswerer answerer("OK");

    EXPECT_EQ(GetPublisherNews(), "");
    EXPECT_FALSE(FormInstance<frmPublisher>::isLoaded());
    EXPECT_TRUE(answerer.texts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Faults, NewsFaultTest,
                         ::testing::Values(ServiceFault{"", "stopped"},
                                           ServiceFault{"p_publisher_news.asp", "silent"},
                                           ServiceFault{"p_publisher_news.asp", "garbage"}),
                         faultTestName<ServiceFault>);

class VersionFaultTest : public FaultTest<FaultAndMessage> {};

TEST_P(VersionFaultTest, OffersNoUpdateAndTheStartGoesOn) {
    setUpEdition("LXV", standin.baseUrl());
    applyFault(GetParam().fault);
    MessageAnswerer answerer("OK");
    frmStartup startup;

    EXPECT_TRUE(startup.CheckServerVersion());
    const QString message = GetParam().message;
    EXPECT_EQ(answerer.trimmedTexts(), message.isEmpty() ? QStringList() : QStringList{message});
}

INSTANTIATE_TEST_SUITE_P(
    Faults, VersionFaultTest,
    ::testing::Values(FaultAndMessage{{"", "stopped"}, kNetworkDown},
                      FaultAndMessage{{"p_getversion.asp", "offline"}, kNetworkDown},
                      FaultAndMessage{{"p_getversion.asp", "silent"}, kNetworkDown},
                      FaultAndMessage{{"p_getversion.asp", "garbage"}, ""}),
    faultAndMessageName);

// ---- The server sign-in (LXQ) ----

class LoginFaultTest : public FaultTest<FaultAndMessage> {
protected:
    void SetUp() override {
        FaultTest::SetUp();
        setUpEdition("LXQ");
        gLoginDone = false;
        gLoginOK = false;
    }
    frmLogin* fill() {
        frmLogin* form = FormInstance<frmLogin>::get();
        form->txtLogin->setText("DEMOQ001");
        form->txtPassword->setText("demo");
        form->cboServer->setEditText(QStringLiteral("127.0.0.1:%1").arg(standin.port()));
        return form;
    }
};

// The form stays open for another try, and remembers no server.
TEST_P(LoginFaultTest, SaysWhyAndStaysOpen) {
    frmLogin* form = fill();
    applyFault(GetParam().fault);
    MessageAnswerer answerer("OK");
    QTest::mouseClick(form->cmdLogin, Qt::LeftButton);

    EXPECT_EQ(answerer.trimmedTexts(), QStringList{GetParam().message});
    EXPECT_FALSE(gLoginDone);
    ASSERT_TRUE(FormInstance<frmLogin>::isLoaded());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(QFile::exists(ProductFolder() + "/ServerList.set"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LoginFaultTest,
    ::testing::Values(FaultAndMessage{{"", "stopped"}, kServerNotFound},
                      FaultAndMessage{{"p_getlogin.asp", "offline"}, kServerNotFound},
                      FaultAndMessage{{"p_getlogin.asp", "silent"}, kServerNotFound},
                      FaultAndMessage{{"p_getlogin.asp", "err:ERR_NOTFOUND"}, "帳號有誤，請檢查！"},
                      FaultAndMessage{{"p_getlogin.asp", "err:ERR_WRONG_PASSWORD"},
                                      "帳號或密碼有誤，請檢查！"}),
    faultAndMessageName);

// Leaving the login box signs in quietly; whatever the service does, the
// form is usable again afterwards.
TEST_F(ServiceFaultTest, LeavingTheLoginBoxWithASilentServiceLeavesTheFormUsable) {
    setUpEdition("LXQ");
    // As the start-up leaves it before it shows the form.
    gLoginDone = false;
    frmLogin* form = FormInstance<frmLogin>::get();
    form->cboServer->setEditText(QStringLiteral("127.0.0.1:%1").arg(standin.port()));
    applyFault({"p_getlogin.asp", "silent"});
    MessageAnswerer answerer("OK");
    QTest::keyClicks(form->txtLogin, "DEMOQ001");
    leave(form->txtLogin);

    EXPECT_TRUE(answerer.texts().isEmpty());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(gLoginDone);
}

// ---- The account-server sign-in (LXM) ----

class LXMLookupFaultTest : public FaultTest<FaultAndMessage> {};

TEST_P(LXMLookupFaultTest, SaysWhyAndShowsThatNoServerIsKnown) {
    setUpEdition("LXM", standin.baseUrl());
    applyFault(GetParam().fault);
    MessageAnswerer answerer("OK");
    frmLXMLogin* form = FormInstance<frmLXMLogin>::get();
    QTest::keyClicks(form->txtLogin, "DEMOM001");
    leave(form->txtLogin);

    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().first().trimmed().startsWith(GetParam().message));
    EXPECT_EQ(form->lblACServer->text(), kCannotObtain);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(shownMessage(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LXMLookupFaultTest,
    ::testing::Values(FaultAndMessage{{"", "stopped"}, kServerNotFound},
                      FaultAndMessage{{"p_server_get.asp", "offline"}, kServerNotFound},
                      FaultAndMessage{{"p_server_get.asp", "silent"}, kServerNotFound},
                      FaultAndMessage{{"p_server_get.asp", "garbage"}, kServerNotFound},
                      FaultAndMessage{{"p_server_get.asp", "err:ERR_NOTFOUND"},
                                      kNoServerForAccount}),
    faultAndMessageName);

TEST_F(ServiceFaultTest, AnLXMSignInThatFindsNoServiceSaysSoAndStaysOpen) {
    setUpEdition("LXM", standin.baseUrl());
    gLoginDone = false;
    frmLXMLogin* form = FormInstance<frmLXMLogin>::get();
    QTest::keyClicks(form->txtLogin, "DEMOM001");
    leave(form->txtLogin);
    ASSERT_FALSE(form->lblACServer->text().startsWith('*'));
    form->txtPassword->setText("demo");
    applyFault({"p_getlogin.asp", "silent"});
    MessageAnswerer answerer("OK");
    QTest::mouseClick(form->cmdLogin, Qt::LeftButton);

    EXPECT_EQ(answerer.trimmedTexts(), QStringList{kServerNotFound});
    EXPECT_FALSE(gLoginDone);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(QFile::exists(ProductFolder() + "/lxmcert.set"));
}

// ---- The course opening ----

class OpeningFaultTest : public FaultTest<FaultAndMessage> {
protected:
    frmClassSelect* picker() { return FormInstance<frmClassSelect>::get(); }
    void expectCourseOpen() {
        EXPECT_EQ(gCourseId, "DEMO");
        EXPECT_GT(window->treMain->count(), 0);
        EXPECT_TRUE(window->mnuPrint->isEnabled());
        expectUsable(window);
    }
};

using LXVOpeningFaultTest = OpeningFaultTest;

// The course opens with the records and the data version it has.
TEST_P(LXVOpeningFaultTest, OpensTheCourseAsItIsHere) {
    openMainWindow();
    addLocalRecords();
    const QStringList before = localRecords();
    const QString versionFile = ProductFolder() + "/DEMO/DEMO.ver";
    const QByteArray version = readBytes(versionFile);
    applyFault(GetParam().fault);
    MessageAnswerer answerer("OK");
    PickerCloser closer(true);
    picker()->ReloadClass("DEMO");

    EXPECT_TRUE(answerer.texts().isEmpty());
    EXPECT_EQ(closer.shown(), 0);
    // The course has no plan: the dialog that asks for one holds the window
    // until it closes.
    ASSERT_TRUE(FormInstance<frmSchedule>::isLoaded());
    EXPECT_FALSE(window->isEnabled());
    clickThroughWindow(FormInstance<frmSchedule>::get()->imgClose);
    expectCourseOpen();
    EXPECT_EQ(localRecords(), before);
    EXPECT_EQ(readBytes(versionFile), version);
    EXPECT_FALSE(FormInstance<frmClassDownload>::isLoaded());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LXVOpeningFaultTest,
    ::testing::Values(FaultAndMessage{{"", "stopped"}, ""},
                      FaultAndMessage{{"p_lxv_getcoursever.asp", "offline"}, ""},
                      FaultAndMessage{{"p_lxv_getcoursever.asp", "silent"}, ""},
                      FaultAndMessage{{"p_lxv_getcoursever.asp", "garbage"}, ""},
                      FaultAndMessage{{"p_lxv_getcoursever.asp", "err:ERR_NOTFOUND"}, ""},
                      FaultAndMessage{{"p_all_setmemo.asp", "silent"}, ""}),
    faultAndMessageName);

// A first opening that meets garbage writes no version: the next opening
// still takes the service's version.
TEST_F(ServiceFaultTest, AGarbledVersionAtTheFirstOpeningIsNotStored) {
    applyFault({"p_lxv_getcoursever.asp", "garbage"});
    openMainWindow();
    EXPECT_FALSE(QFile::exists(ProductFolder() + "/DEMO/DEMO.ver"));

    ASSERT_TRUE(standin.setMode("p_lxv_getcoursever.asp", "normal"));
    MessageAnswerer answerer("OK");
    PickerCloser closer(true);
    FormInstance<frmClassSelect>::get()->ReloadClass("DEMO");
    EXPECT_TRUE(answerer.texts().isEmpty());
    EXPECT_EQ(readBytes(ProductFolder() + "/DEMO/DEMO.ver").trimmed(), "2024.1");
}

// What a fault at the LXQ opening must leave as it was.
enum class Kept { Everything, Progress, Mistakes, Nothing };

struct OpeningFault {
    ServiceFault fault;
    const char* message;
    Kept kept;
};

std::string openingFaultName(const ::testing::TestParamInfo<OpeningFault>& info) {
    return faultName(info.param.fault);
}

class LXQOpeningFaultTest : public FaultTest<OpeningFault> {
protected:
    QStringList keptRecords() const {
        switch (GetParam().kept) {
            case Kept::Progress:
                return rowTexts("select UNITID, VISITED from bswunit order by UNITID",
                                gCourseConnStr);
            case Kept::Mistakes:
                return rowTexts("select * from mistakes order by 1", gUserConnStr);
            case Kept::Nothing:
                return {};
            case Kept::Everything:
                break;
        }
        return localRecords();
    }
};

// A refused course (message 2979) keeps everything; a list that does not
// arrive leaves its records as they were, while the course opens with the
// other.
TEST_P(LXQOpeningFaultTest, RefusesOrOpensKeepingTheLocalRecords) {
    openMainWindow("LXQ");
    addLocalRecords();
    const QStringList before = keptRecords();
    applyFault(GetParam().fault);
    MessageAnswerer answerer("OK");
    FormInstance<frmClassSelect>::get()->ReloadClass("DEMO");

    const QString message = GetParam().message;
    EXPECT_EQ(answerer.trimmedTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    EXPECT_EQ(keptRecords(), before);
    EXPECT_EQ(gCourseId, "DEMO");
    EXPECT_GT(window->treMain->count(), 0);
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
    expectUsable(window);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LXQOpeningFaultTest,
    ::testing::Values(OpeningFault{{"", "stopped"}, kWrongCourse, Kept::Everything},
                      OpeningFault{{"p_getcourse.asp", "offline"}, kWrongCourse, Kept::Everything},
                      OpeningFault{{"p_getcourse.asp", "silent"}, kWrongCourse, Kept::Everything},
                      OpeningFault{
                          {"p_getcourse.asp", "err:ERR_NOTFOUND"}, kWrongCourse, Kept::Everything},
                      // Any reply but an error accepts the course.
                      OpeningFault{{"p_getcourse.asp", "garbage"}, "", Kept::Nothing},
                      OpeningFault{{"p_getprogress.asp", "offline"}, "", Kept::Progress},
                      OpeningFault{{"p_getprogress.asp", "silent"}, "", Kept::Progress},
                      OpeningFault{{"p_getprogress.asp", "status:404"}, "", Kept::Progress},
                      OpeningFault{{"p_getmistakes.asp", "status:500"}, "", Kept::Mistakes},
                      OpeningFault{{"p_getmistakes.asp", "offline"}, "", Kept::Mistakes},
                      OpeningFault{{"p_getmistakes.asp", "silent"}, "", Kept::Mistakes}),
    openingFaultName);

// ---- The course download ----

class DownloadFaultTest : public FaultTest<FaultAndMessage> {
protected:
    frmClassDownload* openDownloadWindow() {
        openMainWindow();
        addLocalRecords();
        return FormInstance<frmClassDownload>::get();
    }
};

using DownloadPageFaultTest = DownloadFaultTest;

// The page shows what the browser shows; the window can still be closed,
// which leads back to the picker.
TEST_P(DownloadPageFaultTest, LeavesTheWindowUsable) {
    applyFault(GetParam().fault);
    frmClassDownload* downloadWindow = openDownloadWindow();
    downloadWindow->webMain->waitForLoad(kShortTimeoutMs * 4);
    EXPECT_TRUE(downloadWindow->isEnabled());

    MessageAnswerer answerer("OK");
    PickerCloser picker;
    QTest::mouseClick(downloadWindow->imgClose, Qt::LeftButton);
    EXPECT_TRUE(waitUntil([&picker] { return picker.shown() == 1; }, 5000));
    EXPECT_FALSE(FormInstance<frmClassDownload>::isLoaded());
    EXPECT_TRUE(answerer.texts().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Faults, DownloadPageFaultTest,
                         ::testing::Values(FaultAndMessage{{"default.asp", "offline"}, ""},
                                           FaultAndMessage{{"default.asp", "silent"}, ""},
                                           FaultAndMessage{{"default.asp", "garbage"}, ""},
                                           FaultAndMessage{{"default.asp", "err:ERR_X"}, ""}),
                         faultAndMessageName);

// A package that does not arrive, is no package, or arrives but cannot be
// saved here (a folder stands where it goes), and what the learner is told.
struct PackageFault {
    FaultAndMessage expected;
    bool savedHere = true;
};

std::string packageFaultName(const ::testing::TestParamInfo<PackageFault>& info) {
    return faultName(info.param.expected.fault) + (info.param.savedHere ? "" : "_not_saved");
}

class PackageFaultTest : public FaultTest<PackageFault> {};

// Reported for what it is; the installed course stays as it was.
TEST_P(PackageFaultTest, SaysSoAndKeepsTheInstalledCourse) {
    openMainWindow();
    addLocalRecords();
    const QStringList before = localRecords();
    if (!GetParam().savedHere) {
        ASSERT_TRUE(QDir().mkpath(gBasePath + "/DEMO.giz/in the way"));
    }
    applyFault(GetParam().expected.fault);
    MessageAnswerer answerer("OK");
    PickerCloser picker;
    bool cancel = false;
    FormInstance<frmClassDownload>::get()->webMain_BeforeNavigate2("cmd:DEMO", cancel);

    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.trimmedTexts().first().startsWith(GetParam().expected.message));
    EXPECT_EQ(picker.shown(), 1);
    EXPECT_EQ(localRecords(), before);
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
    expectUsable(window);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PackageFaultTest,
    ::testing::Values(PackageFault{{{"DEMO.giz", "offline"}, kDownloadFailed}},
                      PackageFault{{{"DEMO.giz", "silent"}, kDownloadFailed}},
                      PackageFault{{{"DEMO.giz", "garbage"}, kBrokenPackage}},
                      PackageFault{{{"DEMO.giz", "err:ERR_NOTFOUND"}, kBrokenPackage}},
                      PackageFault{{{"DEMO.giz", "normal"}, kFolderNotWritable}, false}),
    packageFaultName);

}  // namespace
