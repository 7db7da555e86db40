// From the start-up's own work to the main window shown with the course
// tree, for the demo course and for a course of 2,000 questions, next to
// the floor of reading the same rows with sqlite3 into a bare QTreeWidget.
// The browser engine is running before anything is measured.

#include <benchmark/benchmark.h>

#include <memory>
#include <QCoreApplication>
#include <QTreeWidget>

#include "bench/baretree.h"
#include "bench/benchmain.h"
#include "bench/benchproduct.h"
#include "bench/generatedcourse.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "shared/request.h"
#include "shared/settingsfiles.h"
#include "startup/frmSplash.h"
#include "startup/frmStartup.h"
#include "tests/support/standinprocess.h"
#include "workspace/frmMain.h"

namespace {

const GeneratedCourse kLargeCourse{"GEN2000", 100, 20};

struct Installation {
    StandinProcess standin;
    std::unique_ptr<BenchProduct> product;
    QString failure;

    Installation() {
        if (!standin.start()) {
            failure = "the stand-in did not start";
            return;
        }
        product = std::make_unique<BenchProduct>(standin.baseUrl());
        if (!product->isValid() || !product->installDemoCourse() ||
            !product->installCourse(kLargeCourse)) {
            failure = product->error();
            return;
        }
        skipKnownNews();
    }

    // A learner who has read the news once is not shown it again: the
    // request is still made at every start.
    void skipKnownNews() {
        const QString reply =
            PostRequest(gServerURL + "p_publisher_news.asp", RequestForm({{"softcode", gSoftCode}}))
                .value_or(QString());
        SetFile_IO(gSetupSetFile, "W", "publisher", QString(reply).remove("OK_"));
    }
};

Installation& installation() {
    static Installation shared;
    return shared;
}

// The state that a fresh process starts from.
void clearProcessState() {
    forms::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    db::closeAllConnections();
    gStartupDone = false;
    gInFormLoad = false;
    gPublisherNewsDone = false;
    gQuizSelected = false;
    gHistoryCount = 0;
    gHistoryPos = 0;
    gMsgResult.clear();
    gNodeKey.clear();
    gUnitKey.clear();
    gNodeIndex = 0;
    gUnitNodeIndex = 0;
    gScheduleType.clear();
}

// The measured part, out of line so that an instruction count can name it:
// the start, its pending events, and one paint of the window as the start
// left it. The window system asks for that paint a few milliseconds after
// the last change, so an event pass alone may end before it.
[[gnu::noinline]] frmMain* startProgram() {
    FormInstance<frmStartup>::get();
    frmMain* window = FormInstance<frmMain>::get();
    QCoreApplication::processEvents();
    window->repaint();
    return window;
}

void BM_StartToMainWindow(benchmark::State& state, const QString& courseId) {
    Installation& bench = installation();
    if (!bench.failure.isEmpty()) {
        state.SkipWithError(qPrintable(bench.failure));
        return;
    }
    int nodes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        clearProcessState();
        bench.product->setLastCourse(courseId);
        state.ResumeTiming();

        frmMain* window = startProgram();

        state.PauseTiming();
        nodes = window->isVisible() ? window->treMain->count() : 0;
        state.ResumeTiming();
    }
    state.counters["nodes"] = nodes;
    if (nodes == 0) {
        state.SkipWithError("the main window did not come up with its tree");
    }
}

void BM_FloorRowsIntoBareTree(benchmark::State& state, const QString& courseId) {
    Installation& bench = installation();
    if (!bench.failure.isEmpty()) {
        state.SkipWithError(qPrintable(bench.failure));
        return;
    }
    const QString database = gBasePath + "/Lexivo2/" + courseId + "/LexivoData.mdb";
    int nodes = 0;
    for (auto _ : state) {
        auto tree = std::make_unique<QTreeWidget>();
        nodes = fillBareTree(database, tree.get());
        tree->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    state.counters["nodes"] = nodes;
}

// The splash window's fade-in, which the start waits for by design: the
// part of the start's time that is a wait rather than work.
void BM_SplashFadeInAlone(benchmark::State& state) {
    Installation& bench = installation();
    if (!bench.failure.isEmpty()) {
        state.SkipWithError(qPrintable(bench.failure));
        return;
    }
    for (auto _ : state) {
        FormInstance<frmSplash>::get();
        state.PauseTiming();
        clearProcessState();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_SplashFadeInAlone)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK_CAPTURE(BM_StartToMainWindow, demo, QStringLiteral("DEMO"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_FloorRowsIntoBareTree, demo, QStringLiteral("DEMO"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_StartToMainWindow, questions2000, QStringLiteral("GEN2000"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_FloorRowsIntoBareTree, questions2000, QStringLiteral("GEN2000"))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    return benchmain::run(argc, argv, {{"LXV"}, [] {
                                           clearProcessState();
                                           installation().standin.stop();
                                       }});
}
