#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "shared/globals.h"
#include "shared/install.h"
#include "tests/support/standinprocess.h"
#include "tests/support/tempbase.h"

namespace {

// The demo course's version as the service gives it, whatever its text.
class CourseVersionReplyTest : public TempBaseTest {
protected:
    void SetUp() override {
        TempBaseTest::SetUp();
        setUpGlobals("LXV");
        QDir().mkpath(ProductFolder() + "/DEMO");
    }
    void TearDown() override {
        m_standin.stop();
        TempBaseTest::TearDown();
    }

    void serveVersion(const QString& version) {
        QFile seed(QStringLiteral(LEXIVO_PROGRAM_DIR) + "/standin-seed.json");
        ASSERT_TRUE(seed.open(QIODevice::ReadOnly));
        QJsonObject content = QJsonDocument::fromJson(seed.readAll()).object();
        QJsonArray courses = content.value("courses").toArray();
        for (auto course = courses.begin(); course != courses.end(); ++course) {
            QJsonObject changed = course->toObject();
            if (changed.value("id") == "DEMO") {
                changed.insert("version", version);
                *course = changed;
            }
        }
        content.insert("courses", courses);
        const QString ownSeed = basePath() + "/seed.json";
        writeBytes(ownSeed, QJsonDocument(content).toJson());
        ASSERT_TRUE(m_standin.start(QString(), {"--seed", ownSeed}));
        gServerURL = m_standin.baseUrl();
    }

    QString versionFile() const { return ProductFolder() + "/DEMO/DEMO.ver"; }

    StandinProcess m_standin;
};

// A version followed by a line break is no version: stored, it would never
// equal the next answer, and every opening would ask for a new download.
TEST_F(CourseVersionReplyTest, AVersionWithALineBreakIsNoAnswer) {
    for (const char* reply : {"2024.2\n", "2024.2\r\n", "2024.2\nmore"}) {
        m_standin.stop();
        QFile::remove(versionFile());
        serveVersion(QString::fromLatin1(reply));
        EXPECT_TRUE(CheckCourseVersion("DEMO")) << reply;
        EXPECT_FALSE(QFile::exists(versionFile())) << reply;

        writeBytes(versionFile(), "2024.1\r\n");
        EXPECT_TRUE(CheckCourseVersion("DEMO")) << reply;
        EXPECT_EQ(readBytes(versionFile()), "2024.1\r\n") << reply;
    }
}

TEST_F(CourseVersionReplyTest, APlainVersionIsStoredAtTheFirstOpening) {
    serveVersion("2024.2");
    EXPECT_TRUE(CheckCourseVersion("DEMO"));
    EXPECT_EQ(readBytes(versionFile()), "2024.2\r\n");
}

}  // namespace
