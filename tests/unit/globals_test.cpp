#include <gtest/gtest.h>

#include "shared/coursepaths.h"
#include "shared/globals.h"

namespace {

const QString kOdbcDriver =
    QStringLiteral("Driver={Microsoft Access Driver (*.mdb, *.accdb)};DBQ=");
const QString kJetProvider = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=");

// The system's version chooses the database driver; tests name the version
// that they need.
class ConnectionStringsTest : public ::testing::Test {
protected:
    void SetUp() override { gCourseId = "DEMO"; }
    void TearDown() override { qunsetenv("LEXIVO_WINDOWS_VERSION"); }
};

TEST_F(ConnectionStringsTest, TheDriverNamesTheFilesOnlyOnTheOneSystemVersionThatNeedsIt) {
    qputenv("LEXIVO_WINDOWS_VERSION", "2.6.1");
    BuildConnStrings();
    EXPECT_EQ(gCourseConnStr.toStdString(),
              (kOdbcDriver + CourseFolder("DEMO") + "/LexivoData.mdb;").toStdString());

    qputenv("LEXIVO_WINDOWS_VERSION", "2.6.0");
    BuildConnStrings();
    EXPECT_EQ(gUserConnStr.toStdString(),
              (kJetProvider + CourseFolder("DEMO") + "/userData.mdb;").toStdString());

    qunsetenv("LEXIVO_WINDOWS_VERSION");
    EXPECT_TRUE(GetWindowsVersion().startsWith("3."));
}

}  // namespace
