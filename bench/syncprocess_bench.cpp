// The records sync against a service that holds 10,000 sentence records and
// 2,000 progress items, next to a bare insert of the same rows in one
// transaction on the same databases.

#include <benchmark/benchmark.h>
#include <httplib.h>
#include <sqlite3.h>

#include <memory>
#include <QApplication>
#include <QTemporaryDir>
#include <string>
#include <thread>
#include <vector>

#include "platform/db.h"
#include "platform/package.h"
#include "shared/globals.h"
#include "workspace/frmMain.h"

namespace {

constexpr int kSentenceRecords = 10000;
constexpr int kProgressItems = 2000;

struct Sentence {
    std::string code;
    std::string text;
};

struct ServiceCopy {
    std::vector<Sentence> correct;
    std::vector<Sentence> wrong;
    std::vector<std::pair<std::string, char>> progress;
};

std::string unitId(int index) {
    char id[16];
    std::snprintf(id, sizeof(id), "P%07d", index);
    return id;
}

// Half the sentences correct, half wrong; progress items in all three
// states.
ServiceCopy makeServiceCopy() {
    ServiceCopy copy;
    for (int i = 0; i < kSentenceRecords / 2; ++i) {
        copy.correct.push_back({unitId(i % kProgressItems),
                                "It's sentence number " + std::to_string(i) + " of mine."});
        copy.wrong.push_back(
            {"CP001", "*it* is wrong sentence number " + std::to_string(i) + " here"});
    }
    for (int i = 0; i < kProgressItems; ++i) {
        copy.progress.emplace_back(unitId(i), char('1' + i % 3));
    }
    return copy;
}

std::string sentenceReply(const std::vector<Sentence>& sentences, bool correct) {
    std::string reply;
    int id = 0;
    for (const Sentence& sentence : sentences) {
        const std::string first = correct ? std::to_string(++id) : sentence.code;
        const std::string second = correct ? sentence.code : unitId(id++ % kProgressItems);
        reply += first + "#" + second + "#" + sentence.text + "#2024/3/1<@>";
    }
    return reply;
}

std::string progressReply(const ServiceCopy& copy) {
    std::string reply;
    for (const auto& [unit, state] : copy.progress) {
        reply += unit + ":" + state + ",";
    }
    return reply;
}

// The three sync scripts of the service on a loopback port.
class SyncService {
public:
    explicit SyncService(const ServiceCopy& copy)
        : m_correct(sentenceReply(copy.correct, true)),
          m_wrong(sentenceReply(copy.wrong, false)),
          m_progress(progressReply(copy)) {
        m_server.Post("/p_lxv_sync_client.asp", [this](const auto& request, auto& response) {
            const bool correct = request.body.find("&tp=ok") != std::string::npos;
            response.set_content(correct ? m_correct : m_wrong, "text/plain");
        });
        m_server.Post("/p_lxv_getprogress.asp", [this](const auto&, auto& response) {
            response.set_content(m_progress, "text/plain");
        });
        // Bound and listening already: connections wait until the loop accepts.
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }
    ~SyncService() {
        m_server.stop();
        m_thread.join();
    }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_port); }

private:
    std::string m_correct;
    std::string m_wrong;
    std::string m_progress;
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

// The demo course installed in a temporary product folder, with a unit row
// for every progress item.
class CourseFolder {
public:
    CourseFolder() {
        qputenv("TMP", m_base.path().toUtf8());
        gEdition = "LXV";
        InitialGlobalSetting();
        gPno = "BENCH001";
        gCourseId = "DEMO";
        QString error;
        if (!package::unpack(ProgramFolder() + "/DEMO.giz", ProductFolder(), &error)) {
            qFatal("%s", qUtf8Printable(error));
        }
        BuildConnStrings();
        db::Transaction transaction(gCourseConnStr);
        for (int i = 0; i < kProgressItems; ++i) {
            db::execute("insert into bswunit (UNITID, PARENT, VISITED) values ('" +
                            QString::fromStdString(unitId(i)) + "', 'DEMO0000', '1')",
                        gCourseConnStr);
        }
        transaction.commit();
    }

private:
    QTemporaryDir m_base;
};

struct Fixture {
    ServiceCopy copy = makeServiceCopy();
    CourseFolder course;
    SyncService service{copy};
    std::unique_ptr<frmMain> window;
};

Fixture& fixture() {
    static Fixture shared;
    return shared;
}

void BM_SyncProcess(benchmark::State& state) {
    Fixture& bench = fixture();
    gServerURL = bench.service.baseUrl();
    gOldPno.clear();
    if (!bench.window) {
        bench.window = std::make_unique<frmMain>();
    }
    for (auto _ : state) {
        bench.window->SyncProcess(false);
        bench.window->tmrSyncMessageWait.stop();
    }
    if (bench.window->tmrSyncMessageWaitTag != "SYNC") {
        state.SkipWithError("the sync failed");
    }
}

sqlite3* openDatabase(const QString& connectionString) {
    sqlite3* database = nullptr;
    sqlite3_open(db::databasePathOf(connectionString).toUtf8().constData(), &database);
    return database;
}

void exec(sqlite3* database, const char* sql) {
    sqlite3_exec(database, sql, nullptr, nullptr, nullptr);
}

// One prepared statement, its text values bound in order, run per row.
class PreparedStatement {
public:
    PreparedStatement(sqlite3* database, const char* sql) {
        sqlite3_prepare_v2(database, sql, -1, &m_statement, nullptr);
    }
    ~PreparedStatement() { sqlite3_finalize(m_statement); }
    void run(std::initializer_list<std::string> values) {
        int index = 0;
        for (const std::string& value : values) {
            sqlite3_bind_text(m_statement, ++index, value.c_str(), int(value.size()),
                              SQLITE_TRANSIENT);
        }
        sqlite3_step(m_statement);
        sqlite3_reset(m_statement);
    }

private:
    sqlite3_stmt* m_statement = nullptr;
};

void insertSentences(sqlite3* learner, const ServiceCopy& copy) {
    exec(learner, "BEGIN");
    exec(learner, "delete from errsentence");
    exec(learner, "delete from UserSntn");
    PreparedStatement correct(learner, "insert into UserSntn values (?, ?, ?, '2024-03-01')");
    PreparedStatement wrong(learner, "insert into errsentence values (?, ?, ?, '2024-03-01', 'Y')");
    int id = 0;
    for (const Sentence& sentence : copy.correct) {
        correct.run({std::to_string(++id), sentence.code, sentence.text});
    }
    for (const Sentence& sentence : copy.wrong) {
        wrong.run({std::to_string(++id), sentence.text, sentence.code});
    }
    exec(learner, "COMMIT");
}

void writeProgress(sqlite3* course, const ServiceCopy& copy) {
    exec(course, "BEGIN");
    exec(course, "update bswunit set VISITED = '1'");
    PreparedStatement update(course, "update bswunit set VISITED = ? where UNITID = ?");
    for (const auto& [unit, state] : copy.progress) {
        update.run({std::string(1, state), unit});
    }
    exec(course, "COMMIT");
}

void BM_BareInsertOfTheSameRows(benchmark::State& state) {
    Fixture& bench = fixture();
    sqlite3* learner = openDatabase(gUserConnStr);
    sqlite3* course = openDatabase(gCourseConnStr);
    for (auto _ : state) {
        insertSentences(learner, bench.copy);
        writeProgress(course, bench.copy);
    }
    sqlite3_close(learner);
    sqlite3_close(course);
}

BENCHMARK(BM_SyncProcess)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_BareInsertOfTheSameRows)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS")) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    fixture().window.reset();
    benchmark::Shutdown();
    return 0;
}
