#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "platform/big5.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "shared/settingsfiles.h"
#include "startup/frmClassSelect.h"
#include "startup/frmLogin.h"
#include "startup/frmLXMLogin.h"
#include "tests/forms/localdatafixture.h"
#include "tests/support/messagewindow.h"
#include "tests/support/standinprocess.h"
#include "workspace/frmMain.h"
#include "workspace/frmMain_measures.h"

namespace {

const QString kNotYetObtained = QStringLiteral("* 尚未取得 *");

// A damaged file and what the start makes of it.
struct DamagedFile {
    const char* name;
    QByteArray bytes;
    // What the start makes of it: the course that opens ("" when the start
    // shows the course picker), the node selected, or the course listed.
    const char* opens;
};

void PrintTo(const DamagedFile& file, std::ostream* out) {
    *out << file.name;
}

// setup.set

class DamagedSetupFileTest : public LocalDataTest,
                             public ::testing::WithParamInterface<DamagedFile> {};

// The course named by a damaged file opens only when the file still names
// it; otherwise the learner picks one. Nothing is written before a course
// opens.
TEST_P(DamagedSetupFileTest, TheStartOpensTheNamedCourseOrOffersThePicker) {
    setUpEdition("LXV");
    installDemoCourseWithPlan();
    writeBytes(gSetupSetFile, GetParam().bytes);
    MessageAnswerer answerer("OK");

    frmMain* window = startMainWindow();

    EXPECT_TRUE(answerer.texts().isEmpty()) << answerer.texts().join('|').toStdString();
    const QString opens = QString::fromUtf8(GetParam().opens);
    if (opens.isEmpty()) {
        EXPECT_EQ(pickerShown(), 1);
        EXPECT_EQ(window->treMain->count(), 0);
        EXPECT_EQ(readBytes(gSetupSetFile), GetParam().bytes);
    } else {
        EXPECT_EQ(pickerShown(), 0);
        EXPECT_EQ(gCourseId, opens);
        EXPECT_EQ(window->treMain->count(), 19);
        EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), opens);
    }
    EXPECT_TRUE(window->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedSetupFileTest,
    ::testing::Values(DamagedFile{"empty", "", ""}, DamagedFile{"cut in the key", "lastCou", ""},
                      DamagedFile{"cut in the value", "lastCourse=DE", ""},
                      DamagedFile{"binary garbage", binaryGarbage(), ""},
                      DamagedFile{"lines without equals", "lastCourse\r\nDEMO\r\n", ""},
                      DamagedFile{"lone lead byte at the end", "lastCourse=DEMO\r\n\xa4", "DEMO"},
                      DamagedFile{"lead byte before the line end", "lastCourse=DEMO\xa4\r\n", ""},
                      DamagedFile{"huge", manyJunkLines(200000) + "lastCourse=DEMO\r\n", "DEMO"},
                      DamagedFile{"parent folder", "lastCourse=..\r\n", ""},
                      DamagedFile{"engine folder", "lastCourse=../glossor\r\n", ""},
                      DamagedFile{"file system root", "lastCourse=/\r\n", ""},
                      DamagedFile{"product folder", "lastCourse=.\r\n", ""}));

// The other settings of a damaged file survive the course's opening.
TEST_F(LocalDataTest, OpeningACourseKeepsTheOtherSettingsOfADamagedFile) {
    setUpEdition("LXV");
    installDemoCourseWithPlan();
    writeBytes(gSetupSetFile, "publisher=http://news.test/1.htm\r\nlastCourse=DEMO\r\n\xa4");
    startMainWindow();

    EXPECT_EQ(big5::readLines(gSetupSetFile),
              QStringList({"publisher=http://news.test/1.htm", "lastCourse=DEMO"}));
}

// registry.set

TEST_F(LocalDataTest, ADamagedHandOffFileIsResetAtStartAndMeansNoSentenceLater) {
    setUpGlobals("LXV");
    for (const QByteArray& bytes : {QByteArray(), binaryGarbage(), manyJunkLines(100000)}) {
        writeBytes(gRegistrySetFile, bytes);
        setUpEdition("LXV");
        EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "sentence"), "0");
        EXPECT_EQ(big5::readLines(gRegistrySetFile).size(), 10);
    }

    frmMain* window = makeMainWindow("LXV");
    writeBytes(gRegistrySetFile, binaryGarbage());
    MessageAnswerer answerer("OK");
    window->picMenus_Click(mainmeasures::kButtonFeedback);
    EXPECT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(answerer.texts().value(0).contains("目前您並沒有執行辨析動作"));
}

// node.set

class DamagedNodeFileTest : public LocalDataTest,
                            public ::testing::WithParamInterface<DamagedFile> {};

// The saved node is reselected where the file still names one; a click
// replaces the file with one clean line.
TEST_P(DamagedNodeFileTest, TheTreeIsBuiltAndTheNextClickRewritesTheFile) {
    setUpEdition("LXV");
    installDemoCourseWithPlan();
    setLastCourse("DEMO");
    writeBytes(courseFile("node.set"), GetParam().bytes);

    frmMain* window = startMainWindow();

    ASSERT_EQ(window->treMain->count(), 19);
    const TreeNode* selected = window->treMain->selectedItem();
    EXPECT_EQ(selected ? selected->key() : QString(), QString::fromUtf8(GetParam().opens));
    window->treMain->clickNode(window->treMain->nodeByKey("QUIZ_U2000102"));
    EXPECT_EQ(readBytes(courseFile("node.set")), "\"QUIZ_U2000102\"\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedNodeFileTest,
    ::testing::Values(
        DamagedFile{"empty", "", "U1000100"}, DamagedFile{"a lone quote", "\"", "U1000100"},
        DamagedFile{"no closing quote", "\"QUIZ_U1000102", "QUIZ_U1000102"},
        DamagedFile{"binary garbage", binaryGarbage(), ""},
        DamagedFile{"lone lead byte at the end", "\"QUIZ_U1000102\"\r\n\xa4", "QUIZ_U1000102"},
        DamagedFile{"huge", "\"QUIZ_U1000102\"\r\n" + manyJunkLines(200000), "QUIZ_U1000102"}));

// Course descriptors

class DamagedDescriptorTest : public LocalDataTest,
                              public ::testing::WithParamInterface<DamagedFile> {};

// A descriptor of fewer than six lines leaves its course out of the picker,
// which shows the plan of a longer one as it stands; opened by its id, as
// the last session's course is, the course of any damaged descriptor opens
// with the name its database gives and without a plan.
TEST_P(DamagedDescriptorTest, ThePickerSkipsAShortFileAndTheCourseOpensWithoutAPlan) {
    frmMain* window = makeMainWindowWithoutCourse("LXV");
    installDemoCourse();
    writeBytes(ProductFolder() + "/DEMO.lxs", GetParam().bytes);
    MessageAnswerer answerer("OK");

    frmClassSelect* picker = FormInstance<frmClassSelect>::get();
    picker->SetDefaultValue();
    const QString listed = QString::fromUtf8(GetParam().opens);
    if (listed.isEmpty()) {
        EXPECT_TRUE(picker->lstClassName.isEmpty());
    } else {
        ASSERT_EQ(picker->lstClassName, QStringList{listed});
        const QString plan = big5::readLines(ProductFolder() + "/DEMO.lxs").value(2);
        EXPECT_TRUE(picker->lstClass->item(0)->text().contains("《" + plan + "("));
    }

    const QStringList shownByPicker = answerer.texts();
    picker->ReloadClass("DEMO");
    EXPECT_EQ(answerer.texts(), shownByPicker) << answerer.texts().join('|').toStdString();
    EXPECT_EQ(window->treMain->count(), 19);
    EXPECT_EQ(gCourseName, "英文造句入門");
    EXPECT_EQ(gScheduleType, "NONE");
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedDescriptorTest,
    ::testing::Values(DamagedFile{"empty", "", ""}, DamagedFile{"one line", "DEMO\r\n", ""},
                      DamagedFile{"cut in the plan", "DEMO\r\nname\r\n勤奮", ""},
                      DamagedFile{"binary garbage", binaryGarbage(), "DEMO"},
                      DamagedFile{"lead byte before the line end", "DEMO\r\n\xa4\r\n", ""},
                      DamagedFile{"lone lead byte at the end", "DEMO\r\nname\xa4", ""},
                      DamagedFile{"huge", manyJunkLines(200000), "DEMO"}));

// ServerList.set

class DamagedServerListTest : public LocalDataTest,
                              public ::testing::WithParamInterface<DamagedFile> {
protected:
    void SetUp() override {
        LocalDataTest::SetUp();
        ASSERT_TRUE(standin.start());
        setUpEdition("LXQ");
        gLoginDone = false;
        gLoginOK = false;
        server = QStringLiteral("127.0.0.1:%1").arg(standin.port());
    }

    QString serverListFile() const { return ProductFolder() + "/ServerList.set"; }

    StandinProcess standin;
    QString server;
};

// Whatever the file held comes back after the server that was used, line
// for line.
TEST_P(DamagedServerListTest, TheFormLoadsAndASignInPutsTheServerFirst) {
    writeBytes(serverListFile(), GetParam().bytes);
    const QStringList before = big5::readLines(serverListFile());
    frmLogin* form = FormInstance<frmLogin>::get();
    EXPECT_EQ(form->cboServer->count(), before.size());

    form->txtLogin->setText("DEMOQ001");
    form->txtPassword->setText("demo");
    form->cboServer->setEditText(server);
    QTest::mouseClick(form->cmdLogin, Qt::LeftButton);

    EXPECT_TRUE(gLoginOK);
    const QStringList after = big5::readLines(serverListFile());
    ASSERT_FALSE(after.isEmpty());
    EXPECT_EQ(after.first(), server);
    EXPECT_EQ(after.size(), before.size() + 1);
    EXPECT_FALSE(QFile::exists(serverListFile() + ".new"));
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedServerListTest,
    ::testing::Values(DamagedFile{"empty", "", ""},
                      DamagedFile{"blank lines", "\r\n  \r\nhost.test\r\n", ""},
                      DamagedFile{"binary garbage", binaryGarbage(), ""},
                      DamagedFile{"lone lead byte at the end", "host.test\r\n\xa4", ""},
                      DamagedFile{"huge", manyJunkLines(100000), ""}));

// lxmcert.set

class DamagedCertificateTest : public LocalDataTest {
protected:
    void SetUp() override {
        LocalDataTest::SetUp();
        ASSERT_TRUE(standin.start());
        setUpEdition("LXM", standin.baseUrl());
        gLoginDone = false;
        gLoginOK = false;
        server = QStringLiteral("127.0.0.1:%1").arg(standin.port());
    }

    QString certFile() const { return ProductFolder() + "/lxmcert.set"; }
    frmLXMLogin* loadForm(const QByteArray& bytes) {
        FormInstance<frmLXMLogin>::unload();
        writeBytes(certFile(), bytes);
        return FormInstance<frmLXMLogin>::get();
    }

    StandinProcess standin;
    QString server;
};

// A file that names no server leaves the server unknown, so that signing
// in asks for the account's lookup instead of trying a server of no name.
TEST_F(DamagedCertificateTest, AFileWithoutAServerLeavesTheServerUnknown) {
    for (const QByteArray& bytes : {QByteArray(), QByteArray("\r\n"), QByteArray("  \r\nDEMOM001"),
                                    QByteArray("\r\n\r\n\r\n")}) {
        frmLXMLogin* form = loadForm(bytes);
        EXPECT_EQ(form->lblACServer->text(), kNotYetObtained) << bytes.toStdString();
    }
    EXPECT_EQ(FormInstance<frmLXMLogin>::get()->txtLogin->text(), QString());

    frmLXMLogin* form = loadForm("  \r\nDEMOM001");
    EXPECT_EQ(form->txtLogin->text(), "DEMOM001");
    form->txtPassword->setText("demo");
    standin.clearLog();
    MessageAnswerer answerer("OK");
    QTest::mouseClick(form->cmdLogin, Qt::LeftButton);
    ASSERT_EQ(answerer.texts().size(), 1);
    EXPECT_TRUE(
        answerer.texts().first().contains("帳號管理伺服器回報您的帳號不屬於任何伺服器所管理"));
    EXPECT_TRUE(standin.log().isEmpty());
    EXPECT_FALSE(gLoginDone);
}

TEST_F(DamagedCertificateTest, ARememberedServerSignsInWhateverFollowsIt) {
    for (const QByteArray& tail :
         {QByteArray("DEMOM001\xa4"), QByteArray("DEMOM001\r\n") + manyJunkLines(100000),
          QByteArray("DEMOM001\r\n") + binaryGarbage()}) {
        frmLXMLogin* form = loadForm(server.toUtf8() + "\r\n" + tail);
        EXPECT_EQ(form->lblACServer->text(), server);
        EXPECT_EQ(form->txtLogin->text(), "DEMOM001");
    }
    frmLXMLogin* form = FormInstance<frmLXMLogin>::get();
    form->txtPassword->setText("demo");
    QTest::mouseClick(form->cmdLogin, Qt::LeftButton);
    EXPECT_TRUE(gLoginOK);
    EXPECT_EQ(big5::readLines(certFile()), QStringList({server, "DEMOM001"}));
}

TEST_F(DamagedCertificateTest, AGarbledServerFailsToSignInAndIsNotRemembered) {
    frmLXMLogin* form = loadForm(binaryGarbage());
    form->txtLogin->setText("DEMOM001");
    form->txtPassword->setText("demo");
    MessageAnswerer answerer("OK");
    QTest::mouseClick(form->cmdLogin, Qt::LeftButton);
    EXPECT_FALSE(gLoginDone);
    EXPECT_EQ(answerer.texts().size(), 1);
    EXPECT_EQ(readBytes(certFile()), binaryGarbage());
}

}  // namespace
