#include "platform/big5.h"
#include "tests/e2e/walksteps.h"

using namespace walksteps;

// The LXM learner reads the news, has the account server name their server,
// signs in there, and then walks the same road as an LXQ learner.
TEST_F(WalkTest, LXMLearnerWalksTheWholeRoadAndTheServiceKeepsWhatWasDone) {
    startStandin();
    const QString server = standinHost();
    const QStringList signIn = {
        step({"wait", "frmLXMLogin"}),
        step({"type", "frmLXMLogin", "txtLogin", "DEMOM001"}),
        step({"key", "frmLXMLogin", "txtLogin", "Return"}),
        // The account server has named the learner's server.
        step({"ready", "frmLXMLogin", server}),
        step({"type", "frmLXMLogin", "txtPassword", "demo"}),
        step({"shot", "frmLXMLogin", "lxm-signin"}),
        step({"key", "frmLXMLogin", "txtPassword", "Return"}),
    };
    const QStringList script = joined({closeNews(), signIn, serviceEditionRoad("lxm")});
    ASSERT_TRUE(walk("LXM", script));
    expectEndedWell(script);
    expectRoadShown();
    EXPECT_TRUE(program->logHasStart("pagetext body DEMO 學習進度"));

    expectServiceEditionRecords("DEMOM001");
    EXPECT_EQ(big5::readLines(productFile("lxmcert.set")), QStringList({server, "DEMOM001"}));
}
