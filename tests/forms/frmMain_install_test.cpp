#include <gtest/gtest.h>

#include <optional>
#include <QDir>
#include <QFile>
#include <QFileDialog>

#include "platform/big5.h"
#include "platform/forminstance.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "startup/frmClassSelect.h"
#include "tests/forms/lxvrecordsfixture.h"
#include "tests/support/fulldisk.h"
#include "tests/support/messagewindow.h"

namespace {

class InstallTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window = makeMainWindowWithoutCourse("LXV");
        package = basePath() + "/downloads/DEMO.giz";
        ASSERT_TRUE(QDir().mkpath(basePath() + "/downloads"));
        ASSERT_TRUE(QFile::copy(ProgramFolder() + "/DEMO.giz", package));
    }

    QStringList earlierCopies() const {
        return QDir(basePath()).entryList({"classdata*.*"}, QDir::Files);
    }
    bool demoInstalled() const {
        return QFile::exists(basePath() + "/Lexivo2/DEMO.lxs") &&
               QFile::exists(basePath() + "/Lexivo2/DEMO/LexivoData.mdb");
    }

    frmMain* window = nullptr;
    QString package;
};

TEST_F(InstallTest, InstallsThePackageAndSaysSo) {
    MessageAnswerer answerer("OK");
    EXPECT_TRUE(window->InstallCourseProc(package));
    EXPECT_TRUE(demoInstalled());
    EXPECT_EQ(answerer.texts(), QStringList{"\n所選擇的課程已經安裝完成"});
    EXPECT_EQ(earlierCopies().size(), 1);
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
}

TEST_F(InstallTest, TwoInstallsLeaveOnlyTheSecondCopy) {
    MessageAnswerer answerer("OK");
    window->InstallCourseProc(package);
    const QStringList first = earlierCopies();
    window->InstallCourseProc(package);
    const QStringList second = earlierCopies();
    ASSERT_EQ(second.size(), 1);
    EXPECT_NE(second, first);
}

TEST_F(InstallTest, AnEmptyNameInstallsAndSaysNothing) {
    MessageAnswerer answerer("OK");
    EXPECT_FALSE(window->InstallCourseProc(QString()));
    EXPECT_TRUE(answerer.texts().isEmpty());
    EXPECT_TRUE(earlierCopies().isEmpty());
    EXPECT_FALSE(demoInstalled());
}

TEST_F(InstallTest, APackageThatCannotBeUnpackedIsReportedNotClaimed) {
    writeBytes(basePath() + "/downloads/BROKEN.giz", "not a package");
    MessageAnswerer answerer("OK");
    EXPECT_FALSE(window->InstallCourseProc(basePath() + "/downloads/BROKEN.giz"));
    EXPECT_FALSE(window->InstallCourseProc(basePath() + "/downloads/MISSING.giz"));
    ASSERT_EQ(answerer.texts().size(), 2);
    for (const QString& text : answerer.texts()) {
        EXPECT_TRUE(text.startsWith("無法安裝所選擇的課程")) << text.toStdString();
    }
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
}

// A reinstall: from the moment that the install tells its end, the course
// holds no version of the data it had, so that its next opening takes the
// service's. The package's plan comes with it.
TEST_F(InstallTest, TheMenuCommandInstallsThePickedFileAndOpensThePicker) {
    installDemoCourse();
    const QString versionFile = basePath() + "/Lexivo2/DEMO/DEMO.ver";
    writeBytes(versionFile, "2023.9\r\n");
    writeBytes(basePath() + "/Lexivo2/DEMO.lxs",
               "DEMO\r\nname\r\n勤奮好學型\r\n40\r\n2024/3/1\r\n2024/4/10\r\n");
    WhenShown fileDialog([] { return QApplication::activeModalWidget(); },
                         [this](QWidget* shown) {
                             auto* dialog = qobject_cast<QFileDialog*>(shown);
                             ASSERT_TRUE(dialog);
                             EXPECT_EQ(dialog->windowTitle(), "請選擇課程安裝檔");
                             EXPECT_EQ(dialog->nameFilters(), QStringList{"課程安裝檔(*.giz)"});
                             dialog->selectFile(package);
                             QMetaObject::invokeMethod(dialog, "accept");
                         });
    // The install holds the main window past its message's close.
    WhenShown picker(loadedForm<frmClassSelect>, [this](QWidget*) {
        EXPECT_FALSE(window->isEnabled());
        EXPECT_EQ(FormInstance<frmClassSelect>::get()->lstClassName, QStringList{"DEMO"});
        FormInstance<frmClassSelect>::unload();
    });
    QByteArray versionAtTheEnd = "(not read)";
    MessageAnswerer answerer("OK", [&] { versionAtTheEnd = readBytes(versionFile); });
    window->mnuFileInstall_Click();

    EXPECT_TRUE(fileDialog.seen());
    EXPECT_TRUE(picker.seen());
    EXPECT_TRUE(demoInstalled());
    EXPECT_EQ(answerer.texts(), QStringList{"\n所選擇的課程已經安裝完成"});
    EXPECT_EQ(versionAtTheEnd, "");
    EXPECT_EQ(big5::readLines(basePath() + "/Lexivo2/DEMO.lxs").mid(2),
              QStringList({"NONE", "0", "2000/1/1", "2000/1/1"}));
    EXPECT_TRUE(window->isEnabled());
}

// The disk fills up while the learner picks the package, and has room again
// for the message: another package would not help, a folder that can be
// written would.
TEST_F(InstallTest, APackageThatCannotBeWrittenAsksForAWritableFolder) {
    std::optional<FullDisk> diskFull;
    WhenShown fileDialog([] { return QApplication::activeModalWidget(); },
                         [&](QWidget* shown) {
                             auto* dialog = static_cast<QFileDialog*>(shown);
                             dialog->selectFile(package);
                             diskFull.emplace();
                             QMetaObject::invokeMethod(dialog, "accept");
                         });
    WhenShown picker(loadedForm<frmClassSelect>,
                     [](QWidget*) { FormInstance<frmClassSelect>::unload(); });
    QList<int> icons;
    MessageAnswerer answerer("OK", [&] {
        icons << shownMessageIcon();
        diskFull.reset();
    });
    window->mnuFileInstall_Click();

    // The picker then says that it has no course.
    EXPECT_TRUE(fileDialog.seen());
    ASSERT_EQ(answerer.trimmedTexts().size(), 2);
    EXPECT_TRUE(answerer.trimmedTexts().first().startsWith("無法寫入本程式的資料夾"));
    EXPECT_EQ(icons.first(), 1);
    EXPECT_FALSE(demoInstalled());
    EXPECT_TRUE(picker.seen());
}

TEST_F(InstallTest, CancellingTheFileDialogInstallsNothing) {
    WhenShown fileDialog([] { return QApplication::activeModalWidget(); },
                         [](QWidget* shown) { static_cast<QDialog*>(shown)->reject(); });
    WhenShown picker(loadedForm<frmClassSelect>,
                     [](QWidget*) { FormInstance<frmClassSelect>::unload(); });
    MessageAnswerer answerer("OK");
    window->mnuFileInstall_Click();
    EXPECT_TRUE(fileDialog.seen());
    EXPECT_FALSE(demoInstalled());
    EXPECT_TRUE(earlierCopies().isEmpty());
    EXPECT_TRUE(window->isEnabled());
}

}  // namespace
