#include <pthread.h>
#include <csignal>
#include <cstdio>
#include <QCoreApplication>
#include <QDir>
#include <thread>

#include "standin/errorlist.h"
#include "standin/seed.h"
#include "standin/standinenv.h"
#include "standin/standinoptions.h"
#include "standin/standinserver.h"

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "lexivo-standin: %s\n", qPrintable(message));
    return 1;
}

QString resolved(const QString& programDir, const QString& file) {
    return QDir::isAbsolutePath(file) ? file : QDir(programDir).filePath(file);
}

bool prepareEnv(StandinEnv& env, const StandinOptions& options, QString* error) {
    env.programDir = QCoreApplication::applicationDirPath();
    Seed seed;
    const QString seedFile = options.seedFile.isEmpty()
                                 ? QDir(env.programDir).filePath("standin-seed.json")
                                 : options.seedFile;
    if (!seed.load(seedFile, error)) {
        return false;
    }
    if (!QDir().mkpath(options.dataDir) ||
        !env.store.open(QDir(options.dataDir).filePath("standin.db"), error)) {
        *error = "cannot open the store in " + options.dataDir + ": " + *error;
        return false;
    }
    if (env.store.isEmpty() && !seed.applyTo(env.store)) {
        *error = "the seed " + seedFile + " does not fit the store";
        return false;
    }
    env.grader.setCodes(seed.graderCodes());
    env.outlinesByCode = readErrorOutlines(resolved(env.programDir, seed.errorListFile()));
    return true;
}

// Signals are taken by one thread, which stops the server; the workers never
// see them.
sigset_t blockStopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    StandinOptions options;
    QString error;
    if (!options.parse(application.arguments(), &error)) {
        std::fprintf(stderr, "%s\n%s", qPrintable(error), qPrintable(StandinOptions::usage()));
        return 2;
    }
    // A client that hangs up must not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    const sigset_t stopSignals = blockStopSignals();

    StandinEnv env;
    if (!prepareEnv(env, options, &error)) {
        return fail(error);
    }
    StandinServer server(env, options.testControls);
    env.port = server.bind(options.port);
    if (env.port < 0) {
        return fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(options.port));
    }
    std::thread([stopSignals, &server] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    }).detach();

    std::printf("LISTENING %d\n", env.port);
    std::fflush(stdout);
    server.run();
    return 0;
}
