#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "platform/big5.h"
#include "platform/browser.h"
#include "platform/forminstance.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/settingsfiles.h"
#include "startup/frmClassDownload.h"
#include "startup/frmClassSelect.h"
#include "startup/frmLogin.h"
#include "startup/frmLXMLogin.h"
#include "startup/frmLXVImportLogin.h"
#include "startup/frmPublisher.h"
#include "startup/frmSchedule.h"
#include "startup/frmSplash.h"
#include "tests/screens/screenshotfixture.h"
#include "tests/support/messagewindow.h"
#include "workspace/frmFeedback.h"
#include "workspace/frmMain.h"

namespace {

class DialogScreens : public ScreenshotTest {
protected:
    QString productFile(const QString& name) const { return basePath() + "/Lexivo2/" + name; }
    QString standinServer() const { return QStringLiteral("127.0.0.1:%1").arg(standin.port()); }

    // Shoots the message window that is shown, then answers it.
    void shootMessage(const QString& name, const QString& answer) {
        frmMessage* message = shownMessage();
        ASSERT_NE(message, nullptr);
        expectShownSanely(message);
        EXPECT_FALSE(shoot(message, name).isEmpty());
        if (!answer.isEmpty()) {
            clickMessageButton(answer);
        }
    }
};

TEST_F(DialogScreens, MessagesLongWithAQuestionAndPleaseWaitOverTheMainWindow) {
    openCourse();
    gStartupDone = true;

    FormInstance<frmMessage>::get()->MessageBox("52", 0, "OK", "4");
    shootMessage("frmMessage-long", "OK");
    FormInstance<frmMessage>::get()->MessageBox("4", 2, "YES_NO", "3");
    shootMessage("frmMessage-yes-no", "NO");
    FormInstance<frmMessage>::get()->ProgressMsgBox("3004", 0, "", "0");
    shootMessage("frmMessage-please-wait", "");
    FormInstance<frmMessage>::unload();
}

TEST_F(DialogScreens, TheSignInOfTheServiceEditionWithItsServerList) {
    setUpEdition("LXQ");
    ASSERT_TRUE(big5::writeLines(productFile("ServerList.set"),
                                 {standinServer(), "lexivo.school.example"}));
    frmLogin* form = FormInstance<frmLogin>::get();
    QTest::keyClicks(form->txtLogin, "DEMOQ001");
    form->txtPassword->setText("demo");

    expectShownSanely(form);
    EXPECT_EQ(form->cboServer->count(), 2);
    EXPECT_FALSE(shoot(form, "frmLogin").isEmpty());
}

TEST_F(DialogScreens, TheSignInOfTheCloudEditionWithItsRememberedServer) {
    setUpEdition("LXM", standin.baseUrl());
    ASSERT_TRUE(big5::writeLines(productFile("lxmcert.set"), {standinServer(), "DEMOM001"}));
    frmLXMLogin* form = FormInstance<frmLXMLogin>::get();
    form->txtPassword->setText("demo");

    expectShownSanely(form);
    EXPECT_EQ(form->lblACServer->text(), standinServer());
    EXPECT_FALSE(shoot(form, "frmLXMLogin").isEmpty());
}

TEST_F(DialogScreens, TheImportSignInOverTheMainWindow) {
    openCourse();
    frmLXVImportLogin* form = FormInstance<frmLXVImportLogin>::get();
    form->show();
    form->txtPno->setText("OLD00001");
    form->txtLogin->setText("old@lexivo.test");
    form->txtPassword->setText("old1234");

    expectShownSanely(form);
    EXPECT_FALSE(shoot(form, "frmLXVImportLogin").isEmpty());
}

TEST_F(DialogScreens, FeedbackOnAWrongSentence) {
    openCourse();
    check("U1000103", "He live in Taipei");
    frmFeedback* form = FormInstance<frmFeedback>::get();
    form->show();
    QTest::mouseClick(form->txtDesc->viewport(), Qt::LeftButton);
    QTest::keyClicks(form->txtDesc, "I think \"live\" is right here.");
    QTest::mouseClick(form->lblNeedRes[1], Qt::LeftButton);
    QTest::keyClicks(form->txtEmail, "learner@lexivo.test");

    expectShownSanely(form);
    EXPECT_FALSE(form->lblSentence->text().isEmpty());
    EXPECT_FALSE(shoot(form, "frmFeedback").isEmpty());
}

TEST_F(DialogScreens, ThePlanDialogOfACourseWithoutAPlan) {
    openCourseWithoutPlan();
    ASSERT_TRUE(FormInstance<frmSchedule>::isLoaded());
    frmSchedule* form = FormInstance<frmSchedule>::get();

    expectShownSanely(form);
    EXPECT_FALSE(shoot(form, "frmSchedule-without-plan").isEmpty());
}

TEST_F(DialogScreens, ThePlanDialogOfACourseWithAPlan) {
    openCourse();
    window->mnuSchedule_Click();
    frmSchedule* form = FormInstance<frmSchedule>::get();

    expectShownSanely(form);
    EXPECT_FALSE(form->lblStatus->text().isEmpty());
    EXPECT_FALSE(shoot(form, "frmSchedule-with-plan").isEmpty());
}

TEST_F(DialogScreens, TheSplashOfTheSchoolEdition) {
    setUpEdition("LXQ");
    frmSplash* splash = FormInstance<frmSplash>::get();

    expectShownSanely(splash);
    EXPECT_FALSE(shoot(splash, "frmSplash-LXQ").isEmpty());
}

TEST_F(DialogScreens, TheAboutBoxOverTheMainWindow) {
    openCourse();
    window->mnuAbout_Click();
    ASSERT_TRUE(FormInstance<frmSplash>::isLoaded());
    frmSplash* about = FormInstance<frmSplash>::get();

    expectShownSanely(about);
    EXPECT_FALSE(shoot(about, "frmSplash-about-LXV").isEmpty());
}

TEST_F(DialogScreens, ThePublishersNews) {
    setUpEdition("LXV", standin.baseUrl());
    frmPublisher* news = FormInstance<frmPublisher>::get();
    news->webMain->Navigate2(standin.baseUrl() + "news/1.htm");
    news->show();

    ASSERT_TRUE(news->webMain->waitForLoad(kWaitMs));
    expectShownSanely(news);
    EXPECT_FALSE(shoot(news, "frmPublisher").isEmpty());
}

TEST_F(DialogScreens, TheCoursePickerWithTheDemoCourse) {
    setUpEdition("LXV", standin.baseUrl());
    installDemoCourse();
    frmClassSelect* picker = FormInstance<frmClassSelect>::get();
    picker->show();
    ASSERT_EQ(picker->lstClass->count(), 1);
    picker->lstClass->setCurrentRow(0);

    expectShownSanely(picker);
    EXPECT_FALSE(shoot(picker, "frmClassSelect").isEmpty());
}

TEST_F(DialogScreens, TheCourseDownloadWithTheServicesPage) {
    setUpEdition("LXV", standin.baseUrl());
    gServerURL = standin.baseUrl();
    // Nothing installed yet: the page offers the course for download.
    gInstalledCourses.clear();
    frmClassDownload* download = FormInstance<frmClassDownload>::get();
    download->show();

    ASSERT_TRUE(download->webMain->waitForLoad(kWaitMs));
    expectShownSanely(download);
    EXPECT_FALSE(shoot(download, "frmClassDownload").isEmpty());
}

}  // namespace
