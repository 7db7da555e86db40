#include <gtest/gtest.h>
#include <map>
#include <QDir>
#include <QDirIterator>
#include <QRandomGenerator>

#include "platform/big5.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/package.h"
#include "shared/globals.h"
#include "shared/install.h"
#include "startup/frmClassSelect.h"
#include "tests/crash/crashrun.h"
#include "tests/support/mainwindowfixture.h"

namespace {

using CourseFiles = std::map<QString, QByteArray>;

// Installs of two versions of the demo course, one after the other, cut at
// the event rounds of the unpacking and at random moments; the next start
// must find one version whole.
class InstallCrashTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        setUpEdition("LXV");
        installDemoCourse();
        db::closeAllConnections();
        firstVersion = ProgramFolder() + "/DEMO.giz";
        secondVersion = makeSecondVersion();
        firstFiles = filesOf(unpacked(firstVersion, "first"));
        secondFiles = filesOf(basePath() + "/second");
        ASSERT_NE(firstFiles, secondFiles);
    }

    // The course with another name, its progress changed, a row more for
    // the learner and a page changed. It holds the same files as the first,
    // as an install leaves a file that the package does not hold.
    QString makeSecondVersion() {
        const QString source = unpacked(firstVersion, "second");
        big5::writeLines(source + "/DEMO.lxs",
                         {"DEMO", "示範課程 第二版", "NONE", "0", "2000/1/1", "2000/1/1"});
        EXPECT_TRUE(db::execute("update bswunit set VISITED = '3'",
                                "Data Source=" + source + "/DEMO/LexivoData.mdb"));
        EXPECT_TRUE(db::execute("insert into mistakes values ('CP001', 7)",
                                "Data Source=" + source + "/DEMO/userData.mdb"));
        writeBytes(source + "/DEMO/unit3.xtm", "a page of the second version");
        db::closeAllConnections();
        const QString package = basePath() + "/packages/DEMO.giz";
        EXPECT_TRUE(package::pack(source, package));
        return package;
    }

    QString unpacked(const QString& package, const QString& name) {
        const QString folder = basePath() + "/" + name;
        EXPECT_TRUE(package::unpack(package, folder));
        return folder;
    }

    // The course's files under a folder: its descriptor and its own folder.
    static CourseFiles filesOf(const QString& folder) {
        CourseFiles files{{"DEMO.lxs", readBytes(folder + "/DEMO.lxs")}};
        QDirIterator it(folder + "/DEMO", QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files[QDir(folder).relativeFilePath(path)] = readBytes(path);
        }
        return files;
    }

    // What the next start finds, after it has finished any install that was
    // cut short.
    void expectOneWholeVersion() {
        InstallEngineData();
        const CourseFiles installed = filesOf(ProductFolder());
        EXPECT_TRUE(installed == firstFiles || installed == secondFiles)
            << "a mix of versions: " << QStringList(keysOf(installed)).join(' ').toStdString();
        EXPECT_TRUE(QDir(ProductFolder())
                        .entryList({".unpack*"}, QDir::AllEntries | QDir::Hidden)
                        .isEmpty());
        EXPECT_EQ(FormInstance<frmClassSelect>::get()->lstClassName, QStringList{"DEMO"});
        FormInstance<frmClassSelect>::unload();
        db::Recordset units("select count(*) from bswunit", gCourseConnStr);
        EXPECT_GT(units.field(0).toInt(), 0);
        db::closeAllConnections();
    }

    static QStringList keysOf(const CourseFiles& files) {
        QStringList keys;
        for (const auto& [name, bytes] : files) {
            keys << name;
        }
        return keys;
    }

    void startInstalls(CrashRun& child, int killAtRound) {
        ASSERT_TRUE(
            child.start("install", {firstVersion, secondVersion, QString::number(killAtRound)}))
            << child.describe().toStdString();
    }

    QString firstVersion;
    QString secondVersion;
    CourseFiles firstFiles;
    CourseFiles secondFiles;
};

TEST_F(InstallCrashTest, KilledWhileUnpackingLeavesTheFormerVersion) {
    gCourseId = "DEMO";
    BuildConnStrings();
    // Each install pumps events once per entry: about a dozen rounds.
    for (int round = 1; round <= 26; round += 3) {
        SCOPED_TRACE(testing::Message() << "killed at event round " << round);
        CrashRun child(basePath());
        startInstalls(child, round);
        ASSERT_TRUE(child.waitForEnd());
        ASSERT_TRUE(child.endedByKill()) << child.describe().toStdString();
        expectOneWholeVersion();
    }
}

TEST_F(InstallCrashTest, KilledAtAnyMomentLeavesOneVersionWhole) {
    gCourseId = "DEMO";
    BuildConnStrings();
    for (int run = 0; run < 8; ++run) {
        SCOPED_TRACE(testing::Message() << "run " << run);
        CrashRun child(basePath());
        startInstalls(child, 0);
        child.killAfter(run * 8 + int(QRandomGenerator(quint32(run)).bounded(8)));
        ASSERT_TRUE(child.endedByKill()) << child.describe().toStdString();
        expectOneWholeVersion();
    }
}

}  // namespace
