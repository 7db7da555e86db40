#include "tests/e2e/programrun.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QUuid>

namespace {

// A killed process is gone as soon as the system has reaped it.
constexpr int kKilledEndMs = 10000;

QString uniqueFileIn(const QString& folder, const QString& stem) {
    return folder + "/" + stem + "-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

}  // namespace

QString step(const QStringList& fields) {
    return fields.join('\t');
}

QStringList joined(std::initializer_list<QStringList> parts) {
    QStringList all;
    for (const QStringList& part : parts) {
        all << part;
    }
    return all;
}

ProgramRun::ProgramRun(const QString& tmpFolder, const QString& serversFile)
    : m_tmpFolder(tmpFolder), m_serversFile(serversFile) {
    const QString runFolder = QDir(tmpFolder).filePath("..");
    m_scriptFile = uniqueFileIn(QDir::cleanPath(runFolder), "script");
    m_logFile = uniqueFileIn(QDir::cleanPath(runFolder), "log");
}

ProgramRun::~ProgramRun() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
    QFile::remove(m_scriptFile);
    QFile::remove(m_logFile);
}

bool ProgramRun::start(const QStringList& arguments, const QStringList& script) {
    QFile scriptFile(m_scriptFile);
    if (!scriptFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    scriptFile.write(script.join('\n').toUtf8() + '\n');
    scriptFile.close();
    QFile::remove(m_logFile);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMP", m_tmpFolder);
    environment.insert("LEXIVO_SERVERS", m_serversFile);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    environment.insert("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    environment.insert("QT_PLUGIN_PATH", LEXIVO_E2E_PLUGIN_DIR);
    environment.insert("QT_QPA_GENERIC_PLUGINS", "lexivodriver");
    environment.insert("LEXIVO_E2E_SCRIPT", m_scriptFile);
    environment.insert("LEXIVO_E2E_LOG", m_logFile);
    environment.insert(m_environment);
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(m_programFolder + "/lexivo", arguments);
    return m_process.waitForStarted();
}

bool ProgramRun::waitForEnd(int timeoutMs) {
    const bool ended = m_process.waitForFinished(timeoutMs);
    if (!ended) {
        m_process.kill();
        m_process.waitForFinished();
    }
    m_output += QString::fromLocal8Bit(m_process.readAll());
    return ended;
}

bool ProgramRun::endsWithin(int timeoutMs) {
    if (!m_process.waitForFinished(timeoutMs) && m_process.state() != QProcess::NotRunning) {
        return false;
    }
    m_output += QString::fromLocal8Bit(m_process.readAll());
    return true;
}

void ProgramRun::kill() {
    m_process.kill();
    waitForEnd(kKilledEndMs);
}

bool ProgramRun::run(const QStringList& arguments, const QStringList& script, int timeoutMs) {
    return start(arguments, script) && waitForEnd(timeoutMs);
}

QStringList ProgramRun::log() const {
    QFile file(m_logFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

bool ProgramRun::logHasStart(const QString& start) const {
    const QStringList lines = log();
    return std::any_of(lines.begin(), lines.end(),
                       [&start](const QString& line) { return line.startsWith(start); });
}
