#pragma once

#include <sys/types.h>
#include <QString>

// Ends every running process whose executable name ends with pExeName,
// ignoring case; true when at least one matched. The calling process is
// never one of them, and an empty name matches nothing.
bool KillApp(const QString& pExeName);

// Ends one process at once. A Linux signal carries no exit code, so
// pExitCode is not applied. False for the calling process itself and for
// ids that would address a group of processes.
bool KillProcessById(pid_t pPid, int pExitCode);
