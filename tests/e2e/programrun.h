#pragma once

#include <initializer_list>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// One run of the real lexivo executable, headless, on a TMP folder of the
// test's and against the services that a servers.set of the test names. A
// script of learner actions is played inside the program (see
// driver/scriptdriver.h); what the program showed comes back as the log.
class ProgramRun {
public:
    ProgramRun(const QString& tmpFolder, const QString& serversFile);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Runs the executable of another program folder (a copy of the build's
    // with files of the test's) instead of the build's own.
    void setProgramFolder(const QString& folder) { m_programFolder = folder; }
    // An environment variable of the next start, besides the run's own.
    void setEnvironment(const QString& name, const QString& value) {
        m_environment.insert(name, value);
    }

    // Each script line's fields are joined by tabs.
    bool start(const QStringList& arguments, const QStringList& script);
    // False when the program had not ended in time (it is then killed).
    bool waitForEnd(int timeoutMs);
    bool run(const QStringList& arguments, const QStringList& script, int timeoutMs);
    // Whether the program ends within the time; it runs on if not.
    bool endsWithin(int timeoutMs);
    // Ends the program at once (SIGKILL) and waits for its end.
    void kill();

    int exitCode() const { return m_process.exitCode(); }
    bool crashed() const { return m_process.exitStatus() == QProcess::CrashExit; }
    // "shown frmX", "message TEXT", "step ...", "tree N", in order.
    QStringList log() const;
    bool logHas(const QString& line) const { return log().contains(line); }
    // Whether a logged line begins with the text.
    bool logHasStart(const QString& start) const;
    QString output() const { return m_output; }

private:
    QString m_tmpFolder;
    QString m_serversFile;
    QString m_scriptFile;
    QString m_logFile;
    QString m_programFolder = QStringLiteral(LEXIVO_PROGRAM_DIR);
    QProcessEnvironment m_environment;
    QProcess m_process;
    QString m_output;
};

// A step of a script: its fields joined by tabs.
QString step(const QStringList& fields);
// One script of its parts, in order.
QStringList joined(std::initializer_list<QStringList> parts);
