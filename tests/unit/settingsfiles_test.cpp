#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/big5.h"
#include "shared/globals.h"
#include "shared/settingsfiles.h"
#include "tests/support/nofilegrowth.h"
#include "tests/support/tempbase.h"

namespace {

class SettingsFilesTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        setUpGlobals();
        QDir().mkpath(gBasePath + "/Lexivo2");
        QDir().mkpath(gEnginePath);
    }

    static QByteArray big5Bytes(const QString& text) { return big5::encode(text); }
};

TEST_F(SettingsFilesTest, MissingSetupFileBecomesOneLineWithoutHeader) {
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "W", "lastCourse", "A01"), "");
    EXPECT_EQ(readBytes(gSetupSetFile), "lastCourse=A01\r\n");
}

TEST_F(SettingsFilesTest, ReadingMissingFileGivesEmptyAndCreatesNothing) {
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), "");
    EXPECT_FALSE(QFile::exists(gSetupSetFile));
}

TEST_F(SettingsFilesTest, RegistryHeaderTestIsCaseSensitive) {
    writeBytes(gRegistrySetFile, "**SETTINGS FOR GLOSSOR=\r\nsentence=0\r\n");
    SetFile_IO(gRegistrySetFile, "W", "sentence", "He go home.");
    EXPECT_EQ(readBytes(gRegistrySetFile),
              "**settings for glossor=\r\n**SETTINGS FOR GLOSSOR=\r\nsentence=He go home.\r\n");
}

TEST_F(SettingsFilesTest, RegistryWithoutHeaderGetsHeaderFirst) {
    writeBytes(gRegistrySetFile, "errcode=0\r\nqcode=0\r\n");
    SetFile_IO(gRegistrySetFile, "W", "sentence", "I am fine.");
    EXPECT_EQ(readBytes(gRegistrySetFile),
              "**settings for glossor=\r\nerrcode=0\r\nqcode=0\r\nsentence=I am fine.\r\n");
}

TEST_F(SettingsFilesTest, RegistryHeaderIsKeptOnceAndReadsAsKey) {
    writeBytes(gRegistrySetFile, "**settings for glossor=\r\nqcode=0\r\n");
    SetFile_IO(gRegistrySetFile, "W", "qcode", "Q17");
    EXPECT_EQ(readBytes(gRegistrySetFile), "**settings for glossor=\r\nqcode=Q17\r\n");
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "**settings for glossor"), "");
}

TEST_F(SettingsFilesTest, LinesAreNormalisedOnRewrite) {
    writeBytes(gSetupSetFile, "abc\r\nk=a=b\r\n\r\n   \r\n  lastCourse  =  A02  \r\n");
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "k"), "a=b");
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), "A02");
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "abc"), "");

    SetFile_IO(gSetupSetFile, "W", "publisher", "http://x/news.asp");
    EXPECT_EQ(readBytes(gSetupSetFile),
              "abc=\r\nk=a=b\r\nlastCourse=A02\r\npublisher=http://x/news.asp\r\n");
}

// The check writes the sentence and then the question code: the second
// rewrite must not cut the sentence that the first one wrote.
TEST_F(SettingsFilesTest, ValuesHoldingEqualsSignsSurviveLaterRewrites) {
    RegistrySet_IO("RESET");
    for (const QString sentence : {"a = b = c", "if a == b", "it ends with =", "=starts"}) {
        SetFile_IO(gRegistrySetFile, "W", "sentence", sentence);
        SetFile_IO(gRegistrySetFile, "W", "qcode", "U1000101");
        EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "sentence"), sentence);
        EXPECT_TRUE(
            readBytes(gRegistrySetFile).contains("\r\nsentence=" + sentence.toLatin1() + "\r\n"));
    }
    EXPECT_EQ(SetFile_IO(gRegistrySetFile, "R", "**settings for glossor"), "");
}

TEST_F(SettingsFilesTest, OnlyBlanksAreTrimmed) {
    writeBytes(gSetupSetFile, "\tkey = value\t\r\n");
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "\tkey"), "value\t");
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "key"), "");
}

TEST_F(SettingsFilesTest, FirstOfDuplicateKeysWins) {
    writeBytes(gSetupSetFile, "k=1\r\nk=2\r\n");
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "k"), "1");
    SetFile_IO(gSetupSetFile, "W", "k", "3");
    EXPECT_EQ(readBytes(gSetupSetFile), "k=3\r\nk=2\r\n");
}

TEST_F(SettingsFilesTest, KeysAreCaseSensitive) {
    writeBytes(gSetupSetFile, "LastCourse=A01\r\n");
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), "");
    SetFile_IO(gSetupSetFile, "W", "lastCourse", "A02");
    EXPECT_EQ(readBytes(gSetupSetFile), "LastCourse=A01\r\nlastCourse=A02\r\n");
}

TEST_F(SettingsFilesTest, FileOfManyEntriesKeepsThemAll) {
    QByteArray content;
    for (int i = 1; i <= 150; ++i) {
        content += "key" + QByteArray::number(i) + "=" + QByteArray::number(i) + "\r\n";
    }
    writeBytes(gSetupSetFile, content);
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "key150"), "150");
    SetFile_IO(gSetupSetFile, "W", "key120", "changed");
    SetFile_IO(gSetupSetFile, "W", "extra", "x");

    const QByteArray expected =
        QByteArray(content).replace("key120=120\r\n", "key120=changed\r\n") + "extra=x\r\n";
    EXPECT_EQ(readBytes(gSetupSetFile), expected);
}

TEST_F(SettingsFilesTest, ValuesAreBig5OnDisk) {
    SetFile_IO(gSetupSetFile, "W", "publisher", "英文新聞");
    EXPECT_EQ(readBytes(gSetupSetFile), "publisher=" + big5Bytes("英文新聞") + "\r\n");
    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "publisher"), "英文新聞");
}

TEST_F(SettingsFilesTest, RewriteLeavesNoStrayFile) {
    SetFile_IO(gSetupSetFile, "W", "lastCourse", "A01");
    SetFile_IO(gSetupSetFile, "W", "lastCourse", "A02");
    EXPECT_EQ(QDir(gBasePath + "/Lexivo2").entryList(QDir::Files | QDir::Hidden),
              QStringList{"setup.set"});
}

TEST_F(SettingsFilesTest, FailedWriteReturnsEmptyAndCreatesNothing) {
    const QString inMissingFolder = gBasePath + "/missing/setup.set";
    EXPECT_EQ(SetFile_IO(inMissingFolder, "W", "lastCourse", "A01"), "");
    EXPECT_FALSE(QFile::exists(inMissingFolder));
}

TEST_F(SettingsFilesTest, FailedWriteLeavesOldFile) {
    writeBytes(gSetupSetFile, "lastCourse=A01\r\n");
    bool limited = false;
    QString answer;
    {
        const NoFileGrowth diskFull;
        limited = diskFull.isActive();
        answer = SetFile_IO(gSetupSetFile, "W", "lastCourse", "A02");
    }
    ASSERT_TRUE(limited);
    EXPECT_EQ(answer, "");
    EXPECT_EQ(readBytes(gSetupSetFile), "lastCourse=A01\r\n");
}

// Root opens a file whatever its permission bits; a socket nobody can open
// as a file.
TEST_F(SettingsFilesTest, UnreadableFileIsNotRewritten) {
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(socket, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(gSetupSetFile);
    ASSERT_LT(size_t(path.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const bool bound = ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    const QString answer = SetFile_IO(gSetupSetFile, "W", "lastCourse", "A02");
    ::close(socket);
    ASSERT_TRUE(bound);
    EXPECT_EQ(answer, "");
    EXPECT_TRUE(QFileInfo::exists(gSetupSetFile));
    EXPECT_FALSE(QFileInfo(gSetupSetFile).isFile());
}

TEST_F(SettingsFilesTest, RegistryResetWritesDefaultContent) {
    gCourseId = "A01";
    writeBytes(gRegistrySetFile, "sentence=old\r\n");
    RegistrySet_IO("RESET");
    const QByteArray coursePath = (gBasePath + "/Lexivo2/A01").toUtf8();
    EXPECT_EQ(readBytes(gRegistrySetFile),
              "**settings for glossor=\r\ncol_suggestion=0\r\ncollocationListHtm=\r\nerrcode=0\r\n"
              "findMistake=0\r\nqcode=0\r\nsentence=0\r\nhtm4chk=\r\nsynChk=\r\ncoursePath=" +
                  coursePath + "\r\n");
}

TEST_F(SettingsFilesTest, ReadTextFileSkipsFirstTwoBytes) {
    const QString path = gBasePath + "/page.htm";
    writeBytes(path, "\r\n" + big5Bytes("<p>中文 text</p>\r\n"));
    EXPECT_EQ(ReadTextFile(path), "<p>中文 text</p>\r\n");
    EXPECT_EQ(ReadTextFile2(path), "<p>中文 text</p>\r\n");
    EXPECT_EQ(ReadTextFile(gBasePath + "/missing.htm"), "");
}

TEST_F(SettingsFilesTest, WriteTextFileWritesBig5WithoutMark) {
    const QString path = gBasePath + "/study.htm";
    writeBytes(path, "an older and longer page");
    WriteTextFile(path, "\r\n學習 ok");
    EXPECT_EQ(readBytes(path), "\r\n" + big5Bytes("學習 ok"));
    EXPECT_EQ(ReadTextFile(path), "學習 ok");
}

TEST_F(SettingsFilesTest, CourseNameIsSecondLineOfDescriptor) {
    writeBytes(gBasePath + "/Lexivo2/A01.lxs",
               big5Bytes("A01\r\n英文造句入門\r\nNONE\r\n0\r\n2012/3/5\r\n2012/3/5\r\n"));
    EXPECT_EQ(GetCourseName("A01"), "英文造句入門");
    EXPECT_EQ(GetCourseName("B02"), "");
    writeBytes(gBasePath + "/Lexivo2/d04.lxs", big5Bytes("D04\r\n小寫課程\r\n"));
    EXPECT_EQ(GetCourseName("D04"), "小寫課程");

    writeBytes(gBasePath + "/Lexivo2/C03.lxs", "C03\r\n");
    EXPECT_EQ(GetCourseName("C03"), "");
}

}  // namespace
