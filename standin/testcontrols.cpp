#include "standin/testcontrols.h"

namespace {

// The statuses that HTTP defines.
constexpr int kFirstHttpStatus = 100;
constexpr int kLastHttpStatus = 599;

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf('/') + 1).toLower();
}

QString keyOf(const QString& script) {
    return script.startsWith('/') ? script.toLower() : fileNameOf(script);
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
    m_modes.insert(keyOf(script), parsed);
    return true;
}

bool TestControls::hold(const QString& script, int request) {
    if (script.isEmpty() || request < 0) {
        return false;
    }
    std::lock_guard lock(m_mutex);
    if (request == 0) {
        m_holds.remove(keyOf(script));
    } else {
        m_holds.insert(keyOf(script), {request, 0});
    }
    return true;
}

template <typename Setting>
Setting TestControls::settingFor(const QHash<QString, Setting>& settings, const QString& path) {
    const auto exact = settings.constFind(path.toLower());
    return exact != settings.constEnd() ? exact.value() : settings.value(fileNameOf(path));
}

TestControls::Mode TestControls::modeForRequest(const QString& path) {
    std::lock_guard lock(m_mutex);
    const QString key = m_holds.contains(path.toLower()) ? path.toLower() : fileNameOf(path);
    const auto held = m_holds.find(key);
    if (held != m_holds.end() && ++held->seen == held->request) {
        Mode silent;
        silent.behaviour = Behaviour::Silent;
        return silent;
    }
    return settingFor(m_modes, path);
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
