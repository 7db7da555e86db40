#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QThread>

#include "platform/big5.h"
#include "tests/e2e/programrun.h"
#include "tests/e2e/programtest.h"

namespace {

const QString kNewVersionText = QStringLiteral("message 目前已有新版程式! 您是否要現在進行更新?");
const QString kReinstallText =
    QStringLiteral("message 軟體已有重大的變革, 需重新安裝程式！ 您是否要現在進行下載安裝?");
const QString kNoUpdaterText = QStringLiteral(
    "message 無法正確啟動更新程式! 您的程式可能損毀以致於缺少必要的組件, 請重新安裝");

// A program that ends before any window has nothing to wait for; one that
// took the code for an edition would run on.
constexpr int kEndsAtOnceMs = 15000;

}  // namespace

TEST_F(ProgramTest, AnEditionCodeOtherThanTheThreeEndsAtOnce) {
    for (const QStringList& arguments :
         {QStringList{"LXQX"}, QStringList{}, QStringList{"lxq", "extra"},
          QStringList{"LXV", "-reverse"}}) {
        ProgramRun program(tmp(), serversFile());
        ASSERT_TRUE(program.run(arguments, {}, kEndsAtOnceMs))
            << program.log().join("\n").toStdString();
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_TRUE(program.log().isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(tmp() + "/Lexivo2"));
}

// The edition is read with blanks around it and in lower case; a second
// program on the same data ends before it shows anything.
TEST_F(ProgramTest, EditionCodeIsTrimmedAndUpperCasedAndASecondInstanceEnds) {
    startStandin();
    ProgramRun first(tmp(), serversFile());
    ASSERT_TRUE(first.start({" lxq "}, {step({"wait", "frmLogin"})}));

    for (int waited = 0; !first.logHas("shown frmLogin") && waited < kRunTimeoutMs; waited += 50) {
        QThread::msleep(50);
    }
    ASSERT_TRUE(first.logHas("shown frmLogin")) << first.output().toStdString();

    ProgramRun second(tmp(), serversFile());
    ASSERT_TRUE(second.run({"LXV"}, {}, kRunTimeoutMs)) << second.log().join("\n").toStdString();
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.log().isEmpty());
    EXPECT_FALSE(first.waitForEnd(0));
}

// An ended copy's lock file: empty after a power cut, unreadable, or naming
// another computer (a data folder on a roaming home, or restored from a
// backup). No running copy holds it, so it is taken over.
TEST_F(ProgramTest, ALockFileThatNoRunningCopyHoldsDoesNotStopAStart) {
    startStandin();
    const QList<QByteArray> leftovers = {QByteArray(), QByteArray("\xFF\xFE\0\x01garbage", 11),
                                         "4242\nlexivo\nanother-computer\n"};
    ASSERT_TRUE(QDir().mkpath(tmp()));
    for (const QByteArray& leftover : leftovers) {
        QFile lock(tmp() + "/lexivo.lock");
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(lock.write(leftover), leftover.size());
        lock.close();
        ProgramRun program(tmp(), serversFile());
        ASSERT_TRUE(program.run({"LXV"}, joined({closeNews(), closeEmptyPicker(), leaveProgram()}),
                                kRunTimeoutMs))
            << program.log().join("\n").toStdString();
        EXPECT_TRUE(program.logHas("shown frmMain")) << leftover.toHex().toStdString();
    }
}

// Before the sign-in the LXQ edition knows no service, so it has no news.
TEST_F(ProgramTest, LXQSignsInUnderServersideAfterAWrongPasswordAndRemembersTheServer) {
    startStandin();
    ASSERT_TRUE(standin.setMode("/p_getconn.asp", "offline"));
    const QString server = standinHost();
    const QStringList signIn = {
        step({"wait", "frmLogin"}),
        step({"type", "frmLogin", "txtLogin", "DEMOQ001"}),
        step({"type", "frmLogin", "txtPassword", "wrong"}),
        step({"type", "frmLogin", "cboServer", server}),
        step({"key", "frmLogin", "cboServer", "Return"}),
        step({"answer", "OK"}),
        step({"type", "frmLogin", "txtLogin", "NEWQ0001"}),
        step({"type", "frmLogin", "txtPassword", "abcd"}),
        step({"click", "frmLogin", "登入"}),
        step({"answer", "OK"}),
    };
    ProgramRun program(tmp(), serversFile());
    ASSERT_TRUE(
        program.run({"LXQ"}, joined({signIn, closeEmptyPicker(), leaveProgram()}), kRunTimeoutMs))
        << program.log().join("\n").toStdString();

    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(program.logHas("message 帳號或密碼有誤，請檢查！"));
    EXPECT_TRUE(program.logHasStart("message 您的密碼已經設定完成！"));
    EXPECT_TRUE(program.logHas("shown frmMain"));
    EXPECT_EQ(big5::readLines(productFile("ServerList.set")), QStringList{server});
    // Only the two sign-ins posted a password, both under /serverside.
    EXPECT_EQ(requestedPaths().filter("p_getlogin.asp"),
              QStringList({"/serverside/p_getlogin.asp", "/serverside/p_getlogin.asp"}));
}

TEST_F(ProgramTest, LXMLooksTheAccountUpSignsInAndRemembersServerAndLogin) {
    startStandin();
    const QString server = standinHost();
    const QStringList unknownAccount = {
        step({"wait", "frmLXMLogin"}),
        step({"type", "frmLXMLogin", "txtLogin", "NOBODY99"}),
        step({"key", "frmLXMLogin", "txtLogin", "Return"}),
        step({"answer", "OK"}),
    };
    ProgramRun program(tmp(), serversFile());
    ASSERT_TRUE(program.run({"LXM"},
                            joined({closeNews(), unknownAccount, signInLXM("DEMOM001", "demo"),
                                    closeEmptyPicker(), leaveProgram()}),
                            kRunTimeoutMs))
        << program.log().join("\n").toStdString();

    EXPECT_TRUE(program.logHasStart("message 帳號管理伺服器回報您的帳號不屬於任何伺服器所管理"));
    EXPECT_TRUE(program.logHas("shown frmMain"));
    EXPECT_EQ(big5::readLines(productFile("lxmcert.set")), QStringList({server, "DEMOM001"}));
    EXPECT_EQ(requestedPaths().filter("p_server_get.asp").size(), 2);
}

TEST_F(ProgramTest, NewsIsShownUntilTheLearnerAsksNotToSeeItAgain) {
    startStandin();
    const QStringList rest = joined({closeEmptyPicker(), leaveProgram()});
    ProgramRun first(tmp(), serversFile());
    ASSERT_TRUE(first.run({"LXV"}, joined({closeNews(false), rest}), kRunTimeoutMs))
        << first.log().join("\n").toStdString();
    EXPECT_TRUE(first.logHas("shown frmPublisher"));
    EXPECT_TRUE(first.logHas("shown frmMain"));

    ProgramRun second(tmp(), serversFile());
    ASSERT_TRUE(second.run({"LXV"}, joined({closeNews(true), rest}), kRunTimeoutMs))
        << second.log().join("\n").toStdString();
    EXPECT_TRUE(second.logHas("shown frmPublisher"));
    const QString newsUrl = standin.baseUrl() + "news/1.htm";
    EXPECT_TRUE(big5::readLines(productFile("setup.set")).contains("publisher=" + newsUrl));

    ProgramRun third(tmp(), serversFile());
    ASSERT_TRUE(third.run({"LXV"}, rest, kRunTimeoutMs)) << third.log().join("\n").toStdString();
    EXPECT_FALSE(third.logHas("shown frmPublisher"));
    EXPECT_TRUE(third.logHas("shown frmMain"));
}

TEST_F(ProgramTest, ANewerVersionOffersTheUpdateAndGoesOnWithoutAnUpdater) {
    startStandin({{"lxv", "2.2.0"}, {"lxvbig", "2.1.0"}});
    ProgramRun program(tmp(), serversFile());
    const QStringList update = {step({"answer", "YES"}), step({"answer", "OK"})};
    ASSERT_TRUE(program.run(
        {"LXV"}, joined({closeNews(), update, closeEmptyPicker(), leaveProgram()}), kRunTimeoutMs))
        << program.log().join("\n").toStdString();

    EXPECT_TRUE(program.logHas(kNewVersionText));
    EXPECT_TRUE(program.logHas(kNoUpdaterText));
    EXPECT_TRUE(program.logHas("shown frmMain"));
}

TEST_F(ProgramTest, AMajorVersionStartsTheUpdaterToReinstallAndEnds) {
    startStandin({{"lxv", "2.1.0"}, {"lxvbig", "2.2.0"}});
    const QString updater = tmp() + "/Tavimor/updater.exe";
    const QString argumentsFile = tmp() + "/updater-arguments.txt";
    ASSERT_TRUE(QDir().mkpath(tmp() + "/Tavimor"));
    big5::writeFile(updater, "#!/bin/sh\necho \"$@\" > '" + argumentsFile + "'\n");
    QFile::setPermissions(updater, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ProgramRun program(tmp(), serversFile());
    ASSERT_TRUE(
        program.run({"LXV"}, joined({closeNews(), {step({"answer", "YES"})}}), kRunTimeoutMs))
        << program.log().join("\n").toStdString();

    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(program.logHas(kReinstallText));
    EXPECT_FALSE(program.logHas("shown frmMain"));
    for (int waited = 0; !QFile::exists(argumentsFile) && waited < 10000; waited += 50) {
        QThread::msleep(50);
    }
    const QString expected = "lxv_reinstaller " + standinHost();
    EXPECT_EQ(big5::readLines(argumentsFile), QStringList{expected});
}

// A 9 in the minor version asks for a reinstall too; declining it goes on.
TEST_F(ProgramTest, DecliningTheReinstallOfANineVersionShowsTheMainWindow) {
    startStandin({{"lxv", "2.9.0"}, {"lxvbig", "2.1.0"}});
    ProgramRun program(tmp(), serversFile());
    ASSERT_TRUE(program.run(
        {"LXV"},
        joined({closeNews(), {step({"answer", "NO"})}, closeEmptyPicker(), leaveProgram()}),
        kRunTimeoutMs))
        << program.log().join("\n").toStdString();

    EXPECT_TRUE(program.logHas(kReinstallText));
    EXPECT_TRUE(program.logHas("shown frmMain"));
}
