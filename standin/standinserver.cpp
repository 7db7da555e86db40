#include "standin/standinserver.h"

#include <chrono>
#include <QRegularExpression>
#include <thread>

#include "standin/accountscripts.h"
#include "standin/connectionsocket.h"
#include "standin/coursescripts.h"
#include "standin/enginescripts.h"
#include "standin/infoscripts.h"
#include "standin/pagescripts.h"
#include "standin/recordscripts.h"

namespace {

const char* const kTestFolder = "/__test/";
// Enough workers that connections held open by a browser or by the silent
// test mode leave room for the requests a test goes on to make.
const size_t kWorkerCount = 32;

// "//p_x.asp" and "/p_x.asp" are the same script: the program may build an
// address with a doubled slash.
QString collapsedPath(const QString& path) {
    static const QRegularExpression slashes("/{2,}");
    QString collapsed = path;
    collapsed.replace(slashes, "/");
    return collapsed.startsWith('/') ? collapsed : '/' + collapsed;
}

// The service answers the same scripts under "/serverside/", where a sign-in
// finds it when the plain address does not answer.
QString routeOf(const QString& collapsed) {
    QString route = collapsed.mid(1);
    if (route.startsWith("serverside/", Qt::CaseInsensitive)) {
        route = route.mid(int(qstrlen("serverside/")));
    }
    return route;
}

QByteArray contentTypesOf(const httplib::Request& request) {
    QByteArray types;
    for (size_t i = 0; i < request.get_header_value_count("Content-Type"); ++i) {
        types += (types.isEmpty() ? "" : ", ") +
                 QByteArray::fromStdString(request.get_header_value("Content-Type", i));
    }
    return types;
}

void setReply(httplib::Response& response, const ScriptReply& reply) {
    response.status = reply.status;
    response.set_content(reply.body.toStdString(), reply.contentType.toStdString());
}

}  // namespace

StandinServer::StandinServer(StandinEnv& env, bool withTestControls) : m_env(env) {
    if (withTestControls) {
        m_testControls = std::make_unique<TestControls>();
    }
    registerAccountScripts(m_scripts);
    registerCourseScripts(m_scripts);
    registerRecordScripts(m_scripts);
    registerEngineScripts(m_scripts);
    registerPageScripts(m_scripts);
    registerInfoScripts(m_scripts);

    m_server.new_task_queue = [] { return new httplib::ThreadPool(kWorkerCount); };
    // Idle browser connections give their worker back soon.
    m_server.set_keep_alive_timeout(1);
    const auto handler = [this](const httplib::Request& request, httplib::Response& response) {
        handle(request, response);
    };
    m_server.Get(".*", handler);
    // Read through a content reader, a browser's form post is taken whatever
    // its length; the plain route turns one above 8 KB away before any
    // handler sees it, as no real service would.
    m_server.Post(".*", [this](const httplib::Request& request, httplib::Response& response,
                               const httplib::ContentReader& reader) {
        httplib::Request whole = request;
        reader([&whole](const char* data, size_t length) {
            whole.body.append(data, length);
            return true;
        });
        handle(whole, response);
    });
}

int StandinServer::bind(int port) {
    if (port == 0) {
        return m_server.bind_to_any_port("127.0.0.1");
    }
    return m_server.bind_to_port("127.0.0.1", port) ? port : -1;
}

void StandinServer::run() {
    m_server.listen_after_bind();
}

void StandinServer::stop() {
    m_stopping = true;
    m_server.stop();
}

void StandinServer::handle(const httplib::Request& request, httplib::Response& response) {
    const QByteArray target = QByteArray::fromStdString(request.target);
    const qsizetype mark = target.indexOf('?');
    const QByteArray rawPath = mark < 0 ? target : target.left(mark);
    const QByteArray query = mark < 0 ? QByteArray() : target.mid(mark + 1);
    const QString path = collapsedPath(QString::fromStdString(request.path));

    if (path.startsWith(kTestFolder)) {
        handleTestControl(path, request, response);
        return;
    }
    if (m_testControls) {
        m_testControls->record(QByteArray::fromStdString(request.method), rawPath, query,
                               QByteArray::fromStdString(request.body), contentTypesOf(request));
        if (!applyTestMode(path, request, response)) {
            return;
        }
    }
    setReply(response, runScript(routeOf(path), request, query));
}

ScriptReply StandinServer::runScript(const QString& route, const httplib::Request& request,
                                     const QByteArray& query) {
    const Script* script = m_scripts.find(route);
    if (!script) {
        return ScriptReply::notFound();
    }
    const QByteArray body = QByteArray::fromStdString(request.body);
    const FormFields fields = body.isEmpty() ? FormFields::fromQuery(query)
                              : script->form == FieldForm::BrowserForm
                                  ? FormFields::fromUrlEncoded(body)
                                  : FormFields::fromRaw(body);
    if (script->form != FieldForm::NoKey && !fields.startsWithKey()) {
        return ScriptReply::text("ERR_KEY");
    }
    std::lock_guard lock(m_scriptMutex);
    return script->run({fields, route, m_env});
}

bool StandinServer::applyTestMode(const QString& path, const httplib::Request& request,
                                  httplib::Response& response) {
    const TestControls::Mode mode = m_testControls->modeForRequest(path);
    switch (mode.behaviour) {
        case TestControls::Behaviour::Normal:
            return true;
        case TestControls::Behaviour::Error:
            setReply(response, ScriptReply::text(mode.errorReply));
            return false;
        case TestControls::Behaviour::Garbage:
            setReply(response,
                     ScriptReply::file(TestControls::garbage(), "application/octet-stream"));
            return false;
        case TestControls::Behaviour::Silent:
            waitSilently(request);
            return false;
        case TestControls::Behaviour::Offline:
            connectionsocket::drop(connectionsocket::find(request.local_port, request.remote_port));
            response.status = 503;
            return false;
        case TestControls::Behaviour::Status:
            setReply(response, ScriptReply::text("status " + QString::number(mode.httpStatus)));
            response.status = mode.httpStatus;
            return false;
    }
    return true;
}

void StandinServer::waitSilently(const httplib::Request& request) {
    const int socket = connectionsocket::find(request.local_port, request.remote_port);
    // A client that gives up frees its worker; otherwise the wait lasts
    // until the stand-in stops, and even then no answer goes out.
    while (!m_stopping && (socket < 0 || !connectionsocket::peerHasClosed(socket))) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    connectionsocket::drop(socket);
}

void StandinServer::handleTestControl(const QString& path, const httplib::Request& request,
                                      httplib::Response& response) {
    if (!m_testControls) {
        setReply(response, ScriptReply::notFound());
        return;
    }
    const QString command = path.mid(int(qstrlen(kTestFolder)));
    const QByteArray body = QByteArray::fromStdString(request.body);
    if (command == "mode" && request.method == "POST") {
        const FormFields fields = FormFields::fromUrlEncoded(body);
        const bool ok = m_testControls->setMode(fields.value("script"), fields.value("mode"));
        setReply(response, ScriptReply::text(ok ? "OK" : "ERR_MODE"));
    } else if (command == "hold" && request.method == "POST") {
        const FormFields fields = FormFields::fromUrlEncoded(body);
        bool isNumber = false;
        const int held = fields.value("request").toInt(&isNumber);
        const bool ok = isNumber && m_testControls->hold(fields.value("script"), held);
        setReply(response, ScriptReply::text(ok ? "OK" : "ERR_HOLD"));
    } else if (command == "log" && request.method == "GET") {
        setReply(response, ScriptReply::file(m_testControls->logText(), "text/plain"));
    } else if (command == "clear-log" && request.method == "POST") {
        m_testControls->clearLog();
        setReply(response, ScriptReply::text("OK"));
    } else if (command == "state" && request.method == "GET") {
        std::lock_guard lock(m_scriptMutex);
        const QString table =
            m_env.store.dumpTsv(QString::fromStdString(request.get_param_value("table")));
        setReply(response, table.isEmpty()
                               ? ScriptReply::notFound()
                               : ScriptReply::file(table.toUtf8(), "text/plain; charset=utf-8"));
    } else {
        setReply(response, ScriptReply::notFound());
    }
}
