#include <QFileInfo>

#include "platform/big5.h"
#include "tests/e2e/programrun.h"
#include "tests/e2e/programtest.h"

// Root, three units and their fifteen questions.
constexpr int kDemoNodeCount = 19;

TEST_F(ProgramTest, ACourseDownloadedFromTheServiceIsInstalledAndOpened) {
    startStandin();
    const QString server = standinHost();
    QStringList script;
    script << step({"wait", "frmLogin"}) << step({"type", "frmLogin", "txtLogin", "DEMOQ001"})
           << step({"type", "frmLogin", "txtPassword", "demo"})
           << step({"type", "frmLogin", "cboServer", server})
           << step({"click", "frmLogin", "登入"})
           // The picker says it has no course; the learner downloads one.
           << step({"answer", "OK"}) << step({"click", "frmClassSelect", "下載其他課程"})
           << step({"link", "frmClassDownload", "cmd:DEMO"})
           // The installation's end, then the picker with the new course.
           << step({"answer", "OK"})
           << step({"click", "frmClassSelect", "載入所選擇的課程"})
           // The tree is counted once the opening has ended.
           << step({"ready", "frmMain", "儲存檔案"}) << step({"tree", "frmMain"});
    script << leaveProgram();

    ProgramRun program(tmp(), serversFile());
    ASSERT_TRUE(program.run({"LXQ"}, script, kRunTimeoutMs))
        << program.log().join("\n").toStdString();

    EXPECT_TRUE(program.logHas("shown frmClassDownload"));
    EXPECT_TRUE(program.logHas("message 所選擇的課程已經安裝完成"));
    EXPECT_TRUE(program.logHas("tree " + QString::number(kDemoNodeCount)));
    EXPECT_TRUE(requestedPaths().contains("/lxv_download/DEMO.giz"));
    EXPECT_TRUE(QFileInfo::exists(productFile("DEMO/LexivoData.mdb")));
    const QStringList descriptor = big5::readLines(productFile("DEMO.lxs"));
    ASSERT_EQ(descriptor.size(), 6);
    EXPECT_EQ(descriptor.mid(2), QStringList({"NONE", "0", "2000/1/1", "2000/1/1"}));
    EXPECT_TRUE(big5::readLines(productFile("setup.set")).contains("lastCourse=DEMO"));
}
