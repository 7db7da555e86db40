#include <gtest/gtest.h>

#include <optional>

#include "tests/forms/lxvrecordsfixture.h"
#include "tests/support/fulldisk.h"
#include "tests/support/messagewindow.h"
#include "workspace/frmMain.h"

namespace {

// A learner database of which one table of a clean-up is gone, or a disk
// that fills up once the learner is asked (and has room again for the
// message that follows), and the message that says why.
struct CleanUpFailure {
    const char* name;
    bool diskFull;
    const char* message;
};

void PrintTo(const CleanUpFailure& failure, std::ostream* out) {
    *out << failure.name;
}

class CleanUpTest : public LxvRecordsTest, public ::testing::WithParamInterface<CleanUpFailure> {};

// The other table must not be emptied alone, here while kept on the service.
TEST_P(CleanUpTest, ACleanUpThatFailsPartWayKeepsEveryTableAsItWas) {
    frmMain* window = openDemo();
    runOnLearnerDb("insert into mistakes values ('CP001', 2)");
    if (!GetParam().diskFull) {
        runOnLearnerDb("drop table errsentence");
    }
    std::optional<FullDisk> diskFull;
    MessageAnswerer answerer("OK", [&] {
        if (GetParam().diskFull) {
            diskFull ? diskFull.reset() : void(diskFull.emplace());
        }
    });

    window->mnuCleanError_Click();

    ASSERT_EQ(answerer.texts().size(), 2) << answerer.texts().join('|').toStdString();
    EXPECT_TRUE(answerer.trimmedTexts().at(1).startsWith(GetParam().message))
        << answerer.trimmedTexts().at(1).toStdString();
    EXPECT_EQ(learnerRows("select * from mistakes"), QStringList{"CP001|2"});
    EXPECT_TRUE(requestsTo("p_lxv_proc_reset.asp").isEmpty());
    EXPECT_TRUE(window->isEnabled());

    // The transaction is over: the next clean-up of the learner database works.
    window->mnuCleanRec_Click();
    EXPECT_TRUE(learnerRows("select * from UserSntn").isEmpty());
    EXPECT_EQ(requestsTo("p_lxv_proc_reset.asp").size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Failures, CleanUpTest,
                         ::testing::Values(CleanUpFailure{"TableGone", false, "課程資料庫無法讀寫"},
                                           CleanUpFailure{"DiskFull", true,
                                                          "無法寫入本程式的資料夾"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
