#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/big5.h"
#include "platform/forminstance.h"
#include "platform/waituntil.h"
#include "shared/globals.h"
#include "startup/frmLogin.h"
#include "tests/support/focusleave.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/messagewindow.h"
#include "tests/support/servicelog.h"
#include "tests/support/signinwayout.h"
#include "tests/support/standinprocess.h"

namespace {

class LoginTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(standin.start());
        setUpEdition("LXQ");
        gLoginDone = false;
        gLoginOK = false;
        server = QStringLiteral("127.0.0.1:%1").arg(standin.port());
    }

    QString serverListFile() const { return basePath() + "/Lexivo2/ServerList.set"; }
    frmLogin* fill(const QString& login, const QString& password, const QString& serverText) {
        frmLogin* form = FormInstance<frmLogin>::get();
        form->txtLogin->clear();
        QTest::keyClicks(form->txtLogin, login);
        form->txtPassword->setText(password);
        form->cboServer->setEditText(serverText);
        return form;
    }
    QStringList signIns() {
        QStringList bodies;
        for (const StandinRequest& request : standin.log()) {
            if (request.path.endsWith("p_getlogin.asp")) {
                bodies << QString::fromLatin1(request.path + "?" + request.body);
            }
        }
        return bodies;
    }

    StandinProcess standin;
    QString server;
};

}  // namespace

TEST_F(LoginTest, APasswordOf21IsRefusedBeforeAnyRequestAndOneCharacterIsSent) {
    MessageAnswerer answerer("OK");
    frmLogin* form = fill("DEMOQ001", QString(21, 'a'), server);
    QTest::mouseClick(form->cmdLogin, Qt::LeftButton);
    EXPECT_EQ(answerer.trimmedTexts(), QStringList{"密碼必須為1～20碼之間"});
    EXPECT_TRUE(signIns().isEmpty());
    EXPECT_GE(form->x(), 0);

    form->txtPassword->setText("x");
    QTest::mouseClick(form->cmdLogin, Qt::LeftButton);
    EXPECT_EQ(answerer.trimmedTexts().last(), "帳號或密碼有誤，請檢查！");
    EXPECT_EQ(signIns(),
              QStringList{"/p_getlogin.asp?key=quillmarrowed&login=DEMOQ001&password=x"});
    EXPECT_FALSE(gLoginDone);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(LoginTest, EmptyLoginOrServerAndAnUnknownAccountAreRefusedWithTheirMessages) {
    MessageAnswerer answerer("OK");
    QTest::mouseClick(fill("", "demo", server)->cmdLogin, Qt::LeftButton);
    QTest::mouseClick(fill("DEMOQ001", "demo", " ")->cmdLogin, Qt::LeftButton);
    QTest::mouseClick(fill("NOBODY", "demo", server)->cmdLogin, Qt::LeftButton);
    EXPECT_EQ(answerer.trimmedTexts(),
              QStringList({"請輸入帳號", "請輸入伺服器", "帳號有誤，請檢查！"}));
    EXPECT_FALSE(gLoginDone);
}

TEST_F(LoginTest, TheLoginBoxTakesNoBlanks) {
    frmLogin* form = fill("de mo", "", server);
    EXPECT_EQ(form->txtLogin->text(), "demo");
}

// A half-typed password must not reach the service, where a first sign-in
// would make it the account's password.
TEST_F(LoginTest, LeavingTheLoginBoxPointsAtTheServerButSendsNothing) {
    frmLogin* form = fill("NEWQ0001", "ab", server);
    leave(form->txtLogin);
    EXPECT_EQ(gServerURL, "http://" + server + "/");
    EXPECT_EQ(gUpdatePath, server + "/update");
    EXPECT_TRUE(standin.log().isEmpty());
    const QList<QStringList> accounts = standin.state("accounts");
    ASSERT_FALSE(accounts.isEmpty());
    const qsizetype password = accounts.first().indexOf("password");
    for (const QStringList& account : accounts) {
        if (account.contains("NEWQ0001")) {
            EXPECT_EQ(account.value(password), "");
        }
    }
}

TEST_F(LoginTest, SigningInMovesTheServerToTheTopOfTheRecentServers) {
    ASSERT_TRUE(big5::writeLines(serverListFile(), {" a.example ", "b.example", server}));
    frmLogin* form = FormInstance<frmLogin>::get();
    ASSERT_EQ(form->cboServer->count(), 3);
    EXPECT_EQ(form->cboServer->currentText(), "a.example");

    fill("DEMOQ001", "demo", server);
    QTest::mouseClick(form->cmdLogin, Qt::LeftButton);

    EXPECT_TRUE(gLoginDone);
    EXPECT_TRUE(gLoginOK);
    EXPECT_EQ(gPno, "DEMOQ001");
    EXPECT_EQ(gServerPassword, "demo");
    EXPECT_EQ(gServerURL, "http://" + server + "/");
    EXPECT_EQ(big5::readLines(serverListFile()), QStringList({server, "a.example", "b.example"}));
    EXPECT_TRUE(waitUntil([] { return !FormInstance<frmLogin>::isLoaded(); }, 5000));
}

TEST_F(LoginTest, AFirstSignInUnderServersideSetsThePasswordAndStartsTheList) {
    ASSERT_TRUE(standin.setMode("/p_getconn.asp", "offline"));
    MessageAnswerer answerer("OK");
    QTest::mouseClick(fill("NEWQ0001", "abcd", server)->cmdLogin, Qt::LeftButton);

    EXPECT_EQ(answerer.trimmedTexts().value(0).left(11), "您的密碼已經設定完成！");
    EXPECT_TRUE(gLoginOK);
    EXPECT_EQ(gServerURL, "http://" + server + "/serverside/");
    EXPECT_EQ(big5::readLines(serverListFile()), QStringList{server});
    EXPECT_EQ(signIns(), QStringList{"/serverside/p_getlogin.asp?key=quillmarrowed&login=NEWQ0001"
                                     "&password=abcd"});
}

TEST_F(LoginTest, AServerThatAnswersNeitherWayCannotBeFound) {
    MessageAnswerer answerer("OK");
    const QString nowhere = QStringLiteral("127.0.0.1:%1").arg(unusedLoopbackPort());
    QTest::mouseClick(fill("DEMOQ001", "demo", nowhere)->cmdLogin, Qt::LeftButton);
    EXPECT_EQ(answerer.trimmedTexts(), QStringList{"無法找到伺服器！請檢查是否有誤。"});
    EXPECT_FALSE(gLoginDone);
    EXPECT_FALSE(QFile::exists(serverListFile()));
}

TEST_F(LoginTest, AnyReplyThatIsNoErrorCountsAsSuccess) {
    ASSERT_TRUE(standin.setMode("p_getlogin.asp", "err:WELCOME"));
    QTest::mouseClick(fill("DEMOQ001", "demo", server)->cmdLogin, Qt::LeftButton);
    EXPECT_TRUE(gLoginOK);
    EXPECT_TRUE(gLoginDone);
}

TEST_F(LoginTest, CancelOrTheWindowSystemsCloseEndsTheSignInWithoutSuccess) {
    expectEachWayOutEndsTheSignInWithoutSuccess<frmLogin>();
}
