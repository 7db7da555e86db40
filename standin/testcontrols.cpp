#include "standin/testcontrols.h"

namespace {

// The statuses that HTTP defines.
constexpr int kFirstHttpStatus = 100;
constexpr int kLastHttpStatus = 599;

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf('/') + 1).toLower();
}

QByteArray oneLine(QByteArray text) {
    return text.replace('\t', ' ').replace('\r', ' ').replace('\n', ' ');
}

}  // namespace

bool TestControls::setMode(const QString& script, const QString& mode) {
    Mode parsed;
    if (mode == "normal") {
        parsed.behaviour = Behaviour::Normal;
    } else if (mode.startsWith("err:")) {
        parsed = {Behaviour::Error, mode.mid(4)};
    } else if (mode == "garbage") {
        parsed.behaviour = Behaviour::Garbage;
    } else if (mode == "silent") {
        parsed.behaviour = Behaviour::Silent;
    } else if (mode == "offline") {
        parsed.behaviour = Behaviour::Offline;
    } else if (mode.startsWith("status:")) {
        bool isNumber = false;
        parsed = {Behaviour::Status, QString(), mode.mid(7).toInt(&isNumber)};
        if (!isNumber || parsed.httpStatus < kFirstHttpStatus ||
            parsed.httpStatus > kLastHttpStatus) {
            return false;
        }
    } else {
        return false;
    }
    if (script.isEmpty()) {
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_modes.insert(script.startsWith('/') ? script.toLower() : fileNameOf(script), parsed);
    return true;
}

TestControls::Mode TestControls::modeFor(const QString& path) const {
    std::lock_guard lock(m_mutex);
    const auto exact = m_modes.constFind(path.toLower());
    if (exact != m_modes.constEnd()) {
        return exact.value();
    }
    return m_modes.value(fileNameOf(path));
}

void TestControls::record(const QByteArray& method, const QByteArray& path, const QByteArray& query,
                          const QByteArray& body, const QByteArray& contentType) {
    const QByteArray line = oneLine(method) + '\t' + oneLine(path) + '\t' + oneLine(query) + '\t' +
                            body.toBase64() + '\t' + oneLine(contentType);
    std::lock_guard lock(m_mutex);
    m_log.append(line);
}

QByteArray TestControls::logText() const {
    std::lock_guard lock(m_mutex);
    QByteArray text;
    for (const QByteArray& line : m_log) {
        text += line + '\n';
    }
    return text;
}

void TestControls::clearLog() {
    std::lock_guard lock(m_mutex);
    m_log.clear();
}

QByteArray TestControls::garbage() {
    return QByteArray("\x00\xff\x80\x7f", 4) + "<?\x01\xfe" + QByteArray("\x00\xa4", 2);
}
