#include <gtest/gtest.h>
#include <functional>
#include <QDir>
#include <QRandomGenerator>

#include "platform/big5.h"
#include "platform/forminstance.h"
#include "shared/globals.h"
#include "shared/settingsfiles.h"
#include "startup/frmClassSelect.h"
#include "tests/crash/crashoperations.h"
#include "tests/crash/crashrun.h"
#include "tests/support/servicelog.h"
#include "tests/support/tempbase.h"
#include "workspace/coursedescriptor.h"
#include "workspace/studyplan.h"

namespace {

constexpr int kRunsPerFile = 8;
constexpr int kLongestDelayMs = 60;

// Settings and text files rewritten over and over by a child that is killed
// after a different delay each run: every file must then hold one of the
// states written whole, never a part of one, and never be missing.
class SettingsCrashTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        setUpGlobals("LXV");
        QDir().mkpath(gBasePath + "/Lexivo2");
        QDir().mkpath(gEnginePath);
    }

    // The bytes that `write` leaves in the file.
    static QByteArray bytesAfter(const QString& path, const std::function<void()>& write) {
        write();
        return readBytes(path);
    }

    // Runs the child kRunsPerFile times, each from the file state `before`
    // made, and hands each run's outcome to check.
    void killRepeatedly(const QString& operation, const QStringList& arguments,
                        const std::function<void()>& before, const std::function<void()>& check) {
        for (int run = 0; run < kRunsPerFile; ++run) {
            before();
            CrashRun child(basePath());
            ASSERT_TRUE(child.start(operation, arguments)) << child.describe().toStdString();
            child.killAfter(delayOfRun(run));
            ASSERT_TRUE(child.endedByKill()) << child.describe().toStdString();
            SCOPED_TRACE(testing::Message() << "run " << run);
            check();
        }
    }

    // Stepped over the range, with some jitter so that the kills do not
    // keep meeting the same point of the loop.
    static int delayOfRun(int run) {
        QRandomGenerator jitter(quint32(run) + 1);
        return run * kLongestDelayMs / kRunsPerFile + int(jitter.bounded(8));
    }

    static void expectOneOf(const QByteArray& actual, const QList<QByteArray>& states) {
        EXPECT_TRUE(states.contains(actual))
            << "found " << actual.size() << " bytes: " << actual.left(200).toStdString();
    }
};

TEST_F(SettingsCrashTest, SetupFileHoldsEveryKeyWithTheOldOrTheNewValue) {
    const QStringList lines{"lastCourse=DEMO", "publisher=http://news.example/a?b=c",
                            "unsentPlan.DEMO=20@2024/1/1@2024/1/21", "learnerNote=初始"};
    const auto restore = [&] { big5::writeLines(gSetupSetFile, lines); };
    restore();
    const QByteArray original = readBytes(gSetupSetFile);
    const QByteArray first = bytesAfter(gSetupSetFile, [] {
        SetFile_IO(gSetupSetFile, "W", "learnerNote", crashops::settingValue(0));
    });
    const QByteArray second = bytesAfter(gSetupSetFile, [] {
        SetFile_IO(gSetupSetFile, "W", "learnerNote", crashops::settingValue(1));
    });

    killRepeatedly("setfile", {gSetupSetFile, "learnerNote"}, restore, [&] {
        expectOneOf(readBytes(gSetupSetFile), {original, first, second});
        EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), "DEMO");
    });
}

// The engine's hand-off file is rewritten whole from its default content.
TEST_F(SettingsCrashTest, RegistryFileIsAlwaysOneWholeReset) {
    InitialGlobalSetting();
    const QByteArray started = readBytes(gRegistrySetFile);
    const auto resetFor = [](int which) {
        return [which] {
            gCourseId = crashops::registryCourse(which);
            RegistrySet_IO("RESET");
        };
    };
    const QByteArray first = bytesAfter(gRegistrySetFile, resetFor(0));
    const QByteArray second = bytesAfter(gRegistrySetFile, resetFor(1));

    killRepeatedly(
        "registry", {unusedLoopbackBase()}, [] {},
        [&] {
            expectOneOf(readBytes(gRegistrySetFile), {started, first, second});
        });
}

TEST_F(SettingsCrashTest, LargePageIsEitherPageWhole) {
    const QString page = gBasePath + "/Lexivo2/manual/tmp.htm";
    QDir().mkpath(QFileInfo(page).absolutePath());
    const QByteArray first = bytesAfter(page, [&] { WriteTextFile(page, crashops::pageText(0)); });
    const QByteArray second = bytesAfter(page, [&] { WriteTextFile(page, crashops::pageText(1)); });

    killRepeatedly(
        "textfile", {page}, [] {},
        [&] {
            expectOneOf(readBytes(page), {first, second});
        });
}

// The plan dialog's confirmation while the service is away: the descriptor
// and the plan waiting in setup.set are each the old or the new plan.
TEST_F(SettingsCrashTest, StudyPlanInTheDescriptorAndInSetupIsNeverCut) {
    const QString service = unusedLoopbackBase();
    const QString descriptor = CourseDescriptor::pathOf("DEMO");
    const auto restore = [&] {
        big5::writeLines(descriptor, {"DEMO", "示範課程", "NONE", "0", "2000/1/1", "2000/1/1"});
        big5::writeLines(gSetupSetFile, {"lastCourse=DEMO"});
    };
    restore();
    const QByteArray noPlan = readBytes(descriptor);
    const QByteArray noWaitingPlan = readBytes(gSetupSetFile);
    gCourseId = "DEMO";
    QList<QByteArray> descriptors{noPlan};
    QList<QByteArray> setups{noWaitingPlan};
    for (int which = 0; which < 2; ++which) {
        crashops::setPlan(which);
        descriptors << bytesAfter(descriptor, [] { studyplan::writeDescriptor(false); });
        setups << bytesAfter(gSetupSetFile, [] {
            SetFile_IO(gSetupSetFile, "W", "unsentPlan.DEMO", studyplan::memo());
        });
    }

    killRepeatedly("plan", {service}, restore, [&] {
        expectOneOf(readBytes(descriptor), descriptors);
        expectOneOf(readBytes(gSetupSetFile), setups);
        CourseDescriptor read;
        EXPECT_TRUE(read.read(descriptor));
        EXPECT_TRUE(read.isComplete());
    });
}

// A write cut short leaves its temporary file beside the one it replaces
// (named after it, with a suffix): whoever reads or lists the folder passes
// it by.
TEST_F(SettingsCrashTest, LeftoverTemporaryFilesAreNotRead) {
    big5::writeLines(gSetupSetFile, {"lastCourse=DEMO"});
    big5::writeLines(CourseDescriptor::pathOf("DEMO"),
                     {"DEMO", "示範課程", "NONE", "0", "2000/1/1", "2000/1/1"});
    writeBytes(gBasePath + "/Lexivo2/DEMO/LexivoData.mdb", QByteArray());
    writeBytes(gSetupSetFile + ".kWq3Zp", "lastCourse=CUT");
    writeBytes(CourseDescriptor::pathOf("DEMO") + ".aB12cD", "DEMO\r\n半");
    writeBytes(gBasePath + "/Lexivo2/CUT.lxs.x9Y8z7", "CUT\r\ncut\r\n");

    EXPECT_EQ(SetFile_IO(gSetupSetFile, "R", "lastCourse"), "DEMO");
    EXPECT_EQ(GetCourseName("DEMO"), "示範課程");
    frmClassSelect* picker = FormInstance<frmClassSelect>::get();
    EXPECT_EQ(picker->lstClassName, QStringList{"DEMO"});
    FormInstance<frmClassSelect>::unload();
}

TEST_F(SettingsCrashTest, RecentServerListIsNeverLost) {
    const QString list = gBasePath + "/Lexivo2/ServerList.set";
    const QStringList alpha = {crashops::serverName(0)};
    const QStringList beta = {crashops::serverName(1)};
    const QStringList gamma = {"gamma.example"};
    const QList<QStringList> states{gamma, alpha + gamma, beta + alpha + gamma,
                                    alpha + beta + gamma};

    killRepeatedly(
        "serverlist", {unusedLoopbackBase()}, [&] { big5::writeLines(list, gamma); },
        [&] {
            bool read = false;
            const QStringList lines = big5::readLines(list, &read);
            EXPECT_TRUE(read);
            EXPECT_TRUE(states.contains(lines)) << lines.join(" | ").toStdString();
        });
}

}  // namespace
