#include "platform/process.h"

#include <unistd.h>
#include <csignal>
#include <QDir>
#include <QFile>
#include <QProcess>

#include "platform/waituntil.h"

namespace process {
namespace {

QString baseNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString exeLinkName(const QString& procFolder) {
    char target[4096];
    const QByteArray link = QFile::encodeName(procFolder + QStringLiteral("/exe"));
    const ssize_t length = ::readlink(link.constData(), target, sizeof target);
    if (length <= 0 || size_t(length) >= sizeof target) {
        return QString();
    }
    QString path = QFile::decodeName(QByteArray(target, length));
    // The program file was removed or replaced while the process runs.
    const QLatin1StringView deleted(" (deleted)");
    if (path.endsWith(deleted)) {
        path.chop(deleted.size());
    }
    return baseNameOf(path);
}

QByteArray readProcFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString argumentZeroName(const QString& procFolder) {
    const QByteArray commandLine = readProcFile(procFolder + QStringLiteral("/cmdline"));
    const qsizetype end = commandLine.indexOf('\0');
    return baseNameOf(QFile::decodeName(end < 0 ? commandLine : commandLine.left(end)));
}

QString commName(const QString& procFolder) {
    return QFile::decodeName(readProcFile(procFolder + QStringLiteral("/comm"))).trimmed();
}

QString executableNameOf(const QString& procFolder) {
    QString name = exeLinkName(procFolder);
    if (name.isEmpty()) {
        name = argumentZeroName(procFolder);
    }
    if (name.isEmpty()) {
        name = commName(procFolder);
    }
    return name;
}

}  // namespace

QList<RunningProcess> runningProcesses() {
    QList<RunningProcess> processes;
    const QDir proc(QStringLiteral("/proc"));
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qlonglong pid = entry.toLongLong(&numeric);
        if (!numeric || pid <= 0) {
            continue;
        }
        const QString name = executableNameOf(proc.filePath(entry));
        if (!name.isEmpty()) {
            processes.append({pid_t(pid), name});
        }
    }
    return processes;
}

bool terminate(pid_t pid) {
    // kill() reads 0 and negative ids as whole process groups (-1: every
    // process we may signal); only a single process is ever meant here.
    if (pid <= 0) {
        return false;
    }
    return ::kill(pid, SIGKILL) == 0;
}

int runAndWait(const QString& program, const QStringList& arguments) {
    if (waits::ending()) {
        return -1;
    }
    QProcess child;
    child.start(program, arguments);
    if (!child.waitForStarted()) {
        return -1;
    }
    if (!waitUntil([&child] { return child.state() == QProcess::NotRunning; })) {
        return -1;
    }
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}

bool startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

}  // namespace process
