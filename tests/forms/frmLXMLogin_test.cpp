#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/big5.h"
#include "platform/forminstance.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "startup/frmLXMLogin.h"
#include "tests/support/focusleave.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/messagewindow.h"
#include "tests/support/servicelog.h"
#include "tests/support/signinwayout.h"
#include "tests/support/standinprocess.h"
#include "tests/support/windowsystem.h"

namespace {

const QString kNotYetObtained = QStringLiteral("* 尚未取得 *");
const QString kCannotObtain = QStringLiteral("* 無法正確取得 *");

class LXMLoginTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(standin.start());
        setUpEdition("LXM", standin.baseUrl());
        gLoginDone = false;
        gLoginOK = false;
        gAllowedCourses.clear();
        server = QStringLiteral("127.0.0.1:%1").arg(standin.port());
    }

    QString certFile() const { return basePath() + "/Lexivo2/lxmcert.set"; }
    int lookups() { return loggedPaths(standin).filter("p_server_get.asp").size(); }
    frmLXMLogin* typeLogin(const QString& login) {
        frmLXMLogin* form = FormInstance<frmLXMLogin>::get();
        form->txtLogin->clear();
        QTest::keyClicks(form->txtLogin, login);
        leave(form->txtLogin);
        return form;
    }

    StandinProcess standin;
    QString server;
};

}  // namespace

TEST_F(LXMLoginTest, ARememberedServerAndLoginFillTheFormWithoutALookup) {
    ASSERT_TRUE(big5::writeLines(certFile(), {" " + server + " ", "DEMOM001"}));
    MessageAnswerer answerer("OK");
    frmLXMLogin* form = FormInstance<frmLXMLogin>::get();
    EXPECT_EQ(form->lblACServer->text(), server);
    EXPECT_EQ(form->txtLogin->text(), "DEMOM001");

    leave(form->txtLogin);
    EXPECT_EQ(lookups(), 0);

    QTest::keyClick(form->txtLogin, Qt::Key_Backspace);
    leave(form->txtLogin);
    EXPECT_EQ(lookups(), 1);
}

TEST_F(LXMLoginTest, ALineOnTheFormerDomainShowsTheAccountServersHost) {
    ASSERT_TRUE(big5::writeLines(certFile(), {"www.lexivo-former.invalid", "DEMOM001"}));
    EXPECT_EQ(FormInstance<frmLXMLogin>::get()->lblACServer->text(), server);
}

TEST_F(LXMLoginTest, TheLookupShowsTheServerWithoutItsHashes) {
    frmLXMLogin* form = typeLogin("DEMOM001");
    EXPECT_EQ(form->lblACServer->text(), server);
    EXPECT_EQ(lookups(), 1);
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
}

TEST_F(LXMLoginTest, FailedLookupsSayWhyAndShowThatNoServerIsKnown) {
    int errorIcons = 0;
    MessageAnswerer answerer("OK", [&errorIcons] { errorIcons += shownMessageIcon() == 1; });
    frmLXMLogin* form = typeLogin("NOBODY99");
    EXPECT_EQ(form->lblACServer->text(), kCannotObtain);

    ASSERT_TRUE(standin.setMode("p_server_get.asp", "err:MAINTENANCE"));
    typeLogin("DEMOM001");
    gDefaultServer = unusedLoopbackBase();
    typeLogin("DEMOM002");

    const QStringList texts = answerer.trimmedTexts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts.at(0).startsWith("帳號管理伺服器回報您的帳號不屬於任何伺服器所管理"));
    EXPECT_EQ(texts.at(1), "無法找到伺服器！請檢查是否有誤。");
    EXPECT_EQ(texts.at(2), "無法找到伺服器！請檢查是否有誤。");
    EXPECT_EQ(errorIcons, 3);
}

// The learner cancels while a failed lookup is told: the sign-in ends
// without success, and the answer then touches no dialog.
TEST_F(LXMLoginTest, CancelledWhileAFailedLookupIsToldTheSignInEnds) {
    frmLXMLogin* form = FormInstance<frmLXMLogin>::get();
    form->show();
    MessageAnswerer answerer("OK", [form] { clickThroughWindow(form->cmdCancel); });
    gDefaultServer = unusedLoopbackBase();
    typeLogin("DEMOM002");

    EXPECT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(gLoginDone);
    EXPECT_FALSE(gLoginOK);
    EXPECT_FALSE(FormInstance<frmLXMLogin>::isLoaded());
}

TEST_F(LXMLoginTest, SigningInWithoutAKnownServerIsRefusedWithoutARequest) {
    MessageAnswerer answerer("OK");
    frmLXMLogin* form = FormInstance<frmLXMLogin>::get();
    ASSERT_EQ(form->lblACServer->text(), kNotYetObtained);
    form->txtLogin->setText("DEMOM001");
    form->txtPassword->setText("demo");
    QTest::mouseClick(form->cmdLogin, Qt::LeftButton);

    EXPECT_TRUE(answerer.trimmedTexts().value(0).startsWith("帳號管理伺服器回報"));
    EXPECT_TRUE(standin.log().isEmpty());
    EXPECT_FALSE(gLoginDone);
}

TEST_F(LXMLoginTest, EnterInThePasswordSignsInAndRemembersServerAndLogin) {
    frmLXMLogin* form = typeLogin("DEMOM001");
    QTest::keyClicks(form->txtPassword, "demo");
    QTest::keyClick(form->txtPassword, Qt::Key_Return);

    EXPECT_TRUE(gLoginDone);
    EXPECT_TRUE(gLoginOK);
    EXPECT_EQ(gPno, "DEMOM001");
    EXPECT_EQ(gServerPassword, "demo");
    EXPECT_EQ(gAllowedCourses, "DEMO");
    EXPECT_EQ(gServerURL, "http://" + server + "/");
    EXPECT_EQ(big5::readLines(certFile()), QStringList({server, "DEMOM001"}));
}

TEST_F(LXMLoginTest, AFirstSignInSaysThePasswordIsSet) {
    MessageAnswerer answerer("OK");
    frmLXMLogin* form = typeLogin("NEWQ0001");
    form->txtPassword->setText("abcd");
    QTest::mouseClick(form->cmdLogin, Qt::LeftButton);
    EXPECT_TRUE(answerer.trimmedTexts().value(0).startsWith("您的密碼已經設定完成！"));
    EXPECT_TRUE(gLoginOK);
}

// Closed by the window system while that is told, the dialog has ended the
// sign-in without success.
TEST_F(LXMLoginTest, ClosedWhileTheNewPasswordIsToldTheSignInEndsWithoutSuccess) {
    frmLXMLogin* form = FormInstance<frmLXMLogin>::get();
    form->show();
    MessageAnswerer answerer("OK", [form] {
        if (shownMessageText().contains("密碼已經設定完成")) {
            closeByWindowSystem(form);
        }
    });
    typeLogin("NEWQ0001");
    form->txtPassword->setText("abcd");
    clickThroughWindow(form->cmdLogin);

    EXPECT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(gLoginDone);
    EXPECT_FALSE(gLoginOK);
}

TEST_F(LXMLoginTest, CancelOrTheWindowSystemsCloseEndsTheSignInWithoutSuccess) {
    expectEachWayOutEndsTheSignInWithoutSuccess<frmLXMLogin>();
}
