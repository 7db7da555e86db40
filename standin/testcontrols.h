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
    // The request-th request of the script from now on (from 1) is held: it
    // gets no answer, as in the silent mode, and reaches no script; the
    // script's mode answers the others. 0 ends the hold; false for a count
    // below 0. The script is named as for setMode().
    bool hold(const QString& script, int request);
    // How to answer a request that has come in; it counts for a hold.
    Mode modeForRequest(const QString& path);

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
    struct Hold {
        int request = 0;
        int seen = 0;
    };
    // The setting of a script, by exact path or else by file name.
    template <typename Setting>
    static Setting settingFor(const QHash<QString, Setting>& settings, const QString& path);

    mutable std::mutex m_mutex;
    QHash<QString, Mode> m_modes;
    QHash<QString, Hold> m_holds;
    QList<QByteArray> m_log;
};
