#include <gtest/gtest.h>

#include <QFile>

#include "platform/big5.h"
#include "shared/globals.h"
#include "shared/servicescripts.h"
#include "tests/support/mainwindowfixture.h"
#include "tests/support/standinprocess.h"
#include "workspace/frmMain.h"

namespace {

const QStringList kLocalPlan = {"demo", "英文造句入門", "勤奮好學型", "40", "2011/3/1", "2011/4/9"};
const QStringList kNoLocalPlan = {"DEMO", "英文造句入門", "NONE", "0", "2000/1/1", "2000/1/1"};

// The main window without a course, its service the stand-in.
class SyncScheduleTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(m_standin.start());
        window = makeMainWindowWithoutCourse("LXV", m_standin.baseUrl());
        m_standin.clearLog();
        gCourseId = "DEMO";
        gScheduleType = "before";
        gScheduleDays = -1;
        gCourseName = "before";
    }

    void TearDown() override {
        MainWindowTest::TearDown();
        m_standin.stop();
    }

    QString descriptorPath() const { return ProductFolder() + "/DEMO.lxs"; }
    void writeDescriptor(const QStringList& lines) {
        ASSERT_TRUE(big5::writeLines(descriptorPath(), lines));
    }
    QStringList descriptorLines() const { return big5::readLines(descriptorPath()); }

    void storeServicePlan(const QString& memo) {
        ASSERT_EQ(SetMemoServer("PUT", memo, gPno, gCourseId), "OK#" + memo);
        m_standin.clearLog();
    }

    // The memo bodies of the plan requests that reached the stand-in.
    QStringList sentPlans(const QString& action) {
        QStringList plans;
        for (const StandinRequest& request : m_standin.log()) {
            const QString body = QString::fromLatin1(request.body);
            if (request.path.endsWith("p_all_setmemo.asp") && body.contains("&act=" + action)) {
                plans.append(body.section("&setmemo=", 1));
            }
        }
        return plans;
    }

    StandinProcess m_standin;
    frmMain* window = nullptr;
};

TEST_F(SyncScheduleTest, ServicePlanWinsAndRewritesDescriptor) {
    writeDescriptor(kLocalPlan);
    storeServicePlan("60@2011/5/1@2011/6/29");
    window->SyncSchedule();
    EXPECT_EQ(gScheduleType, "按步就班型");
    EXPECT_EQ(gScheduleDays, 60);
    EXPECT_EQ(gCourseName, "英文造句入門");
    EXPECT_EQ(descriptorLines(),
              (QStringList{"DEMO", "英文造句入門", "按步就班型", "60", "2011/5/1", "2011/6/29"}));
    EXPECT_TRUE(readBytes(descriptorPath()).endsWith("2011/6/29\r\n"));
    EXPECT_TRUE(sentPlans("PUT").isEmpty());
}

TEST_F(SyncScheduleTest, ServiceValuesAreTrimmedAndOtherLengthsAreCustom) {
    writeDescriptor(kNoLocalPlan);
    storeServicePlan(" 35 @ 2011/5/1 @ 2011/6/4 ");
    window->SyncSchedule();
    EXPECT_EQ(gScheduleType, "自訂期限型");
    EXPECT_EQ(gScheduleDays, 35);
    EXPECT_EQ(descriptorLines().mid(2), (QStringList{"自訂期限型", "35", "2011/5/1", "2011/6/4"}));
}

TEST_F(SyncScheduleTest, ServicePlanWithoutDescriptorWritesNoFile) {
    storeServicePlan("20@2011/5/1@2011/5/20");
    window->SyncSchedule();
    EXPECT_EQ(gScheduleType, "日以繼夜型");
    EXPECT_EQ(gScheduleDays, 20);
    EXPECT_FALSE(QFile::exists(descriptorPath()));
}

class NoServicePlanTest : public SyncScheduleTest,
                          public ::testing::WithParamInterface<const char*> {};

// The service's three ways of saying it holds no plan.
TEST_P(NoServicePlanTest, SendsLocalPlanAsWritten) {
    writeDescriptor(kLocalPlan);
    const QByteArray before = readBytes(descriptorPath());
    ASSERT_TRUE(m_standin.setMode("p_all_setmemo.asp", GetParam()));
    window->SyncSchedule();
    EXPECT_EQ(sentPlans("PUT"), QStringList{"40@2011/3/1@2011/4/9"});
    EXPECT_EQ(gScheduleType, "勤奮好學型");
    EXPECT_EQ(gScheduleDays, 40);
    EXPECT_EQ(gCourseName, "before");
    EXPECT_EQ(readBytes(descriptorPath()), before);
}

INSTANTIATE_TEST_SUITE_P(Replies, NoServicePlanTest,
                         ::testing::Values("normal", "err:OK#0", "err:OK#0@2011/5/1@2011/6/29"));

TEST_F(SyncScheduleTest, NoPlanOnEitherSideSendsNothing) {
    writeDescriptor(kNoLocalPlan);
    const QByteArray before = readBytes(descriptorPath());
    window->SyncSchedule();
    EXPECT_EQ(sentPlans("GET").size(), 1);
    EXPECT_TRUE(sentPlans("PUT").isEmpty());
    EXPECT_EQ(gScheduleType, "自訂期限型");
    EXPECT_EQ(gScheduleDays, 0);
    EXPECT_EQ(readBytes(descriptorPath()), before);
}

TEST_F(SyncScheduleTest, LocalFileWithoutCompletePlanSendsNothing) {
    writeDescriptor({"DEMO", "英文造句入門", "勤奮好學型", "40", "2011/3/1"});
    window->SyncSchedule();
    writeDescriptor({"DEMO", "英文造句入門", "勤奮好學型", "forty", "2011/3/1", "2011/4/9"});
    window->SyncSchedule();
    EXPECT_TRUE(sentPlans("PUT").isEmpty());
}

class UnusableReplyTest : public SyncScheduleTest,
                          public ::testing::WithParamInterface<const char*> {};

TEST_P(UnusableReplyTest, ChangesNothingOnEitherSide) {
    writeDescriptor(kLocalPlan);
    storeServicePlan("60@2011/5/1@2011/6/29");
    const QByteArray before = readBytes(descriptorPath());
    ASSERT_TRUE(m_standin.setMode("p_all_setmemo.asp", GetParam()));
    window->SyncSchedule();
    EXPECT_EQ(gScheduleType, "before");
    EXPECT_EQ(gScheduleDays, -1);
    EXPECT_EQ(gCourseName, "before");
    EXPECT_EQ(readBytes(descriptorPath()), before);
    EXPECT_TRUE(sentPlans("PUT").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Replies, UnusableReplyTest,
                         ::testing::Values("err:ERR_NOTFOUND", "garbage", "offline"));

}  // namespace
