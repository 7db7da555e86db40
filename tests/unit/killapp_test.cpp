#include <unistd.h>
#include <memory>
#include <QFile>
#include <QProcess>
#include <vector>

#include "shared/killapp.h"
#include "tests/support/tempbase.h"

namespace {

class KillAppTest : public TempBaseTest {
protected:
    void TearDown() override {
        for (auto& sleeper : m_sleepers) {
            sleeper->kill();
            sleeper->waitForFinished();
        }
        TempBaseTest::TearDown();
    }

    // The name carries this test's process id, so that tests running side by
    // side never end each other's programs; nor does the sentence check of a
    // test beside it, which ends whatever ends in the engine's name.
    QString uniqueEnding() const { return QString("GLOSSOR2P%1.EXE").arg(getpid()); }

    QProcess* startSleeper(const QString& name) {
        const QString path = basePath() + "/" + name;
        if (!QFile::exists(path)) {
            EXPECT_TRUE(QFile::copy("/bin/sleep", path));
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        }
        m_sleepers.push_back(std::make_unique<QProcess>());
        QProcess* sleeper = m_sleepers.back().get();
        sleeper->start(path, {"60"});
        EXPECT_TRUE(sleeper->waitForStarted());
        return sleeper;
    }

    static bool endedBySignal(QProcess* sleeper) {
        return sleeper->waitForFinished(10000) && sleeper->exitStatus() == QProcess::CrashExit;
    }

private:
    std::vector<std::unique_ptr<QProcess>> m_sleepers;
};

TEST_F(KillAppTest, EndsProcessWhoseNameEndsWithGivenNameIgnoringCase) {
    QProcess* sleeper = startSleeper("X" + uniqueEnding());
    EXPECT_TRUE(KillApp(uniqueEnding().toLower()));
    EXPECT_TRUE(endedBySignal(sleeper));
}

TEST_F(KillAppTest, EndsEveryMatchingCopy) {
    QProcess* first = startSleeper("X" + uniqueEnding());
    QProcess* second = startSleeper("X" + uniqueEnding());
    EXPECT_TRUE(KillApp(uniqueEnding()));
    EXPECT_TRUE(endedBySignal(first));
    EXPECT_TRUE(endedBySignal(second));
}

TEST_F(KillAppTest, NoMatchEndsNothing) {
    QProcess* sleeper = startSleeper("X" + uniqueEnding());
    EXPECT_FALSE(KillApp(uniqueEnding() + "X"));
    EXPECT_FALSE(KillApp(""));
    EXPECT_FALSE(sleeper->waitForFinished(200));
}

TEST_F(KillAppTest, NeverEndsTheCallingProcess) {
    EXPECT_FALSE(KillProcessById(getpid(), 0));
}

}  // namespace
