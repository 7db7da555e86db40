#pragma once

#include <mutex>
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// What tests may ask of the stand-in: per script, a way to misbehave, and a
// log of every request received. Used from the server's worker threads.
class TestControls {
public:
    enum class Behaviour { Normal, Error, Garbage, Silent, Offline, Status };
    struct Mode {
        Behaviour behaviour = Behaviour::Normal;
        QString errorReply;
        int httpStatus = 0;
    };

    // "normal", "err:ERR_X", "garbage", "silent", "offline" or "status:N"
    // (an answer with HTTP status N, 100 to 599); false for anything else.
    // A script named with a leading "/" is that exact path
    // ("/serverside/p_getconn.asp"); without one, that file anywhere.
    bool setMode(const QString& script, const QString& mode);
    Mode modeFor(const QString& path) const;

    void record(const QByteArray& method, const QByteArray& path, const QByteArray& query,
                const QByteArray& body, const QByteArray& contentType);
    // One line per request: method, path, query, Base64 of the body and the
    // content type, separated by tabs.
    QByteArray logText() const;
    void clearLog();

    // Bytes that are no reply of any script: control bytes, bytes Big5
    // does not use and a lead byte cut off at the end.
    static QByteArray garbage();

private:
    mutable std::mutex m_mutex;
    QHash<QString, Mode> m_modes;
    QList<QByteArray> m_log;
};
