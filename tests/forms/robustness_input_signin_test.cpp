#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "platform/big5.h"
#include "platform/forminstance.h"
#include "shared/globals.h"
#include "startup/frmLogin.h"
#include "startup/frmLXMLogin.h"
#include "startup/frmLXVImportLogin.h"
#include "tests/forms/lxvrecordsfixture.h"
#include "tests/support/focusleave.h"
#include "tests/support/messagewindow.h"
#include "tests/support/servicelog.h"

// What a learner pastes or types into the three sign-in windows: a value
// the service can take goes as typed; one it cannot is refused, naming the
// piece, before any request.

namespace {

const QString kCannotSend = QStringLiteral("無法傳送至伺服器");

void paste(QLineEdit* box, const QString& text) {
    QApplication::clipboard()->setText(text);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

bool namesPiece(const QStringList& shown, const QString& piece) {
    return shown.size() == 1 && shown.first().contains("「" + piece + "」" + kCannotSend);
}

// The requests that reached the stand-in's scripts, by path.
int requestsTo(StandinProcess& standin, const QString& script) {
    return loggedPaths(standin).filter(script).size();
}

QString passwordOf(StandinProcess& standin, const QString& pno) {
    const QList<QStringList> accounts = standin.state("accounts");
    const int passwordColumn = accounts.value(0).indexOf("password");
    for (const QStringList& account : accounts.mid(1)) {
        if (account.value(0) == pno) {
            return account.value(passwordColumn);
        }
    }
    return "no such account";
}

class SignInInputTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(standin.start());
        gLoginDone = false;
        gLoginOK = false;
        server = QStringLiteral("127.0.0.1:%1").arg(standin.port());
    }

    QStringList clickAndAnswer(QPushButton* button) {
        MessageAnswerer answerer("OK");
        QTest::mouseClick(button, Qt::LeftButton);
        return answerer.texts();
    }

    StandinProcess standin;
    QString server;
};

TEST_F(SignInInputTest, AFirstPasswordWithSymbolsIsSetAsTyped) {
    setUpEdition("LXQ");
    frmLogin* form = FormInstance<frmLogin>::get();
    paste(form->txtLogin, "NEWQ0001");
    const QString password = "p'<%_=#|\">x";
    paste(form->txtPassword, password);
    form->cboServer->setEditText(server);
    const QStringList shown = clickAndAnswer(form->cmdLogin);

    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().contains("您的密碼已經設定完成")) << shown.first().toStdString();
    EXPECT_TRUE(gLoginOK);
    EXPECT_EQ(gServerPassword, password);
    EXPECT_EQ(passwordOf(standin, "NEWQ0001"), password);
}

TEST_F(SignInInputTest, TheServerSignInRefusesWhatItCannotSendBeforeAnyRequest) {
    setUpEdition("LXQ");
    frmLogin* form = FormInstance<frmLogin>::get();
    form->cboServer->setEditText(server);
    const QList<QPair<QString, QString>> cases = {
        {"ab&cd", "&"}, {"pässwort", "ä"}, {"密碼😀", "😀"}, {"パス", "パ"}};
    paste(form->txtLogin, "NEWQ0001");
    for (const auto& [password, piece] : cases) {
        SCOPED_TRACE(password.toStdString());
        form->txtPassword->setText(password);
        EXPECT_TRUE(namesPiece(clickAndAnswer(form->cmdLogin), piece));
    }
    form->txtLogin->clear();
    paste(form->txtLogin, "NEWQ&0001");
    EXPECT_EQ(form->txtLogin->text(), "NEWQ&0001");
    EXPECT_TRUE(namesPiece(clickAndAnswer(form->cmdLogin), "&"));

    EXPECT_EQ(requestsTo(standin, "p_getlogin.asp"), 0);
    EXPECT_EQ(passwordOf(standin, "NEWQ0001"), "");
    EXPECT_FALSE(gLoginDone);
    EXPECT_GE(form->x(), 0);
}

// The server text becomes part of an address: odd characters in it find no
// service, and nothing is remembered.
TEST_F(SignInInputTest, AServerWithOddCharactersIsNotFoundAndNotRemembered) {
    setUpEdition("LXQ");
    frmLogin* form = FormInstance<frmLogin>::get();
    paste(form->txtLogin, "DEMOQ001");
    form->txtPassword->setText("demo");
    form->cboServer->setEditText(server + "/a b<'&>é");
    const QStringList shown = clickAndAnswer(form->cmdLogin);

    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().contains("無法找到伺服器")) << shown.first().toStdString();
    EXPECT_FALSE(gLoginDone);
    EXPECT_FALSE(QFile::exists(basePath() + "/Lexivo2/ServerList.set"));
}

TEST_F(SignInInputTest, TheAccountServerLookupRefusesAPastedAmpersand) {
    setUpEdition("LXM", standin.baseUrl());
    frmLXMLogin* form = FormInstance<frmLXMLogin>::get();
    MessageAnswerer answerer("OK");
    paste(form->txtLogin, "DEMOM001&regId=NEWQ0001");
    leave(form->txtLogin);

    EXPECT_TRUE(namesPiece(answerer.texts(), "&"));
    EXPECT_EQ(requestsTo(standin, "p_server_get.asp"), 0);
    EXPECT_EQ(form->lblACServer->text(), "* 無法正確取得 *");
}

TEST_F(SignInInputTest, TheAccountServerSignInRefusesAForeignPassword) {
    setUpEdition("LXM", standin.baseUrl());
    ASSERT_TRUE(big5::writeLines(basePath() + "/Lexivo2/lxmcert.set", {server, "DEMOM001"}));
    frmLXMLogin* form = FormInstance<frmLXMLogin>::get();
    paste(form->txtPassword, "démo");
    EXPECT_TRUE(namesPiece(clickAndAnswer(form->cmdLogin), "é"));
    EXPECT_EQ(requestsTo(standin, "p_getlogin.asp"), 0);
    EXPECT_FALSE(gLoginDone);

    form->txtPassword->setText("demo");
    clickAndAnswer(form->cmdLogin);
    EXPECT_TRUE(gLoginOK);
}

class ImportInputTest : public LxvRecordsTest {
protected:
    void SetUp() override {
        LxvRecordsTest::SetUp();
        window = openDemo();
        gLoginDone = false;
        gOldPno = "before";
        form = FormInstance<frmLXVImportLogin>::get();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    }

    QStringList signIn(const QString& pno, const QString& login, const QString& password) {
        form->txtPno->setText(pno);
        form->txtLogin->setText(login);
        form->txtPassword->setText(password);
        MessageAnswerer answerer("OK");
        QTest::mouseClick(form->picButtons[0], Qt::LeftButton);
        return answerer.texts();
    }

    frmMain* window = nullptr;
    frmLXVImportLogin* form = nullptr;
};

TEST_F(ImportInputTest, WhatCannotBeSentIsNamedAndItsBoxGetsTheFocus) {
    struct Case {
        QString pno, login, password, piece;
        QLineEdit* focus;
    };
    const Case cases[] = {
        {"OLD😀1", "old@lexivo.test", "old1234", "😀", form->txtPno},
        {"OLD00001", "old&x@lexivo.test", "old1234", "&", form->txtLogin},
        {"OLD00001", "old@lexivo.test", "öld1234", "ö", form->txtPassword},
    };
    for (const Case& check : cases) {
        SCOPED_TRACE(check.piece.toStdString());
        EXPECT_TRUE(namesPiece(signIn(check.pno, check.login, check.password), check.piece));
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->focusWidget(), check.focus);
    }
    EXPECT_TRUE(requestsTo("p_lxv_import_login.asp").isEmpty());
    EXPECT_FALSE(gLoginDone);
    EXPECT_EQ(gOldPno, "before");
}

TEST_F(ImportInputTest, SymbolsThatCanBeSentGoAsTyped) {
    const QStringList shown = signIn("OLD00001", "o'l<d>%=#|@lexivo.test", "o'ld\"12=%");
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().contains("您輸入的登入名稱或密碼有誤"))
        << shown.first().toStdString();
    const QStringList bodies = requestsTo("p_lxv_import_login.asp");
    ASSERT_EQ(bodies.size(), 1);
    EXPECT_TRUE(bodies.first().endsWith("&user=o'l<d>%=#|@lexivo.test&password=o'ld\"12=%"))
        << bodies.first().toStdString();
}

}  // namespace
