#include <gtest/gtest.h>

#include <cstdio>

#include "shared/globals.h"
#include "startup/frmStartup.h"
#include "startup/runningversion.h"
#include "tests/support/fulldisk.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/messagewindow.h"
#include "tests/support/servicelog.h"
#include "tests/support/standinprocess.h"

namespace {

QStringList shownTexts(const MessageAnswerer& answerer) {
    QStringList texts;
    for (const QString& text : answerer.texts()) {
        texts << text.simplified();
    }
    return texts;
}

const QString kReinstallText =
    QStringLiteral("軟體已有重大的變革, 需重新安裝程式！ 您是否要現在進行下載安裝?");

class VersionCheckTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(standin.start());
        setUpEdition("LXV", standin.baseUrl());
        standin.clearLog();
    }
    QStringList versionTypes() {
        QStringList types;
        for (const StandinRequest& request : standin.log()) {
            if (request.path == "/p_getversion.asp") {
                types << QString::fromLatin1(request.body).section("type=", 1);
            }
        }
        return types;
    }

    frmStartup startup;
    StandinProcess standin;
};

using FullDataFolderTest = MainWindowTest;

}  // namespace

TEST(StartupTest, TheEditionIsTheWholeCommandLineUpperCasedAndTrimmed) {
    EXPECT_EQ(frmStartup::EditionFromArguments({"lexivo", " lxq "}), "LXQ");
    EXPECT_EQ(frmStartup::EditionFromArguments({"lexivo", "LXQX"}), "LXQX");
    EXPECT_EQ(frmStartup::EditionFromArguments({"lexivo"}), "");
    EXPECT_EQ(frmStartup::EditionFromArguments({"lexivo", "lxq", "extra"}), "LXQ EXTRA");
}

TEST(StartupTest, VersionsCompareAsTextAndAnythingButAVersionOffersNothing) {
    EXPECT_EQ(VersionTextOf("2.3903.0.201"), "2.3903.201");
    EXPECT_EQ(RunningVersionText(), "2.1.0");
    const QString running = "2.3903.201";
    EXPECT_TRUE(frmStartup::IsNewerVersion("2.3904.1", running));
    EXPECT_FALSE(frmStartup::IsNewerVersion("2.3903.201", running));
    EXPECT_FALSE(frmStartup::IsNewerVersion("2.10.0", running));
    EXPECT_FALSE(frmStartup::IsNewerVersion("ERR_NOTFOUND", running));
    EXPECT_FALSE(frmStartup::IsNewerVersion("<html>9</html>", running));
    EXPECT_FALSE(frmStartup::IsNewerVersion("", running));
}

// The service answers its availability check but not the first version
// request: the big version must then go unasked.
TEST_F(VersionCheckTest, AnOfflineServiceIsReportedOnceAndTheBigVersionIsNotAsked) {
    ASSERT_TRUE(standin.setMode("p_getversion.asp", "status:503"));
    QList<int> icons;
    MessageAnswerer answerer("OK", [&icons] { icons << shownMessageIcon(); });
    EXPECT_TRUE(startup.CheckServerVersion());
    EXPECT_EQ(shownTexts(answerer), QStringList{"目前網路中斷或傳輸品質不佳，請檢查網路連線"});
    EXPECT_EQ(icons, QList<int>{1});
    EXPECT_EQ(versionTypes(), QStringList{"lxv"});
}

TEST_F(VersionCheckTest, AnErrorReplyOffersNoUpdate) {
    ASSERT_TRUE(standin.setMode("p_getversion.asp", "err:ERR_DATABASE"));
    MessageAnswerer answerer("YES");
    EXPECT_TRUE(startup.CheckServerVersion());
    EXPECT_TRUE(answerer.texts().isEmpty());
    EXPECT_EQ(versionTypes(), QStringList({"lxv", "lxvbig"}));
}

TEST_F(VersionCheckTest, ADeclinedReinstallGoesOn) {
    ASSERT_TRUE(standin.setMode("p_getversion.asp", "err:9.0.0"));
    MessageAnswerer answerer("NO");
    EXPECT_TRUE(startup.CheckServerVersion());
    EXPECT_EQ(shownTexts(answerer), QStringList{kReinstallText});
}

TEST_F(VersionCheckTest, AnAcceptedUpdateWithoutUpdaterSaysSoAndGoesOn) {
    ASSERT_TRUE(standin.setMode("p_getversion.asp", "err:9.0.0"));
    MessageAnswerer yes("YES");
    QList<int> icons;
    MessageAnswerer ok("OK", [&icons] { icons << shownMessageIcon(); });
    EXPECT_TRUE(startup.CheckServerVersion());
    EXPECT_EQ(shownTexts(yes), QStringList{kReinstallText});
    EXPECT_EQ(icons, QList<int>{1});
    EXPECT_EQ(
        shownTexts(ok),
        QStringList{"無法正確啟動更新程式! 您的程式可能損毀以致於缺少必要的組件, 請重新安裝"});
}

// A data folder too full for the lock file is no copy that runs already
// (which ends the start silently: the end-to-end start tests). Nothing can
// be written meanwhile, so the child tells what it showed afterwards.
TEST_F(FullDataFolderTest, ALockThatCannotBeWrittenIsToldBeforeTheStartEnds) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* const arguments[] = {"lexivo", "LXV"};
    EXPECT_EXIT(
        {
            frmStartup::KeepCommandLine(2, arguments);
            int icon = -1;
            MessageAnswerer answerer("OK", [&icon] { icon = shownMessageIcon(); });
            {
                const FullDisk full;
                frmStartup().Form_Load();
            }
            std::fprintf(stderr, "told %d, icon %d: %s\n", int(answerer.texts().size()), icon,
                         qUtf8Printable(answerer.trimmedTexts().value(0)));
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "told 1, icon 1: 無法寫入本程式的資料夾");
}
