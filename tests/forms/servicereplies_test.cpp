#include <gtest/gtest.h>

#include "startup/signinreplies.h"
#include "workspace/enginereply.h"
#include "workspace/serviceplan.h"

// The reply splitters on their own, with the cut and garbled replies that a
// failing service sends; the windows that use them are tried in their own
// tests.

namespace {

TEST(EngineReplyTest, OnlyOkRepliesAreTakenAndMissingFieldsAreEmpty) {
    EXPECT_FALSE(takeEngineReply("ERR_CHECKSUM"));
    EXPECT_FALSE(takeEngineReply("ok_0##a.htm"));
    EXPECT_FALSE(takeEngineReply(""));

    const auto bare = takeEngineReply("OK_");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->status, "");
    EXPECT_EQ(bare->errCode, "");
    EXPECT_EQ(bare->page, "");

    const auto cut = takeEngineReply("OK_ 1 # CP001 ");
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->status, "1");
    EXPECT_EQ(cut->errCode, "CP001");
    EXPECT_EQ(cut->page, "");
}

TEST(EngineReplyTest, ACorrectSentenceHasCodeZeroAndAnUnknownStatusNoPage) {
    const auto correct = takeEngineReply("OK_0#CP001#r/1.htm#marked");
    ASSERT_TRUE(correct);
    EXPECT_EQ(correct->errCode, "0");
    EXPECT_EQ(correct->page, "r/1.htm");

    const auto unknown = takeEngineReply("OK_5#CP001#r/1.htm");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->status, "5");
    EXPECT_EQ(unknown->errCode, "");
    EXPECT_EQ(unknown->page, "");
}

TEST(ServicePlanTest, OnlyAWholePlanIsRead) {
    ServicePlan plan;
    ASSERT_TRUE(readServicePlan("OK# 30 @ 2024/5/1 @2024/5/31 ", &plan));
    EXPECT_EQ(plan.days, "30");
    EXPECT_EQ(plan.start, "2024/5/1");
    EXPECT_EQ(plan.end, "2024/5/31");

    for (const QString& reply :
         {QString("0"), QString("ERR_NOTFOUND"), QString("OK#"), QString("OK#30@2024/5/1"),
          QString("OK#30@2024/5/1@2024/5/31@x"), QString("OK#-3@2024/5/1@2024/5/31"),
          QString("OK#30@2024/2/30@2024/5/31"), QString("OK#1234567890@2024/5/1@2024/5/31"),
          QString("ok#30@2024/5/1@2024/5/31")}) {
        EXPECT_FALSE(readServicePlan(reply, &plan)) << reply.toStdString();
    }
}

// A value followed by a line break is no value: the descriptor file would
// get the break as a line of its own, and its plan would come apart.
TEST(ServicePlanTest, AValueWithALineBreakIsNoPlan) {
    ServicePlan plan;
    for (const QString& reply :
         {QString("OK#30\n@2024/5/1@2024/5/31"), QString("OK#30@2024/5/1\n@2024/5/31"),
          QString("OK#30@2024/5/1@2024/5/31\n")}) {
        EXPECT_FALSE(readServicePlan(reply, &plan)) << reply.toStdString();
    }
}

TEST(SignInRepliesTest, TheServerAndTheAllowedCoursesComeOutOfTheirFields) {
    EXPECT_EQ(accountServerOfReply("OK#127.0.0.1:8765#"), "127.0.0.1:8765");
    EXPECT_EQ(accountServerOfReply("OK"), "");
    EXPECT_EQ(allowedCoursesOfReply("OK_DEMOM001#示範#DEMO|B01"), "DEMO|B01");
    EXPECT_EQ(allowedCoursesOfReply("OK_DEMOM001#示範"), "");
}

TEST(SignInRepliesTest, AllowedCoursesMatchWithoutBlanksInAnyCaseButNeverAnEmptyEntry) {
    EXPECT_TRUE(isAllowedCourse(" demo | B01 ", "DEMO"));
    EXPECT_TRUE(isAllowedCourse("DEMO|B01", "b01"));
    EXPECT_FALSE(isAllowedCourse("DEMO|B01", "B0"));
    EXPECT_FALSE(isAllowedCourse("", ""));
    EXPECT_FALSE(isAllowedCourse("DEMO||", ""));
}

}  // namespace
