#include "tests/crash/crashrun.h"

#include <QProcessEnvironment>
#include <QThread>

namespace {

constexpr int kStartTimeoutMs = 60000;
constexpr int kKilledEndTimeoutMs = 30000;

}  // namespace

CrashRun::CrashRun(const QString& tmp) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMP", tmp);
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setStandardErrorFile(QProcess::nullDevice());
}

CrashRun::~CrashRun() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(kKilledEndTimeoutMs);
    }
}

bool CrashRun::start(const QString& operation, const QStringList& arguments) {
    m_process.start(LEXIVO_CRASH_CHILD, QStringList{operation} + arguments);
    if (!m_process.waitForStarted(kStartTimeoutMs)) {
        return false;
    }
    while (!m_output.contains("ready\n")) {
        if (!m_process.waitForReadyRead(kStartTimeoutMs)) {
            m_output += m_process.readAllStandardOutput();
            return m_output.contains("ready\n");
        }
        m_output += m_process.readAllStandardOutput();
    }
    return true;
}

void CrashRun::killAfter(int milliseconds) {
    QThread::msleep(milliseconds);
    m_process.kill();
    m_process.waitForFinished(kKilledEndTimeoutMs);
    m_output += m_process.readAllStandardOutput();
}

bool CrashRun::waitForEnd(int timeoutMs) {
    m_hung = !m_process.waitForFinished(timeoutMs);
    if (m_hung) {
        m_process.kill();
        m_process.waitForFinished(kKilledEndTimeoutMs);
    }
    m_output += m_process.readAllStandardOutput();
    return !m_hung;
}

bool CrashRun::endedByKill() const {
    return !m_hung && m_process.state() == QProcess::NotRunning &&
           m_process.exitStatus() == QProcess::CrashExit;
}

bool CrashRun::endedNormally() const {
    return !m_hung && m_process.state() == QProcess::NotRunning &&
           m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

long CrashRun::operationCount() const {
    const qsizetype at = m_output.indexOf("operations ");
    if (at < 0) {
        return -1;
    }
    const qsizetype from = at + qsizetype(sizeof("operations ") - 1);
    const qsizetype end = m_output.indexOf('\n', from);
    return m_output.mid(from, end < 0 ? -1 : end - from).toLong();
}

QString CrashRun::describe() const {
    return QString("exit status %1, code %2, hung %3, output: %4")
        .arg(int(m_process.exitStatus()))
        .arg(m_process.exitCode())
        .arg(m_hung)
        .arg(QString::fromUtf8(m_output));
}
