// One sentence check in the main window, from PassStringToEngine to the
// result page shown and the record step done (its upload answered), with
// the stand-in as service and engine. The same exchanges made alone (the
// program's five requests, the result page and the upload form loaded in a
// bare browser) are measured in the same run: the client's own time is the
// check's less theirs.

#include <benchmark/benchmark.h>

#include <memory>
#include <QLineEdit>

#include "bench/benchmain.h"
#include "bench/benchproduct.h"
#include "platform/browser.h"
#include "platform/forminstance.h"
#include "platform/treeview.h"
#include "shared/enginelocator.h"
#include "shared/globals.h"
#include "shared/md5.h"
#include "shared/request.h"
#include "tests/support/standinprocess.h"
#include "workspace/formpost.h"
#include "workspace/frmMain.h"

namespace {

constexpr int kPageLoadMs = 30000;
const QString kQuestion = QStringLiteral("U1000104");
const QString kCorrect = QStringLiteral("I like playing the piano.");
const QString kWrong = QStringLiteral("he like playing the piano");

struct CheckWindow {
    StandinProcess standin;
    std::unique_ptr<BenchProduct> product;
    frmMain* window = nullptr;
    QString failure;

    CheckWindow() {
        if (!standin.start()) {
            failure = "the stand-in did not start";
            return;
        }
        product = std::make_unique<BenchProduct>(standin.baseUrl());
        if (!product->isValid() || !product->installDemoCourse()) {
            failure = product->error();
            return;
        }
        product->setLastCourse("DEMO");
        window = FormInstance<frmMain>::get();
        window->treMain->clickNode(window->treMain->nodeByKey("QUIZ_" + kQuestion));
        waitForPages();
    }

    void waitForPages() {
        for (Browser* browser : {window->webMain, window->webQuiz, window->webUpload}) {
            browser->waitForLoad(kPageLoadMs);
        }
    }
};

CheckWindow& checkWindow() {
    static CheckWindow shared;
    return shared;
}

bool skipWithoutWindow(benchmark::State& state) {
    if (checkWindow().failure.isEmpty()) {
        return false;
    }
    state.SkipWithError(qPrintable(checkWindow().failure));
    return true;
}

void BM_SentenceCheck(benchmark::State& state, const QString& sentence) {
    if (skipWithoutWindow(state)) {
        return;
    }
    CheckWindow& bench = checkWindow();
    for (auto _ : state) {
        state.PauseTiming();
        bench.window->txtInput->setText(sentence);
        state.ResumeTiming();
        bench.window->PassStringToEngine();
        bench.waitForPages();
    }
    if (!bench.window->webMain->locationURL().contains("/result/")) {
        state.SkipWithError("no result page was shown");
    }
}

QString engineForm(const QString& sentence) {
    return RequestForm({{"pno", gPno},
                        {"pnomd5", MD5(gPno)},
                        {"checksum", MD5(QString(sentence).remove(' '))},
                        {"p1", "beta"},
                        {"p2", "0"},
                        {"p3", "102030"},
                        {"cidx", kQuestion},
                        {"s", QString(sentence).replace(" ", "%20")}});
}

// The page named in the engine's reply, "" when there is none.
QString gradeAlone(const QString& sentence) {
    if (!CheckWebEngineConn(true)) {
        return QString();
    }
    const QString reply =
        PostRequest(gWebEngineURL + "p_passWebEngine.asp", engineForm(sentence)).value_or("");
    return reply.startsWith("OK_") ? reply.section('#', 2, 2) : QString();
}

void uploadAlone(Browser* browser, const QString& sentence) {
    if (!IsServerOnline()) {
        return;
    }
    const QString action = gServerURL + "p_lxv_proc_sentence.asp";
    SubmitFormPage(browser,
                   FormPostPage(action, {{"pno", gPno},
                                         {"pass", gServerPassword},
                                         {"courseId", gCourseId},
                                         {"qcode", kQuestion},
                                         {"flag", "3"},
                                         {"errcode", "0"},
                                         {"s", sentence}}),
                   action);
}

void BM_ExchangesOfOneCheckAlone(benchmark::State& state, const QString& sentence) {
    if (skipWithoutWindow(state)) {
        return;
    }
    Browser page;
    Browser upload;
    bool answered = true;
    for (auto _ : state) {
        const QString result = gradeAlone(sentence);
        page.Navigate2(gWebEngineURL + result);
        uploadAlone(&upload, sentence);
        answered = page.waitForLoad(kPageLoadMs) && !result.isEmpty() && answered;
    }
    if (!answered) {
        state.SkipWithError("the engine did not answer");
    }
}

// The program's own requests of a check alone: the engine's lookup, its
// online test (twice), the grading, and the service's online test.
void BM_RequestsOfOneCheckAlone(benchmark::State& state, const QString& sentence) {
    if (skipWithoutWindow(state)) {
        return;
    }
    bool answered = true;
    for (auto _ : state) {
        answered = !gradeAlone(sentence).isEmpty() && IsServerOnline() && answered;
    }
    if (!answered) {
        state.SkipWithError("the engine or the service did not answer");
    }
}

BENCHMARK_CAPTURE(BM_SentenceCheck, correct, kCorrect)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_ExchangesOfOneCheckAlone, correct, kCorrect)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_RequestsOfOneCheckAlone, correct, kCorrect)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_SentenceCheck, wrong, kWrong)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(BM_ExchangesOfOneCheckAlone, wrong, kWrong)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK_CAPTURE(BM_RequestsOfOneCheckAlone, wrong, kWrong)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
    return benchmain::run(argc, argv, {{"LXV"}, [] { checkWindow().standin.stop(); }});
}
