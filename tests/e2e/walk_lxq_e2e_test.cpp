#include "platform/big5.h"
#include "tests/e2e/walksteps.h"

using namespace walksteps;

// The LXQ learner signs in to the server of their school, installs the demo
// course from that server, checks sentences, looks at every page and window
// (the service builds the progress page and the sentence lists), sends
// feedback, searches and leaves.
TEST_F(WalkTest, LXQLearnerWalksTheWholeRoadAndTheServiceKeepsWhatWasDone) {
    startStandin();
    const QString server = QStringLiteral("127.0.0.1:%1").arg(standin.port());
    const QStringList signIn = {
        step({"wait", "frmLogin"}),
        step({"type", "frmLogin", "txtLogin", "DEMOQ001"}),
        step({"type", "frmLogin", "txtPassword", "demo"}),
        step({"type", "frmLogin", "cboServer", server}),
        step({"shot", "frmLogin", "lxq-signin"}),
        step({"click", "frmLogin", "登入"}),
    };
    const QStringList script = joined({signIn, serviceEditionRoad("lxq")});
    ASSERT_TRUE(walk("LXQ", script));
    EXPECT_EQ(program->exitCode(), 0);
    EXPECT_FALSE(program->crashed());
    expectAllShotsSaved(script);
    expectRoadShown();
    EXPECT_TRUE(program->logHasStart("pagetext body DEMO 學習進度"));
    EXPECT_TRUE(program->logHas("pagetext body " + kWrongSentence)) << "wrong sentences";

    expectServiceEditionRecords("DEMOQ001");
    EXPECT_EQ(big5::readLines(productFile("ServerList.set")), QStringList{server});
}
