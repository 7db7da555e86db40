#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// One run of the crash child: started on its own TMP, it says "ready" when
// it begins writing; the test then kills it, or lets it end by itself (or
// by the SIGKILL it was told to give itself).
class CrashRun {
public:
    explicit CrashRun(const QString& tmp);
    ~CrashRun();
    CrashRun(const CrashRun&) = delete;
    CrashRun& operator=(const CrashRun&) = delete;

    // Starts the operation and waits until it has said "ready". False when
    // it ended or stayed silent instead.
    bool start(const QString& operation, const QStringList& arguments = {});
    // SIGKILL after the delay, then waits for the end.
    void killAfter(int milliseconds);
    // Waits for an end that the child brings about itself; a child still
    // running at the time-out is killed, and the run counts as hung.
    bool waitForEnd(int timeoutMs = 60000);

    bool endedByKill() const;
    bool endedNormally() const;
    // What it printed; the value after "operations " when it said it.
    QByteArray output() const { return m_output; }
    long operationCount() const;
    QString describe() const;

private:
    QProcess m_process;
    QByteArray m_output;
    bool m_hung = false;
};
