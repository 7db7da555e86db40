#pragma once

#include <memory>
#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

class QTemporaryDir;

// One request as the stand-in received it.
struct StandinRequest {
    QByteArray method;
    QByteArray path;   // as sent, a doubled slash included
    QByteArray query;  // without the "?"
    QByteArray body;   // the raw bytes
    QByteArray contentType;
};

// An answer of the stand-in to one of the helper's own exchanges.
struct StandinReply {
    bool answered = false;  // false: no complete answer (dropped, late)
    int status = 0;
    QByteArray body;
    QByteArray contentType;
    QByteArray contentLength;  // the header as sent, "" when missing
};

// The real lexivo-standin of the program folder, started for a test as
// "--port 0 --data DIR --test" on a free loopback port, and its test
// controls.
class StandinProcess {
public:
    StandinProcess();
    ~StandinProcess();
    StandinProcess(const StandinProcess&) = delete;
    StandinProcess& operator=(const StandinProcess&) = delete;

    // Starts the stand-in on dataDir (a temporary folder of its own when
    // empty) and waits until it listens. A data folder that already holds a
    // store starts from that store instead of the seed.
    bool start(const QString& dataDir = QString(), const QStringList& extraArguments = {});
    // Ends it (a terminate, then a kill if it lingers); the data folder stays.
    void stop();
    bool isRunning() const;

    int port() const { return m_port; }
    QString baseUrl() const;  // "http://127.0.0.1:PORT/"
    QString dataDir() const { return m_dataDir; }

    // script: a file name ("p_getlogin.asp") for that script under every
    // folder, or an exact path with a leading "/" ("/p_getconn.asp" only at
    // the root). mode: "normal", "err:ERR_X", "garbage", "silent", "offline",
    // "status:N" (HTTP status N).
    bool setMode(const QString& script, const QString& mode);
    // The request-th request of the script from now on gets no answer and
    // reaches no script; the others are answered as its mode says. 0 ends
    // the hold.
    bool hold(const QString& script, int request);
    // Every request received since the start or the last clearLog(), in order.
    QList<StandinRequest> log();
    bool clearLog();
    // A table of the stand-in's store: column names first, then its rows.
    QList<QStringList> state(const QString& table);

    // Plain exchanges for tests that talk to the stand-in directly.
    StandinReply post(const QString& pathAndQuery, const QByteArray& body,
                      const QByteArray& contentType = "application/x-www-form-urlencoded",
                      int timeoutMs = 10000);
    StandinReply get(const QString& pathAndQuery, int timeoutMs = 10000);
    // A graded sentence of an account, posted as the LXV program uploads it;
    // false when the stand-in did not answer.
    bool uploadSentence(const QString& pno, const QString& password, const QString& qcode,
                        const QString& flag, const QString& errcode, const QString& sentence);

private:
    QProcess m_process;
    std::unique_ptr<QTemporaryDir> m_ownDataDir;
    QString m_dataDir;
    int m_port = 0;
};
