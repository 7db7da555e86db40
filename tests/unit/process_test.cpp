#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include "platform/process.h"
#include "tests/support/tempbase.h"

namespace {

class ProcessTest : public TempBaseTest {
protected:
    // A copy of sleep under a name of our choosing, so that it can be told
    // from every other process.
    QString makeSleeper(const QString& name) {
        const QString path = basePath() + u'/' + name;
        EXPECT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), path));
        QFile(path).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        return path;
    }

    static QList<pid_t> pidsNamed(const QString& name) {
        QList<pid_t> pids;
        for (const process::RunningProcess& running : process::runningProcesses()) {
            if (running.executableName == name) {
                pids.append(running.pid);
            }
        }
        return pids;
    }
};

TEST_F(ProcessTest, ListsAChildByItsExecutableNameAndEndsIt) {
    QProcess sleeper;
    sleeper.start(makeSleeper("glossor2-probe.exe"), {"60"});
    ASSERT_TRUE(sleeper.waitForStarted());

    EXPECT_EQ(pidsNamed("glossor2-probe.exe"), QList<pid_t>{pid_t(sleeper.processId())});
    EXPECT_TRUE(process::terminate(pid_t(sleeper.processId())));
    ASSERT_TRUE(sleeper.waitForFinished());
    EXPECT_EQ(sleeper.exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(pidsNamed("glossor2-probe.exe").isEmpty());
}

TEST_F(ProcessTest, ADeletedProgramFileKeepsItsName) {
    const QString path = makeSleeper("lexivo-deleted-probe");
    QProcess sleeper;
    sleeper.start(path, {"60"});
    ASSERT_TRUE(sleeper.waitForStarted());
    ASSERT_TRUE(QFile::remove(path));

    EXPECT_EQ(pidsNamed("lexivo-deleted-probe"), QList<pid_t>{pid_t(sleeper.processId())});
    sleeper.kill();
    sleeper.waitForFinished();
}

// Run in a child that leads a process group of its own: were a group id ever
// signalled, only that child would die.
TEST_F(ProcessTest, GroupIdsAreNeverSignalled) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setsid();
        const bool signalled = process::terminate(0) || process::terminate(-::getpid());
        ::_exit(signalled ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(ProcessTest, RunAndWaitGivesTheExitCode) {
    EXPECT_EQ(process::runAndWait("/bin/sh", {"-c", "exit 3"}), 3);
    EXPECT_EQ(process::runAndWait("/bin/sh", {"-c", "exit 0"}), 0);
    EXPECT_EQ(process::runAndWait(basePath() + "/no-such-program", {}), -1);
}

TEST_F(ProcessTest, RunAndWaitKeepsEventsRunning) {
    const QString name = "lexivo-wait-probe";
    const QString path = makeSleeper(name);
    // The handler can only run while runAndWait is waiting; it ends the child,
    // so the wait finishes early and reports the kill.
    int killed = 0;
    QTimer killer;
    QObject::connect(&killer, &QTimer::timeout, [&] {
        for (pid_t pid : pidsNamed(name)) {
            killed += process::terminate(pid) ? 1 : 0;
        }
        if (killed > 0) {
            killer.stop();
        }
    });
    killer.start(20);
    EXPECT_EQ(process::runAndWait(path, {"60"}), -1);
    EXPECT_EQ(killed, 1);
}

}  // namespace
