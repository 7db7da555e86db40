#include <gtest/gtest.h>

#include "tests/forms/lxvrecordsfixture.h"
#include "tests/support/messagewindow.h"
#include "workspace/frmMain.h"

namespace {

const QString kDamagedDatabaseText = QStringLiteral("課程資料庫無法讀寫");

class CleanUpTest : public LxvRecordsTest {};

// A learner database of which one table of a clean-up is gone: the other
// must not be emptied alone, here while kept on the service.
TEST_F(CleanUpTest, ACleanUpThatFailsPartWayKeepsEveryTableAsItWas) {
    frmMain* window = openDemo();
    runOnLearnerDb("insert into mistakes values ('CP001', 2)");
    runOnLearnerDb("drop table errsentence");
    MessageAnswerer answerer("OK");

    window->mnuCleanError_Click();

    ASSERT_EQ(answerer.texts().size(), 2) << answerer.texts().join('|').toStdString();
    EXPECT_TRUE(answerer.texts().at(1).trimmed().startsWith(kDamagedDatabaseText));
    EXPECT_EQ(learnerRows("select * from mistakes"), QStringList{"CP001|2"});
    EXPECT_TRUE(requestsTo("p_lxv_proc_reset.asp").isEmpty());
    EXPECT_TRUE(window->isEnabled());

    // The transaction is over: the next clean-up of the learner database works.
    window->mnuCleanRec_Click();
    EXPECT_TRUE(learnerRows("select * from UserSntn").isEmpty());
    EXPECT_EQ(requestsTo("p_lxv_proc_reset.asp").size(), 1);
}

}  // namespace
