#pragma once

#include <sys/types.h>
#include <QList>
#include <QString>
#include <QStringList>

namespace process {

struct RunningProcess {
    pid_t pid = 0;
    // The base name of /proc/PID/exe, else of argv[0], else comm.
    QString executableName;
};

// Every process of /proc that can be read.
QList<RunningProcess> runningProcesses();

// Ends a process at once (SIGKILL). True when the signal was delivered.
bool terminate(pid_t pid);

// Starts a program and pumps events until it ends; its exit code, or -1 when
// it could not be started or did not exit by itself (a crash or a signal). A
// program that is ending (waits::endAll) stops waiting, ends the child and
// gets -1 as well.
int runAndWait(const QString& program, const QStringList& arguments);

// Starts a program that goes on by itself. False when it could not start.
bool startDetached(const QString& program, const QStringList& arguments);

}  // namespace process
