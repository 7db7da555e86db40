#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/big5.h"
#include "tests/e2e/programrun.h"
#include "tests/e2e/programtest.h"
#include "tests/support/hostilezip.h"

namespace {

const QString kUnwritableText = QStringLiteral("message 無法寫入本程式的資料夾");
const QString kDamagedPackageText = QStringLiteral("message 無法建立必要的組件資料");
const QString kUnknownServerText =
    QStringLiteral("message 帳號管理伺服器回報您的帳號不屬於任何伺服器所管理");

class LocalDataProgramTest : public ProgramTest {
protected:
    // A product folder that the start keeps: it bears the layout stamp.
    void keepProductFolder() {
        ASSERT_TRUE(QDir().mkpath(tmp() + "/Lexivo2"));
        ASSERT_TRUE(big5::writeLines(productFile("verify.set"), {"20110222-1235"}));
    }
    void writeFile(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // The program ended by itself, having shown nothing but the message.
    static void expectEndedWithOnly(const ProgramRun& program, const QString& message) {
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_FALSE(program.crashed());
        EXPECT_TRUE(program.logHasStart(message)) << program.log().join("\n").toStdString();
        EXPECT_FALSE(program.logHas("shown frmMain"));
    }
};

// Folders the program cannot write

TEST_F(LocalDataProgramTest, ABaseFolderThatIsAFileEndsTheStartWithAMessage) {
    const QString notAFolder = tmp() + "/file";
    writeFile(notAFolder, "a file where the data folder should be");
    ProgramRun program(notAFolder, serversFile());
    ASSERT_TRUE(program.run({"LXV"}, {step({"answer", "OK"})}, kRunTimeoutMs))
        << program.output().toStdString();

    expectEndedWithOnly(program, kUnwritableText);
    EXPECT_TRUE(QFileInfo(notAFolder).isFile());
}

TEST_F(LocalDataProgramTest, AProductFolderThatIsAFileEndsTheStartWithAMessage) {
    writeFile(tmp() + "/Lexivo2", "a file where the product folder should be");
    ProgramRun program(tmp(), serversFile());
    ASSERT_TRUE(program.run({"LXQ"}, {step({"answer", "OK"})}, kRunTimeoutMs))
        << program.output().toStdString();

    expectEndedWithOnly(program, kUnwritableText);
    EXPECT_FALSE(program.logHas("shown frmLogin"));
    EXPECT_TRUE(QFileInfo(tmp() + "/Lexivo2").isFile());
}

// Permission bits bind every user but root (as CI runs); a folder of the
// process file system takes a new file from no one. The product folder is
// tried on a base of its own, so that the one with the settings stays.
TEST_F(LocalDataProgramTest, ReadOnlyDataFoldersEndTheStartWithAMessage) {
    keepProductFolder();
    writeFile(productFile("setup.set"), "lastCourse=DEMO\r\n");
    const QString otherBase = tmp() + "/other";
    ASSERT_TRUE(QDir().mkpath(otherBase));
    const QList<QPair<QString, QString>> basesAndFolders{{tmp(), tmp() + "/glossor"},
                                                         {otherBase, otherBase + "/Lexivo2"},
                                                         {tmp() + "/base", tmp() + "/base"}};
    for (const auto& [base, folder] : basesAndFolders) {
        ASSERT_TRUE(QFile::link("/proc/self/fdinfo", folder));
        ProgramRun program(base, serversFile());
        const bool ran = program.run({"LXV"}, {step({"answer", "OK"})}, kRunTimeoutMs);
        QFile::remove(folder);
        ASSERT_TRUE(ran) << program.output().toStdString();

        expectEndedWithOnly(program, kUnwritableText);
        EXPECT_EQ(big5::readLines(productFile("setup.set")), QStringList{"lastCourse=DEMO"});
    }
}

// Damaged settings at the start

// setup.set naming a folder outside the product folder opens nothing there:
// the learner picks a course, and the file is left as it was.
TEST_F(LocalDataProgramTest, ASetupFileNamingAnotherFolderLeadsToThePicker) {
    startStandin();
    keepProductFolder();
    QByteArray setup;
    for (int line = 0; line < 50000; ++line) {
        setup += "\x01\xff junk \xa4\r\n";
    }
    setup += "lastCourse=../glossor\r\n\xa4";
    writeFile(productFile("setup.set"), setup);
    ProgramRun program(tmp(), serversFile());
    ASSERT_TRUE(program.run({"LXV"}, joined({closeNews(), closeEmptyPicker(), leaveProgram()}),
                            kRunTimeoutMs))
        << program.log().join("\n").toStdString();

    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(program.logHas("shown frmClassSelect"));
    EXPECT_FALSE(program.logHasStart("message 無法找到指定的課程內容"));
    EXPECT_TRUE(program.logHas("shown frmMain"));
    QFile written(productFile("setup.set"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), setup);
}

// An lxmcert.set that lost its server line names no server: signing in
// first asks for the account's lookup, and the sign-in after it is
// remembered.
TEST_F(LocalDataProgramTest, ACertificateFileWithoutItsServerLeavesTheServerToTheLookup) {
    startStandin();
    keepProductFolder();
    writeFile(productFile("lxmcert.set"), "  \r\nDEMOM001\r\n");
    const QString server = standinHost();
    const QStringList noLogin = {
        step({"wait", "frmLXMLogin"}),
        step({"type", "frmLXMLogin", "txtPassword", "demo"}),
        step({"key", "frmLXMLogin", "txtPassword", "Return"}),
        step({"answer", "OK"}),
    };
    ProgramRun program(tmp(), serversFile());
    ASSERT_TRUE(program.run({"LXM"},
                            joined({closeNews(), noLogin, signInLXM("DEMOM001", "demo"),
                                    closeEmptyPicker(), leaveProgram()}),
                            kRunTimeoutMs))
        << program.log().join("\n").toStdString();

    EXPECT_TRUE(program.logHasStart(kUnknownServerText)) << program.log().join("\n").toStdString();
    EXPECT_FALSE(program.logHasStart("message 無法找到伺服器"));
    EXPECT_TRUE(program.logHas("shown frmMain"));
    EXPECT_EQ(big5::readLines(productFile("lxmcert.set")), QStringList({server, "DEMOM001"}));
    EXPECT_EQ(requestedPaths().filter("p_getlogin.asp").size(), 1);
}

// Damaged packages of the program folder

// A copy of the program folder whose data packages are not what they should
// be (one leads out of its folder, one is no archive): the start says so
// once and goes on to the main window. The engine rebuild from the damaged
// package says it cannot, and leaves the engine that is there.
TEST_F(LocalDataProgramTest, DamagedDataPackagesAreReportedOnceAndTheStartGoesOn) {
    startStandin();
    QTemporaryDir programFolder;
    ASSERT_TRUE(programFolder.isValid());
    const QString executable = programFolder.path() + "/lexivo";
    const QString built = QStringLiteral(LEXIVO_PROGRAM_DIR) + "/lexivo";
    ASSERT_TRUE(::link(QFile::encodeName(built).constData(),
                       QFile::encodeName(executable).constData()) == 0 ||
                QFile::copy(built, executable));
    ASSERT_TRUE(QDir().mkpath(programFolder.path() + "/giz"));
    ASSERT_TRUE(writeHostileZip(programFolder.path() + "/giz/manual.giz",
                                {{"manual/index.htm"}, {"../planted.txt"}}));
    writeFile(programFolder.path() + "/giz/glossor.giz", "");
    const QString engineData = tmp() + "/glossor/data/err4list.mdb";
    ASSERT_TRUE(QDir().mkpath(tmp() + "/glossor/data"));
    writeFile(engineData, "engine");
    const QStringList rebuild = {step({"menu", "frmMain", "引擎重建"}), step({"answer", "OK"}),
                                 step({"answer", "OK", "無法找到進行重建所需要的復原組件"})};

    ProgramRun program(tmp(), serversFile());
    program.setProgramFolder(programFolder.path());
    ASSERT_TRUE(program.run(
        {"LXV"},
        joined(
            {{step({"answer", "OK"})}, closeNews(), closeEmptyPicker(), rebuild, leaveProgram()}),
        kRunTimeoutMs))
        << program.log().join("\n").toStdString();

    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(program.log().filter(kDamagedPackageText).size(), 1)
        << program.log().join("\n").toStdString();
    EXPECT_TRUE(program.logHas("shown frmMain"));
    EXPECT_FALSE(QFileInfo::exists(tmp() + "/Lexivo2/manual"));
    EXPECT_FALSE(QFileInfo::exists(tmp() + "/planted.txt"));
    EXPECT_TRUE(QFile::exists(engineData));
}

}  // namespace
