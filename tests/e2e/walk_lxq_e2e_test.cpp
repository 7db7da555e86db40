#include "platform/big5.h"
#include "tests/e2e/walksteps.h"

using namespace walksteps;

// The LXQ learner signs in to the server of their school, installs the demo
// course from that server, checks sentences, looks at every page and window
// (the service builds the progress page and the sentence lists), sends
// feedback, searches and leaves.
TEST_F(WalkTest, LXQLearnerWalksTheWholeRoadAndTheServiceKeepsWhatWasDone) {
    startStandin();
    const QString server = standinHost();
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
    expectEndedWell(script);
    expectRoadShown();
    EXPECT_TRUE(program->logHasStart("pagetext body DEMO 學習進度"));

    expectServiceEditionRecords("DEMOQ001");
    EXPECT_EQ(big5::readLines(productFile("ServerList.set")), QStringList{server});
}
