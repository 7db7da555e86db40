// GetListTree on a course of 2,000 questions in the main window, next to
// the floor of reading the same rows with sqlite3 into a bare QTreeWidget.

#include <benchmark/benchmark.h>

#include <memory>
#include <QCoreApplication>
#include <QTreeWidget>

#include "bench/baretree.h"
#include "bench/benchmain.h"
#include "bench/benchproduct.h"
#include "bench/generatedcourse.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/globals.h"
#include "workspace/frmMain.h"

namespace {

const GeneratedCourse kLargeCourse{"GEN2000", 100, 20};
// Nothing listens there: the service's part of opening a course fails at
// once and is no part of the tree.
const QString kNoService = QStringLiteral("http://127.0.0.1:9/");

struct OpenCourse {
    std::unique_ptr<BenchProduct> product = std::make_unique<BenchProduct>(kNoService);
    frmMain* window = nullptr;
    QString failure;

    OpenCourse() {
        if (!product->isValid() || !product->installCourse(kLargeCourse)) {
            failure = product->error();
            return;
        }
        product->setLastCourse(kLargeCourse.id);
        window = FormInstance<frmMain>::get();
        QCoreApplication::processEvents();
    }
};

OpenCourse& openCourse() {
    static OpenCourse shared;
    return shared;
}

void BM_GetListTree(benchmark::State& state) {
    OpenCourse& bench = openCourse();
    if (!bench.failure.isEmpty()) {
        state.SkipWithError(qPrintable(bench.failure));
        return;
    }
    bool built = true;
    for (auto _ : state) {
        built = bench.window->GetListTree() && built;
    }
    state.counters["nodes"] = bench.window->treMain->count();
    if (!built) {
        state.SkipWithError("the tree was not built");
    }
}

void BM_FloorRowsIntoBareTree(benchmark::State& state) {
    OpenCourse& bench = openCourse();
    if (!bench.failure.isEmpty()) {
        state.SkipWithError(qPrintable(bench.failure));
        return;
    }
    const QString database = gBasePath + "/Lexivo2/" + kLargeCourse.id + "/LexivoData.mdb";
    int nodes = 0;
    for (auto _ : state) {
        QTreeWidget tree;
        nodes = fillBareTree(database, &tree);
    }
    state.counters["nodes"] = nodes;
}

BENCHMARK(BM_GetListTree)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FloorRowsIntoBareTree)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    return benchmain::run(argc, argv, {{"LXV"}, nullptr});
}
