#include <cstdio>
#include <QDir>
#include <QFile>

#include "platform/big5.h"
#include "platform/forminstance.h"
#include "shared/frmMessage.h"
#include "shared/globals.h"
#include "shared/helpers.h"
#include "shared/install.h"
#include "tests/support/fulldisk.h"
#include "tests/support/messagewindow.h"
#include "tests/support/tempbase.h"

namespace {

class InstallTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        setUpGlobals();
    }

    QString product() const { return basePath() + "/Lexivo2"; }
    QString engine() const { return basePath() + "/glossor"; }
};

TEST_F(InstallTest, WipesAndRestampsAProductFolderWithAnOldStamp) {
    writeBytes(product() + "/verify.set", "20110222-1234\r\n");
    writeBytes(product() + "/A01/userData.mdb", "learner records");

    InstallEngineData();

    EXPECT_FALSE(QFile::exists(product() + "/A01/userData.mdb"));
    EXPECT_EQ(big5::readLines(product() + "/verify.set"), QStringList{kLayoutStamp});
}

TEST_F(InstallTest, KeepsAProductFolderWhoseFirstLineIsTheStamp) {
    writeBytes(product() + "/verify.set", "20110222-1235\r\nanything else\r\n");
    writeBytes(product() + "/A01/userData.mdb", "learner records");

    InstallEngineData();

    EXPECT_TRUE(QFile::exists(product() + "/A01/userData.mdb"));
}

TEST_F(InstallTest, UnpacksManualAndEngineAndLeavesNoEngineProgramOrTemporaryPages) {
    writeBytes(engine() + "/tmp1.htm", "old page");
    writeBytes(engine() + "/glossor2.exe", "engine");

    InstallEngineData();

    EXPECT_TRUE(FolderExists(product() + "/manual"));
    EXPECT_TRUE(FileExists(engine() + "/data/err4list.mdb"));
    EXPECT_TRUE(FileExists(basePath() + "/LexivoData.exe"));
    EXPECT_FALSE(FileExists(engine() + "/tmp1.htm"));
    EXPECT_FALSE(FileExists(engine() + "/glossor2.exe"));
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
}

TEST_F(InstallTest, AMissingPackageIsReportedAndInstallsNothing) {
    QString error;
    EXPECT_FALSE(RunPackage(basePath() + "/absent.giz", "absent.exe", product(), &error));
    EXPECT_TRUE(error.contains("absent.giz"));
    EXPECT_FALSE(FileExists(basePath() + "/absent.exe"));
}

// Whole packages that cannot be written ask for a folder that can be, not
// for the program again (as damaged ones do: the end-to-end tests of the
// local data). A start tells it once, so the child is a start of its own;
// nothing can be written meanwhile, so it tells what it showed afterwards.
TEST_F(InstallTest, PackagesThatCannotBeWrittenAskForAWritableFolder) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            int icon = -1;
            MessageAnswerer answerer("OK", [&icon] { icon = shownMessageIcon(); });
            {
                const FullDisk full;
                InstallEngineData();
            }
            std::fprintf(stderr, "told %d, icon %d: %s\n", int(answerer.texts().size()), icon,
                         qUtf8Printable(answerer.trimmedTexts().value(0)));
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "told 1, icon 1: 無法寫入本程式的資料夾");
}

// Another copy is the cure for a damaged or missing package only: a whole
// one failed at its writing.
TEST_F(InstallTest, AFailedPackageIsToldAsDamagedOnlyWhenItIsNotWhole) {
    writeBytes(basePath() + "/broken.giz", "not a package");
    EXPECT_EQ(PackageFailureMessage(ProgramFolder() + "/giz/glossor.giz", "5003"), "29981");
    EXPECT_EQ(PackageFailureMessage(basePath() + "/broken.giz", "5003"), "5003");
    EXPECT_EQ(PackageFailureMessage(basePath() + "/missing.giz", "29861"), "29861");
}

TEST_F(InstallTest, InstallUpdaterWritesTheProgramFolderForTheUpdater) {
    InstallUpdater();

    const QStringList lines = big5::readLines(basePath() + "/Tavimor/setup.txt");
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(QDir::fromNativeSeparators(lines.first()), ProgramFolder());
    EXPECT_FALSE(FormInstance<frmMessage>::isLoaded());
}

// The installed updater files are replaced only by copies that were made
// whole: a missing file of the program folder or a failed copy keeps them.
TEST_F(InstallTest, InstallUpdaterReplacesTheInstalledFilesOnlyByWholeCopies) {
    const QString program = basePath() + "/program";
    const QString maker = basePath() + "/Tavimor";
    writeBytes(maker + "/updater.exe", "FILEVERSION=1.0.0.1");
    writeBytes(maker + "/updater.exe.manifest", "old manifest");
    writeBytes(program + "/updater.exe", "FILEVERSION=1.0.0.2");
    writeBytes(program + "/olelib.tlb", "new library");
    // Half a copy that an interrupted run left behind.
    writeBytes(maker + "/updater.exe.new", "FILEVER");

    InstallUpdaterFrom(program);

    EXPECT_EQ(big5::readBytes(maker + "/updater.exe"), "FILEVERSION=1.0.0.2");
    EXPECT_FALSE(QFile::exists(maker + "/updater.exe.new"));
    EXPECT_EQ(big5::readBytes(maker + "/updater.exe.manifest"), "old manifest");
    EXPECT_EQ(big5::readBytes(maker + "/olelib.tlb"), "new library");

    writeBytes(program + "/updater0.exe", "FILEVERSION=1.0.0.3");
    // A folder where the copy would be written makes the copy fail.
    ASSERT_TRUE(QDir().mkpath(maker + "/updater.exe.new/blocked"));
    InstallUpdaterFrom(program);
    EXPECT_EQ(big5::readBytes(maker + "/updater.exe"), "FILEVERSION=1.0.0.2");
    EXPECT_TRUE(FileExists(program + "/updater0.exe"));

    ASSERT_TRUE(QDir(maker + "/updater.exe.new").removeRecursively());
    InstallUpdaterFrom(program);
    EXPECT_EQ(big5::readBytes(maker + "/updater.exe"), "FILEVERSION=1.0.0.3");
    EXPECT_FALSE(FileExists(program + "/updater0.exe"));
}

TEST_F(InstallTest, ExeVersionIsTheEmbeddedStampOrEmpty) {
    writeBytes(basePath() + "/a.exe", QByteArray("\x01\x02junkFILEVERSION=1.0.0.10\x00more", 30));
    writeBytes(basePath() + "/b.exe", "no version block here");
    writeBytes(basePath() + "/c.exe", "FILEVERSION=1.70000.0.0");
    writeBytes(basePath() + "/d.exe", "FILEVERSION=65535.0.0.1");
    writeBytes(basePath() + "/e.exe", "FILEVERSION=1.65536.0.0");

    EXPECT_EQ(GetExeVersion(basePath() + "/a.exe"), "1.0.0.10");
    EXPECT_EQ(GetExeVersion(basePath() + "/b.exe"), "");
    EXPECT_EQ(GetExeVersion(basePath() + "/c.exe"), "");
    EXPECT_EQ(GetExeVersion(basePath() + "/d.exe"), "65535.0.0.1") << "the largest 16-bit part";
    EXPECT_EQ(GetExeVersion(basePath() + "/e.exe"), "");
    EXPECT_EQ(GetExeVersion(basePath() + "/missing.exe"), "");
}

TEST_F(InstallTest, CourseVersionIsStoredAtTheFirstOpeningAndMatchedLater) {
    const QString versionFile = product() + "/A01/A01.ver";
    QDir().mkpath(product() + "/A01");

    EXPECT_TRUE(CheckCourseVersionWith("A01", "3"));
    EXPECT_EQ(big5::readLines(versionFile), QStringList{"3"});
    EXPECT_TRUE(CheckCourseVersionWith("A01", "3"));

    // An empty file holds no version: it is written as a missing one is.
    writeBytes(versionFile, "");
    MessageAnswerer answerer("OK");
    EXPECT_TRUE(CheckCourseVersionWith("A01", "4"));

    // A course installed in lower case keeps its version in its own file.
    writeBytes(product() + "/b02/b02.ver", "2\r\n");
    EXPECT_FALSE(CheckCourseVersionWith("B02", "3"));
    EXPECT_EQ(answerer.texts().size(), 1);
}

TEST_F(InstallTest, AnUnreachableServiceNeitherStoresNorRefusesAVersion) {
    const QString versionFile = product() + "/A01/A01.ver";
    QDir().mkpath(product() + "/A01");

    EXPECT_TRUE(CheckCourseVersionWith("A01", "ERR_CONNECT_FAILED"));
    EXPECT_FALSE(FileExists(versionFile));

    writeBytes(versionFile, "2\r\n");
    EXPECT_TRUE(CheckCourseVersionWith("A01", "ERR_CONNECT_FAILED"));
    EXPECT_EQ(big5::readLines(versionFile), QStringList{"2"});
}

TEST_F(InstallTest, DeleteFolderAllTakesATrailingSlash) {
    writeBytes(basePath() + "/glossor/data/x.mdb", "x");

    DeleteFolderAll(basePath() + "/glossor/");

    EXPECT_FALSE(FolderExists(basePath() + "/glossor"));
}

}  // namespace
