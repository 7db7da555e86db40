#include "workspace/coursedescriptor.h"

#include <gtest/gtest.h>

#include <QFile>

#include "platform/big5.h"
#include "shared/globals.h"
#include "tests/support/tempbase.h"
#include "workspace/stagedcourse.h"

namespace {

class CourseDescriptorTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        setUpGlobals("LXV");
        writeBytes(path(), QByteArray());
    }

    QString path() const { return CourseDescriptor::pathOf("DEMO"); }

    CourseDescriptor readLines(const QStringList& lines) {
        EXPECT_TRUE(big5::writeLines(path(), lines));
        CourseDescriptor descriptor;
        EXPECT_TRUE(descriptor.read(path()));
        return descriptor;
    }
};

TEST_F(CourseDescriptorTest, CompleteFileGivesPlan) {
    const CourseDescriptor descriptor =
        readLines({"DEMO", "英文造句入門", "自訂期限型", " 25 ", "2006/3/5", "2006/4/1", "extra"});
    EXPECT_EQ(path(), basePath() + "/Lexivo2/DEMO.lxs");
    EXPECT_TRUE(descriptor.isComplete());
    EXPECT_TRUE(descriptor.hasReadablePlan());
    EXPECT_EQ(descriptor.planDays(), 25);
    EXPECT_EQ(descriptor.line(CourseDescriptor::kNameLine), "英文造句入門");
    EXPECT_EQ(descriptor.line(CourseDescriptor::kDaysLine), " 25 ");
    EXPECT_EQ(descriptor.planStart(), QDate(2006, 3, 5));
    EXPECT_EQ(descriptor.planEnd(), QDate(2006, 4, 1));
    EXPECT_EQ(descriptor.line(7), "");
}

TEST_F(CourseDescriptorTest, ShortFileOrBadDayCountHoldsNoPlan) {
    const CourseDescriptor shortFile = readLines({"DEMO", "name", "勤奮好學型", "40", "2011/3/1"});
    EXPECT_FALSE(shortFile.isComplete());
    EXPECT_FALSE(shortFile.hasReadablePlan());
    EXPECT_EQ(shortFile.planDays(), 0);
    EXPECT_EQ(shortFile.line(CourseDescriptor::kEndLine), "");

    for (const QString& days : QStringList{"forty", "-5", "4 0", "", "99999999999"}) {
        const CourseDescriptor bad =
            readLines({"DEMO", "name", "勤奮好學型", days, "2011/3/1", "2011/4/9"});
        EXPECT_FALSE(bad.hasReadablePlan()) << days.toStdString();
        EXPECT_EQ(bad.planDays(), 0);
    }
}

TEST_F(CourseDescriptorTest, DatesAreYearMonthDay) {
    EXPECT_EQ(CourseDescriptor::readDate("2011/3/1"), QDate(2011, 3, 1));
    EXPECT_EQ(CourseDescriptor::readDate(" 2011/03/01 "), QDate(2011, 3, 1));
    EXPECT_FALSE(CourseDescriptor::readDate("2011/2/30").isValid());
    EXPECT_FALSE(CourseDescriptor::readDate("3/1/2011").isValid());
    EXPECT_FALSE(CourseDescriptor::readDate("2011-3-1").isValid());
    EXPECT_FALSE(CourseDescriptor::readDate("").isValid());
}

TEST_F(CourseDescriptorTest, WritesSixBig5LinesWithCrLf) {
    CourseDescriptor descriptor;
    const QStringList lines = {"DEMO", "英文造句入門", "勤奮好學型", "40", "2011/3/1", "2011/4/9"};
    for (int number = 1; number <= CourseDescriptor::kLineCount; ++number) {
        descriptor.setLine(number, lines.at(number - 1));
    }
    ASSERT_TRUE(descriptor.write(path()));
    EXPECT_EQ(readBytes(path()), big5::encode(lines.join("\r\n") + "\r\n"));
}

// A reinstall's package without a descriptor: the installed one already
// holds the plan and is left as it is; with none installed, a descriptor is
// made of the kept lines only for a course whose data arrives.
TEST_F(CourseDescriptorTest, APackageWithoutADescriptorKeepsThePlanWhereItAlreadyIs) {
    const QString staging = basePath() + "/staging";
    const QString staged = staging + "/DEMO.lxs";
    const QStringList kept{"DEMO", "英文造句入門", "勤奮好學型", "40", "2024/3/1", "2024/4/10"};
    KeptPlan plan{"DEMO", readLines(kept)};
    const StagedCourse course(staging, basePath() + "/Lexivo2");

    EXPECT_TRUE(course.keepPlan(plan)) << "installed descriptor";
    EXPECT_FALSE(QFile::exists(staged));

    ASSERT_TRUE(QFile::remove(path()));
    EXPECT_TRUE(course.keepPlan(plan)) << "no course data";
    EXPECT_FALSE(QFile::exists(staged));

    writeBytes(staging + "/DEMO/LexivoData.mdb", "data");
    EXPECT_TRUE(course.keepPlan(plan)) << "course data arriving";
    EXPECT_EQ(big5::readLines(staged), kept);
}

}  // namespace
