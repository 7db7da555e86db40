#include <QFile>

#include "tests/standin/standintest.h"

class StandinAccountsTest : public StandinTest {};

TEST_F(StandinAccountsTest, SignInAnswersTheAccountFieldsOrItsErrors) {
    EXPECT_EQ(request("p_getlogin.asp", {{"login", "DEMOM001"}, {"password", "demo"}}),
              "OK_DEMOM001#帳號伺服器學員#DEMO");
    EXPECT_EQ(request("p_getlogin.asp", {{"login", "DEMOM001"}, {"password", "Demo"}}),
              "ERR_WRONG_PASSWORD");
    EXPECT_EQ(request("p_getlogin.asp", {{"login", "NOBODY"}, {"password", "demo"}}),
              "ERR_NOTFOUND");
    EXPECT_EQ(request("serverside/p_getlogin.asp", {{"login", "DEMOQ001"}, {"password", "demo"}}),
              "OK_DEMOQ001#伺服器學員#DEMO");
}

TEST_F(StandinAccountsTest, FirstSignInSetsThePassword) {
    EXPECT_EQ(request("p_getlogin.asp", {{"login", "NEWQ0001"}, {"password", ""}}),
              "PASSWORD_NOT_SET");
    EXPECT_EQ(request("p_getlogin.asp", {{"login", "NEWQ0001"}, {"password", "abcd"}}),
              "SET_NEWQ0001#新學員#DEMO");
    EXPECT_EQ(request("p_getlogin.asp", {{"login", "NEWQ0001"}, {"password", "abcd"}}),
              "OK_NEWQ0001#新學員#DEMO");
    EXPECT_EQ(request("p_getlogin.asp", {{"login", "NEWQ0001"}, {"password", "wxyz"}}),
              "ERR_WRONG_PASSWORD");
}

TEST_F(StandinAccountsTest, AccountServerNamesTheServerThatKeepsTheAccount) {
    EXPECT_EQ(request("p_server_get.asp", {{"regId", "DEMOM001"}}),
              QStringLiteral("OK#127.0.0.1:%1#").arg(standin.port()));
    EXPECT_EQ(request("p_server_get.asp", {{"regId", "NOBODY"}}), "ERR_NOTFOUND");
}

TEST_F(StandinAccountsTest, ImportSignInChecksAccountLoginPasswordAndCourse) {
    const auto import = [this](const QString& course, const QString& pno, const QString& user,
                               const QString& password) {
        return request(
            "p_lxv_import_login.asp",
            {{"courseId", course}, {"pno", pno}, {"user", user}, {"password", password}});
    };
    EXPECT_EQ(import("DEMO", "OLD00001", "old@lexivo.test", "old1234"), "OK_OLD00001");
    EXPECT_EQ(import("DEMO", "LEGACY01", "legacy01", "legacy1"), "OK_LEGACY01");
    EXPECT_EQ(import("DEMO", "NOBODY", "old@lexivo.test", "old1234"), "ERR_NOTFOUND");
    EXPECT_EQ(import("DEMO", "OLD00001", "oldname", "old1234"), "ERR_ACCOUNT_MUST_EMAIL");
    EXPECT_EQ(import("DEMO", "OLD00001", "old@lexivo.test", "old12345"), "ERR_WRONG_USERPASS");
    EXPECT_EQ(import("DEMO", "OLD00001", "other@lexivo.test", "old1234"), "ERR_WRONG_USERPASS");
    EXPECT_EQ(import("OTHER", "OLD00001", "old@lexivo.test", "old1234"), "ERR_WRONG_COURSE");
}

TEST_F(StandinAccountsTest, CourseCheckAndDataVersion) {
    EXPECT_EQ(request("p_getcourse.asp", {{"courseId", "DEMO"}}), "OK_DEMO#英文造句入門#2024.1");
    EXPECT_EQ(request("p_getcourse.asp", {{"courseId", "NONE"}}), "ERR_NOTFOUND");
    EXPECT_EQ(request("p_lxv_getcoursever.asp", {{"courseId", "DEMO"}}), "2024.1");
    EXPECT_EQ(request("p_lxv_getcoursever.asp", {{"courseId", "NONE"}}), "ERR_NOTFOUND");
}

TEST_F(StandinAccountsTest, DownloadPageLinksNewAndInstalledCourses) {
    EXPECT_TRUE(
        page("/lxv_download/default.asp?c=&app=&regId=DEMO0001&v=1").contains("href='cmd:DEMO'"));
    EXPECT_TRUE(page("/lxv_download/default.asp?c=DEMO,&app=&regId=DEMO0001&v=2")
                    .contains("href='cmd:re:DEMO'"));
    EXPECT_TRUE(page("/lxv_download/").contains("href='cmd:DEMO'"));
}

TEST_F(StandinAccountsTest, ServesTheCoursePackageWithItsLength) {
    QFile package(LEXIVO_PROGRAM_DIR "/DEMO.giz");
    ASSERT_TRUE(package.open(QIODevice::ReadOnly));
    const QByteArray bytes = package.readAll();

    const StandinReply reply = standin.get("/lxv_download/DEMO.giz");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, bytes);
    EXPECT_EQ(reply.contentLength, QByteArray::number(bytes.size()));
    EXPECT_EQ(standin.get("/lxv_download/NONE.giz").status, 404);
}
