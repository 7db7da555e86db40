#pragma once

#include <httplib.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <QString>

#include "standin/scripttable.h"
#include "standin/standinenv.h"
#include "standin/testcontrols.h"

// The HTTP side: every request goes through one handler that logs it (with
// the test controls), applies a test mode, finds the script by its route and
// checks the key before the script runs. Scripts run one at a time; the
// waiting of the test modes does not hold them up.
class StandinServer {
public:
    StandinServer(StandinEnv& env, bool withTestControls);

    // Binds 127.0.0.1 at the port, or at a free one for 0. The bound port,
    // or -1 when the port cannot be had.
    int bind(int port);
    // Serves until stop() is called.
    void run();
    void stop();

private:
    void handle(const httplib::Request& request, httplib::Response& response);
    void handleTestControl(const QString& path, const httplib::Request& request,
                           httplib::Response& response);
    // False when the test mode has answered (or refused to answer) itself.
    bool applyTestMode(const QString& path, const httplib::Request& request,
                       httplib::Response& response);
    void waitSilently(const httplib::Request& request);
    ScriptReply runScript(const QString& route, const httplib::Request& request,
                          const QByteArray& query);

    httplib::Server m_server;
    StandinEnv& m_env;
    ScriptTable m_scripts;
    std::unique_ptr<TestControls> m_testControls;
    std::mutex m_scriptMutex;
    // The library counts as running until its workers have ended, so waits
    // inside a worker watch this flag instead.
    std::atomic<bool> m_stopping = false;
};
