#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "platform/forminstance.h"
#include "shared/globals.h"
#include "startup/frmLXVImportLogin.h"
#include "tests/forms/lxvrecordsfixture.h"
#include "tests/support/messagewindow.h"

namespace {

class ImportLoginTest : public LxvRecordsTest {
protected:
    void SetUp() override {
        LxvRecordsTest::SetUp();
        window = openDemo();
        gLoginDone = false;
        gLoginOK = false;
        gOldPno = "before";
        form = FormInstance<frmLXVImportLogin>::get();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    }

    void fill(const QString& pno, const QString& login, const QString& password) {
        form->txtPno->setText(pno);
        form->txtLogin->setText(login);
        form->txtPassword->setText(password);
    }
    void clickButton(int index) { QTest::mouseClick(form->picButtons[index], Qt::LeftButton); }
    // The messages that one click on the sign-in button shows.
    QStringList messagesOfSignIn() {
        MessageAnswerer answerer("OK");
        clickButton(0);
        return answerer.texts();
    }
    QStringList sentAccounts() {
        QStringList accounts;
        for (const QString& body : requestsTo("p_lxv_import_login.asp")) {
            accounts << body.section("&pno=", 1).section('&', 0, 0);
        }
        return accounts;
    }

    frmMain* window = nullptr;
    frmLXVImportLogin* form = nullptr;
};

TEST_F(ImportLoginTest, ShowsItsTextsWithEmptyBoxesAndKeepsTheMainWindowDisabled) {
    EXPECT_EQ(form->lblCaption->text(), "匯入其他帳號授權驗證");
    EXPECT_EQ(form->lblPara1[0]->text(), "授權帳號：");
    EXPECT_EQ(form->lblPara1[1]->text(), "登入e-mail：");
    EXPECT_EQ(form->lblPara1[2]->text(), "登入密碼：");
    EXPECT_EQ(form->lblDesc[0]->text(), "（要匯入資料的來源帳號）");
    EXPECT_EQ(form->lblDesc[1]->text(), "（舊用戶請輸入原名稱）");
    EXPECT_EQ(form->lblDesc[2]->text(), "（最多12碼，限字母或數字）");
    EXPECT_TRUE(form->txtPno->text().isEmpty());
    EXPECT_EQ(form->txtPassword->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(window->isEnabled());
    EXPECT_FALSE(saveScreenshot(form, "frmLXVImportLogin").isEmpty());
}

TEST_F(ImportLoginTest, PictureButtonsShowHoverPressedAndNormalFaces) {
    const auto shows = [this](int index, const QPixmap& face) {
        return form->picButtons[index]->pixmap().cacheKey() == face.cacheKey();
    };
    sendMouseMove(form->picButtons[1]);
    EXPECT_TRUE(shows(1, form->imgButtonsOver[1]));
    sendMouseMove(form->picButtons[0]);
    EXPECT_TRUE(shows(0, form->imgButtonsOver[0]));
    EXPECT_TRUE(shows(1, form->imgButtonsOff[1]));
    QTest::mousePress(form->picButtons[2], Qt::LeftButton);
    EXPECT_TRUE(shows(2, form->imgButtonsClick[2]));
    QTest::mouseRelease(form->picButtons[2], Qt::LeftButton);
    EXPECT_TRUE(shows(2, form->imgButtonsOff[2]));
    EXPECT_FALSE(gLoginDone);
    sendMouseMove(form->picBG, QPoint(5, 100));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(shows(i, form->imgButtonsOff[i])) << i;
    }
}

TEST_F(ImportLoginTest, TheAccountBoxUpperCasesAndDropsAllButAccountCharacters) {
    form->txtPno->setFocus();
    QTest::keyClicks(form->txtPno, "ab-1 2@x#");
    EXPECT_EQ(form->txtPno->text(), "AB-1 2X");
    QTest::keyClick(form->txtPno, Qt::Key_Return);
    EXPECT_TRUE(form->txtLogin->hasFocus());
    EXPECT_EQ(form->txtPno->text(), "AB1 2X");
    QTest::keyClicks(form->txtLogin, "Old@x.y");
    EXPECT_EQ(form->txtLogin->text(), "Old@x.y");
    QTest::keyClick(form->txtLogin, Qt::Key_Return);
    EXPECT_TRUE(form->txtPassword->hasFocus());
}

TEST_F(ImportLoginTest, EnterInThePasswordBoxSignsInAndSetsTheSourceAccount) {
    form->txtPno->setFocus();
    QTest::keyClicks(form->txtPno, "old-00001");
    QTest::keyClick(form->txtPno, Qt::Key_Return);
    QTest::keyClicks(form->txtLogin, "old@lexivo.test");
    QTest::keyClick(form->txtLogin, Qt::Key_Return);
    QTest::keyClicks(form->txtPassword, "old1234");
    QTest::keyClick(form->txtPassword, Qt::Key_Return);

    EXPECT_EQ(sentAccounts(), QStringList{"OLD00001"});
    EXPECT_EQ(gOldPno, "OLD00001");
    EXPECT_TRUE(gLoginOK);
    EXPECT_TRUE(gLoginDone);
    EXPECT_TRUE(QTest::qWaitFor([] { return !FormInstance<frmLXVImportLogin>::isLoaded(); }));
}

TEST_F(ImportLoginTest, ABlankInsideTheAccountStaysInTheAccountButNotInTheRequest) {
    fill("OLD 00001", "old@lexivo.test", "old1234");
    messagesOfSignIn();
    EXPECT_EQ(sentAccounts(), QStringList{"OLD00001"});
    EXPECT_EQ(gOldPno, "OLD 00001");
}

TEST_F(ImportLoginTest, FieldChecksComeBeforeAnyRequest) {
    struct Case {
        QString pno, login, password, message;
        QLineEdit* focus;
    };
    const Case cases[] = {
        {"  ", "old@lexivo.test", "old1234", "請輸入帳號", form->txtPno},
        {"OLD00001", "abc", "old1234", "請輸入登入名稱", form->txtLogin},
        {"OLD00001", "old@lexivo.test", "123", "密碼必須為1～20碼之間", form->txtPassword},
        {"OLD00001", "old@lexivo.test", "1234567890123", "密碼必須為1～20碼之間",
         form->txtPassword},
    };
    for (const Case& check : cases) {
        fill(check.pno, check.login, check.password);
        const QStringList messages = messagesOfSignIn();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages.at(0).contains(check.message)) << messages.at(0).toStdString();
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->focusWidget(), check.focus) << check.message.toStdString();
        EXPECT_FALSE(window->isEnabled());
    }
    EXPECT_TRUE(requestsTo("p_lxv_import_login.asp").isEmpty());
    EXPECT_FALSE(gLoginDone);
    EXPECT_EQ(gOldPno, "before");
}

TEST_F(ImportLoginTest, PasswordsOfFourAndTwelveCharactersAreSent) {
    fill("OLD00001", "old@lexivo.test", "1234");
    messagesOfSignIn();
    fill("OLD00001", "old@lexivo.test", "123456789012");
    messagesOfSignIn();
    EXPECT_EQ(requestsTo("p_lxv_import_login.asp").size(), 2);
}

struct FailedSignIn {
    const char* pno;
    const char* login;
    const char* password;
    const char* mode;
    const char* message;
};

class FailedImportLoginTest : public ImportLoginTest,
                              public ::testing::WithParamInterface<FailedSignIn> {};

TEST_P(FailedImportLoginTest, TellsWhyAndStaysOpenWithTheFocusInTheLogin) {
    const FailedSignIn failure = GetParam();
    ASSERT_TRUE(standin.setMode("p_lxv_import_login.asp", failure.mode));
    fill(failure.pno, failure.login, failure.password);
    const QStringList messages = messagesOfSignIn();

    if (QString(failure.message).isEmpty()) {
        EXPECT_TRUE(messages.isEmpty());
    } else {
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages.at(0).contains(failure.message)) << messages.at(0).toStdString();
    }
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(form->focusWidget(), form->txtLogin);
    EXPECT_FALSE(window->isEnabled());
    EXPECT_FALSE(gLoginDone);
    EXPECT_EQ(gOldPno, "before");
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FailedImportLoginTest,
    ::testing::Values(
        FailedSignIn{"NOBODY01", "old@lexivo.test", "old1234", "normal", "該課程的授權帳號有誤"},
        FailedSignIn{"OLD00001", "old@lexivo.test", "wrong99", "normal", "登入名稱或密碼有誤"},
        FailedSignIn{"OLD00001", "oldname", "old1234", "normal", "登入e-mail必需為正確格式"},
        FailedSignIn{"OLD00001", "old@lexivo.test", "old1234", "err:ERR_WRONG_COURSE",
                     "該帳號所授權的課程不為本課程"},
        FailedSignIn{"OLD00001", "old@lexivo.test", "old1234", "offline", "目前網路中斷"},
        FailedSignIn{"OLD00001", "old@lexivo.test", "old1234", "status:410", "目前網路中斷"},
        FailedSignIn{"OLD00001", "old@lexivo.test", "old1234", "err:ERR_OTHER", ""}));

TEST_F(ImportLoginTest, CancelEndsTheSignInWithoutAnAccount) {
    clickButton(1);
    EXPECT_FALSE(gLoginOK);
    EXPECT_TRUE(gLoginDone);
    EXPECT_EQ(gOldPno, "before");
    EXPECT_TRUE(QTest::qWaitFor([] { return !FormInstance<frmLXVImportLogin>::isLoaded(); }));
}

}  // namespace
