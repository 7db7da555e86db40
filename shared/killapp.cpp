#include "shared/killapp.h"

#include <unistd.h>

#include "platform/process.h"

bool KillApp(const QString& pExeName) {
    if (pExeName.isEmpty()) {
        return false;
    }
    const QString wanted = pExeName.toLower();
    const pid_t self = getpid();
    bool matched = false;
    for (const process::RunningProcess& running : process::runningProcesses()) {
        if (running.pid == self || !running.executableName.toLower().endsWith(wanted)) {
            continue;
        }
        matched = true;
        KillProcessById(running.pid, 0);
    }
    return matched;
}

bool KillProcessById(pid_t pPid, [[maybe_unused]] int pExitCode) {
    // kill() reads 0 and negative ids as whole process groups.
    if (pPid <= 0 || pPid == getpid()) {
        return false;
    }
    return process::terminate(pPid);
}
