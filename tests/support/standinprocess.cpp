#include "tests/support/standinprocess.h"

#include <httplib.h>
#include <sys/prctl.h>
#include <csignal>

#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>
#include <QUrl>

namespace {

const int kStartTimeoutMs = 15000;
const int kStopTimeoutMs = 5000;

QString standinProgram() {
    return QDir(LEXIVO_PROGRAM_DIR).filePath("lexivo-standin");
}

StandinReply replyOf(const httplib::Result& result) {
    StandinReply reply;
    if (!result) {
        return reply;
    }
    reply.answered = true;
    reply.status = result->status;
    reply.body = QByteArray::fromStdString(result->body);
    reply.contentType = QByteArray::fromStdString(result->get_header_value("Content-Type"));
    reply.contentLength = QByteArray::fromStdString(result->get_header_value("Content-Length"));
    return reply;
}

void setTimeout(httplib::Client& client, int timeoutMs) {
    const time_t seconds = timeoutMs / 1000;
    const time_t microseconds = (timeoutMs % 1000) * 1000;
    client.set_connection_timeout(seconds, microseconds);
    client.set_read_timeout(seconds, microseconds);
    client.set_write_timeout(seconds, microseconds);
    // Paths and queries go out exactly as the test wrote them.
    client.set_url_encode(false);
}

}  // namespace

StandinProcess::StandinProcess() = default;

StandinProcess::~StandinProcess() {
    stop();
}

bool StandinProcess::start(const QString& dataDir, const QStringList& extraArguments) {
    stop();
    if (dataDir.isEmpty()) {
        m_ownDataDir = std::make_unique<QTemporaryDir>();
        m_dataDir = m_ownDataDir->path();
    } else {
        m_dataDir = dataDir;
    }
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test process that ends at once (the program's own exit, a crash)
    // leaves no stand-in behind, holding the pipes that its parent reads.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process.start(standinProgram(),
                    QStringList{"--port", "0", "--data", m_dataDir, "--test"} + extraArguments);
    if (!m_process.waitForStarted(kStartTimeoutMs)) {
        return false;
    }
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!m_process.canReadLine()) {
        if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime()))) {
            stop();
            return false;
        }
    }
    const QByteArray line = m_process.readLine().trimmed();
    if (!line.startsWith("LISTENING ")) {
        stop();
        return false;
    }
    m_port = line.mid(int(qstrlen("LISTENING "))).toInt();
    return m_port > 0;
}

void StandinProcess::stop() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(kStopTimeoutMs)) {
            m_process.kill();
            m_process.waitForFinished(kStopTimeoutMs);
        }
    }
    m_port = 0;
}

bool StandinProcess::isRunning() const {
    return m_process.state() == QProcess::Running;
}

QString StandinProcess::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_port);
}

bool StandinProcess::setMode(const QString& script, const QString& mode) {
    const QByteArray body =
        "script=" + QUrl::toPercentEncoding(script) + "&mode=" + QUrl::toPercentEncoding(mode);
    return post("/__test/mode", body).body == "OK";
}

bool StandinProcess::hold(const QString& script, int request) {
    const QByteArray body =
        "script=" + QUrl::toPercentEncoding(script) + "&request=" + QByteArray::number(request);
    return post("/__test/hold", body).body == "OK";
}

QList<StandinRequest> StandinProcess::log() {
    QList<StandinRequest> requests;
    for (const QByteArray& line : get("/__test/log").body.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 5) {
            requests.append({fields.at(0), fields.at(1), fields.at(2),
                             QByteArray::fromBase64(fields.at(3)), fields.at(4)});
        }
    }
    return requests;
}

bool StandinProcess::clearLog() {
    return post("/__test/clear-log", QByteArray()).body == "OK";
}

QList<QStringList> StandinProcess::state(const QString& table) {
    QList<QStringList> rows;
    const StandinReply reply = get("/__test/state?table=" + QUrl::toPercentEncoding(table));
    if (reply.status != 200) {
        return rows;
    }
    for (const QString& line : QString::fromUtf8(reply.body).split('\n', Qt::SkipEmptyParts)) {
        rows.append(line.split('\t'));
    }
    return rows;
}

StandinReply StandinProcess::post(const QString& pathAndQuery, const QByteArray& body,
                                  const QByteArray& contentType, int timeoutMs) {
    httplib::Client client("127.0.0.1", m_port);
    setTimeout(client, timeoutMs);
    return replyOf(
        client.Post(pathAndQuery.toStdString(), body.toStdString(), contentType.toStdString()));
}

StandinReply StandinProcess::get(const QString& pathAndQuery, int timeoutMs) {
    httplib::Client client("127.0.0.1", m_port);
    setTimeout(client, timeoutMs);
    return replyOf(client.Get(pathAndQuery.toStdString()));
}

bool StandinProcess::uploadSentence(const QString& pno, const QString& password,
                                    const QString& qcode, const QString& flag,
                                    const QString& errcode, const QString& sentence) {
    const QByteArray body =
        "key=quillmarrowed&pno=" + pno.toLatin1() + "&pass=" + password.toLatin1() +
        "&courseId=DEMO&qcode=" + qcode.toLatin1() + "&flag=" + flag.toLatin1() +
        "&errcode=" + errcode.toLatin1() + "&s=" + QUrl::toPercentEncoding(sentence);
    return post("/p_lxv_proc_sentence.asp", body).answered;
}
