#include "shared/servicescripts.h"

#include <gtest/gtest.h>

#include <functional>
#include <QDir>

#include "platform/big5.h"
#include "shared/globals.h"
#include "shared/install.h"
#include "shared/publishernews.h"
#include "shared/settingsfiles.h"
#include "tests/support/servicelog.h"
#include "tests/support/tempbase.h"

namespace {

class ServiceScriptsTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        setUpGlobals("LXV");
        gSoftCode = "lxv";
        ASSERT_TRUE(m_standin.start());
        gServerURL = m_standin.baseUrl();
        gDefaultServer = m_standin.baseUrl();
        RegisterPublisherNewsWindow([this](const QString& url) { m_shownNews.append(url); });
    }
    void TearDown() override {
        RegisterPublisherNewsWindow(nullptr);
        m_standin.stop();
        TempBaseTest::TearDown();
    }

    QString standinHost() const { return QStringLiteral("127.0.0.1:%1").arg(m_standin.port()); }
    void clearLog() { m_standin.clearLog(); }

    StandinProcess m_standin;
    QStringList m_shownNews;
};

struct WrapperCall {
    const char* name;
    std::function<QString(const QString& host)> call;
    const char* path;
    const char* body;
    bool testsOnlineFirst;
};

const std::vector<WrapperCall>& wrapperCalls() {
    static const std::vector<WrapperCall> calls = {
        {"GetPublisherNews", [](const QString&) { return GetPublisherNews(); },
         "/p_publisher_news.asp", "key=quillmarrowed&softcode=lxv", false},
        {"ProcResetServer",
         [](const QString&) { return ProcResetServer("error", "DEMO0001", "DEMO"); },
         "/p_lxv_proc_reset.asp", "key=quillmarrowed&tp=error&courseId=DEMO&pno=DEMO0001", true},
        {"GetServerByRegId", [](const QString&) { return GetServerByRegId("DEMOM001"); },
         "/p_server_get.asp", "key=quillmarrowed&regId=DEMOM001", false},
        {"GetLogin", [](const QString& host) { return GetLogin("DEMO0001", "de mo&x", host); },
         "/p_getlogin.asp", "key=quillmarrowed&login=DEMO0001&password=de mo&x", true},
        {"GetCourseInfo", [](const QString&) { return GetCourseInfo("DEMO"); }, "/p_getcourse.asp",
         "key=quillmarrowed&courseId=DEMO", true},
        {"GetCourseVersion", [](const QString&) { return GetCourseVersion("DEMO"); },
         "/p_lxv_getcoursever.asp", "key=quillmarrowed&courseId=DEMO", true},
        {"ImportLogin",
         [](const QString&) { return ImportLogin("DEMO", "12-34 56", "legacy01", "pw"); },
         "/p_lxv_import_login.asp",
         "key=quillmarrowed&courseId=DEMO&pno=123456&user=legacy01&password=pw", true},
        {"GetServerVersion", [](const QString&) { return GetServerVersion("lxvbig"); },
         "/p_getversion.asp", "key=quillmarrowed&type=lxvbig", true},
        {"SetMemoServer",
         [](const QString&) { return SetMemoServer("GET", "", "DEMO0001", "DEMO"); },
         "/p_all_setmemo.asp",
         "key=quillmarrowed&softcode=lxv&courseId=DEMO&pno=DEMO0001&act=GET&setmemo=", true},
    };
    return calls;
}

QString scriptOf(const WrapperCall& wrapper) {
    return QString(wrapper.path).mid(1);
}

TEST_F(ServiceScriptsTest, EveryWrapperPostsItsFieldsAfterTheKeyInOrder) {
    for (const WrapperCall& wrapper : wrapperCalls()) {
        SCOPED_TRACE(wrapper.name);
        gServerURL = m_standin.baseUrl();
        clearLog();
        wrapper.call(standinHost());

        const QList<StandinRequest> requests = m_standin.log();
        ASSERT_EQ(requests.size(), wrapper.testsOnlineFirst ? 2 : 1);
        if (wrapper.testsOnlineFirst) {
            EXPECT_EQ(requests.first().path, "/p_getconn.asp");
            EXPECT_EQ(requests.first().body, "key=quillmarrowed");
        }
        EXPECT_EQ(requests.last().method, "POST");
        EXPECT_EQ(requests.last().path, wrapper.path);
        EXPECT_EQ(requests.last().body, wrapper.body);
        EXPECT_EQ(requests.last().contentType, "text/xml; charset=big5");
    }
}

TEST_F(ServiceScriptsTest, ErrorRepliesGoBackUnchanged) {
    for (const WrapperCall& wrapper : wrapperCalls()) {
        if (QString(wrapper.name) == "GetPublisherNews") {
            continue;
        }
        SCOPED_TRACE(wrapper.name);
        gServerURL = m_standin.baseUrl();
        m_standin.setMode(scriptOf(wrapper), "err:ERR_SOMETHING_ELSE");
        EXPECT_EQ(wrapper.call(standinHost()), "ERR_SOMETHING_ELSE");
    }
}

TEST_F(ServiceScriptsTest, OfflineServiceGivesConnectFailedWithoutPostingTheScript) {
    m_standin.setMode("p_getconn.asp", "offline");
    for (const WrapperCall& wrapper : wrapperCalls()) {
        if (!wrapper.testsOnlineFirst) {
            continue;
        }
        SCOPED_TRACE(wrapper.name);
        gServerURL = m_standin.baseUrl();
        clearLog();
        EXPECT_EQ(wrapper.call(standinHost()), "ERR_CONNECT_FAILED");
        EXPECT_EQ(loggedPaths(m_standin), QStringList{"/p_getconn.asp"});
    }
}

TEST_F(ServiceScriptsTest, AFailedPostGivesConnectFailedAndNoNews) {
    for (const WrapperCall& wrapper : wrapperCalls()) {
        SCOPED_TRACE(wrapper.name);
        gServerURL = m_standin.baseUrl();
        m_standin.setMode(scriptOf(wrapper), "offline");
        const bool isNews = QString(wrapper.name) == "GetPublisherNews";
        EXPECT_EQ(wrapper.call(standinHost()), isNews ? "" : "ERR_CONNECT_FAILED");
    }
    EXPECT_TRUE(m_shownNews.isEmpty());
}

TEST_F(ServiceScriptsTest, ServiceRepliesReachTheCaller) {
    EXPECT_EQ(GetCourseVersion("DEMO"), "2024.1");
    EXPECT_EQ(GetServerVersion("lxv"), "2.1.0");
    EXPECT_EQ(GetServerByRegId("DEMOM001"), "OK#" + standinHost() + "#");
    EXPECT_EQ(GetServerByRegId("NOBODY"), "ERR_NOTFOUND");
    EXPECT_FALSE(GetCourseInfo("DEMO").startsWith("ERR"));
    EXPECT_EQ(GetCourseInfo("NOPE"), "ERR_NOTFOUND");
    EXPECT_EQ(ProcResetServer("progress", "DEMO0001", "DEMO").left(3), "OK_");
}

TEST_F(ServiceScriptsTest, TheStudyPlanMemoIsStoredAndReadBack) {
    EXPECT_EQ(SetMemoServer("GET", "", "DEMO0001", "DEMO"), "0");
    SetMemoServer("PUT", "40@2011/3/1@2011/4/9", "DEMO0001", "DEMO");
    EXPECT_EQ(SetMemoServer("GET", "", "DEMO0001", "DEMO"), "OK#40@2011/3/1@2011/4/9");
}

TEST_F(ServiceScriptsTest, ImportLoginRepliesOfTheService) {
    EXPECT_EQ(ImportLogin("DEMO", "LEGACY-01", "legacy01", "legacy1"), "OK_LEGACY01");
    EXPECT_EQ(ImportLogin("DEMO", "NOBODY", "legacy01", "legacy1"), "ERR_NOTFOUND");
    EXPECT_EQ(ImportLogin("DEMO", "LEGACY01", "legacy01", "wrong"), "ERR_WRONG_USERPASS");
    EXPECT_EQ(ImportLogin("OTHER", "LEGACY01", "legacy01", "legacy1"), "ERR_WRONG_COURSE");
    EXPECT_EQ(ImportLogin("DEMO", "OLD 00001", "old", "old1234"), "ERR_ACCOUNT_MUST_EMAIL");
}

TEST_F(ServiceScriptsTest, GetLoginRepliesOfTheService) {
    const QString host = standinHost();
    EXPECT_EQ(GetLogin("DEMO0001", "demo", host), QString::fromUtf8("OK_DEMO0001#示範學員#DEMO"));
    EXPECT_EQ(GetLogin("NOBODY", "demo", host), "ERR_NOTFOUND");
    EXPECT_EQ(GetLogin("DEMO0001", "wrong", host), "ERR_WRONG_PASSWORD");
    EXPECT_EQ(GetLogin("NEWQ0001", "", host), "PASSWORD_NOT_SET");
    EXPECT_EQ(GetLogin("NEWQ0001", "fresh", host), QString::fromUtf8("SET_NEWQ0001#新學員#DEMO"));
}

TEST_F(ServiceScriptsTest, GetLoginPointsTheBaseAddressesAtTheServerTried) {
    const QString host = standinHost();
    gServerURL = "http://elsewhere.invalid/";
    GetLogin("DEMO0001", "demo", host);
    EXPECT_EQ(gServerURL, "http://" + host + "/");
    EXPECT_EQ(gUpdatePath, host + "/update");

    const QString deadHost = QStringLiteral("127.0.0.1:%1").arg(unusedLoopbackPort());
    EXPECT_EQ(GetLogin("DEMO0001", "demo", deadHost), "ERR_CONNECT_FAILED");
    EXPECT_EQ(gServerURL, "http://" + deadHost + "/");
    EXPECT_EQ(gUpdatePath, deadHost + "/update");
}

TEST_F(ServiceScriptsTest, GetLoginAsksTheOnlineTestOfTheNewServer) {
    gServerURL = unusedLoopbackBase();
    EXPECT_FALSE(GetLogin("DEMO0001", "demo", standinHost()).startsWith("ERR"));
    EXPECT_EQ(loggedPaths(m_standin), (QStringList{"/p_getconn.asp", "/p_getlogin.asp"}));
}

TEST_F(ServiceScriptsTest, PublisherNewsIsShownUnlessTheLearnerTurnedItOff) {
    const QString reply = GetPublisherNews();
    ASSERT_TRUE(reply.startsWith("OK_"));
    const QString newsUrl = reply.mid(3);
    EXPECT_EQ(m_shownNews, QStringList{newsUrl});

    QDir().mkpath(ProductFolder());
    SetFile_IO(gSetupSetFile, "W", "publisher", newsUrl);
    EXPECT_EQ(GetPublisherNews(), reply);
    EXPECT_EQ(m_shownNews.size(), 1);
}

TEST_F(ServiceScriptsTest, PublisherNewsRemovesEveryOkMarkFromTheAddress) {
    m_standin.setMode("p_publisher_news.asp", "err:OK_http://news/OK_1.htm");
    EXPECT_EQ(GetPublisherNews(), "OK_http://news/OK_1.htm");
    EXPECT_EQ(m_shownNews, QStringList{"http://news/1.htm"});
}

TEST_F(ServiceScriptsTest, RepliesOtherThanOkGiveNoNews) {
    for (const char* mode : {"err:ERR_NOTFOUND", "err:0", "err:OK#x", "garbage"}) {
        SCOPED_TRACE(mode);
        m_standin.setMode("p_publisher_news.asp", mode);
        EXPECT_EQ(GetPublisherNews(), "");
    }
    EXPECT_TRUE(m_shownNews.isEmpty());
}

TEST_F(ServiceScriptsTest, NewsWithoutARegisteredWindowShowsNothing) {
    RegisterPublisherNewsWindow(nullptr);
    EXPECT_TRUE(GetPublisherNews().startsWith("OK_"));
    EXPECT_TRUE(m_shownNews.isEmpty());
}

TEST_F(ServiceScriptsTest, CourseVersionIsAskedOnlyWhenTheProductFolderExists) {
    EXPECT_TRUE(CheckCourseVersion("DEMO"));
    EXPECT_TRUE(m_standin.log().isEmpty());

    QDir().mkpath(ProductFolder() + "/DEMO");
    EXPECT_TRUE(CheckCourseVersion("DEMO"));
    EXPECT_EQ(loggedPaths(m_standin), (QStringList{"/p_getconn.asp", "/p_lxv_getcoursever.asp"}));
    EXPECT_EQ(big5::readLines(ProductFolder() + "/DEMO/DEMO.ver").value(0), "2024.1");
}

}  // namespace
