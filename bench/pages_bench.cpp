// The error-statistics page for 300 error codes and 20,000 wrong sentences,
// and the progress page for 100 sub-units, each from the click's work to the
// page shown, next to the floor of the bare queries that each page runs.

#include <benchmark/benchmark.h>

#include <memory>
#include <QStringList>

#include "bench/benchmain.h"
#include "bench/benchproduct.h"
#include "bench/generatedcourse.h"
#include "bench/sqlitequery.h"
#include "platform/browser.h"
#include "platform/db.h"
#include "platform/forminstance.h"
#include "shared/globals.h"
#include "workspace/frmMain.h"

namespace {

const GeneratedCourse kCourse{"GEN2000", 100, 20};
constexpr int kCategories = 20;
constexpr int kCodesPerCategory = 15;
constexpr int kWrongSentences = 20000;
constexpr int kPageLoadMs = 60000;
const QString kNoService = QStringLiteral("http://127.0.0.1:9/");

QString databasePath(const QString& connectionString) {
    return db::databasePathOf(connectionString);
}

QString categoryId(int category) {
    return QStringLiteral("Q") + QChar('A' + category);
}

QStringList errorCodes() {
    QStringList codes;
    for (int category = 0; category < kCategories; ++category) {
        for (int code = 1; code <= kCodesPerCategory; ++code) {
            codes << categoryId(category) + QStringLiteral("%1").arg(code, 3, 10, QChar('0'));
        }
    }
    return codes;
}

// The engine's error list replaced by one of 300 codes.
bool writeErrorList(const QStringList& codes) {
    SqliteDatabase engine(databasePath(gEngineConnStr), true);
    bool ok = engine.execute("BEGIN") && engine.execute("delete from errtype") &&
              engine.execute("delete from errmain");
    SqliteQuery category(engine.handle(), "insert into errtype values (?, ?)");
    for (int i = 0; ok && i < kCategories; ++i) {
        category.bind({categoryId(i), QStringLiteral("錯誤類別 ") + categoryId(i)});
        ok = !category.next();
    }
    SqliteQuery code(engine.handle(), "insert into errmain values (?, ?)");
    for (const QString& id : codes) {
        code.bind({id, QStringLiteral("錯誤說明 ") + id});
        ok = ok && !code.next();
    }
    return ok && engine.execute("COMMIT");
}

bool writeWrongSentences(const QStringList& codes) {
    SqliteDatabase learner(databasePath(gUserConnStr), true);
    bool ok = learner.execute("BEGIN") && learner.execute("delete from errsentence");
    SqliteQuery sentence(learner.handle(),
                         "insert into errsentence values (?, ?, ?, '2024-03-01', 'N')");
    for (int i = 0; ok && i < kWrongSentences; ++i) {
        sentence.bind({QString::number(i + 1),
                       QStringLiteral("*He go* to school on day %1.").arg(i),
                       codes.at(i % codes.size())});
        ok = !sentence.next();
    }
    return ok && learner.execute("COMMIT");
}

// A third of the questions finished and a third tried, so that every
// count and bar of the progress page has something to show.
bool writeProgress() {
    SqliteDatabase course(databasePath(gCourseConnStr), true);
    return course.execute(
        "update bswunit set VISITED = cast(1 + (cast(substr(UNITID, 6) as integer) % 3) "
        "as text) where UNITID not like '%0100' and UNITID not like '%0000'");
}

struct OpenCourse {
    std::unique_ptr<BenchProduct> product = std::make_unique<BenchProduct>(kNoService);
    frmMain* window = nullptr;
    QString failure;

    OpenCourse() {
        if (!product->isValid() || !product->installCourse(kCourse)) {
            failure = product->error();
            return;
        }
        product->useCourse(kCourse.id);
        const QStringList codes = errorCodes();
        if (!writeErrorList(codes) || !writeWrongSentences(codes) || !writeProgress()) {
            failure = "the data of the pages could not be written";
            return;
        }
        product->setLastCourse(kCourse.id);
        window = FormInstance<frmMain>::get();
        window->webMain->waitForLoad(kPageLoadMs);
    }
};

OpenCourse& openCourse() {
    static OpenCourse shared;
    return shared;
}

bool skipWithoutCourse(benchmark::State& state) {
    if (openCourse().failure.isEmpty()) {
        return false;
    }
    state.SkipWithError(qPrintable(openCourse().failure));
    return true;
}

void BM_ErrorStatisticsPage(benchmark::State& state) {
    if (skipWithoutCourse(state)) {
        return;
    }
    Browser* page = openCourse().window->webMain;
    bool shown = true;
    for (auto _ : state) {
        openCourse().window->GetHtmlListAllErrType();
        shown = page->waitForLoad(kPageLoadMs) && shown;
    }
    // The codes lie in folded categories, which the page's text leaves out.
    const QVariant lastCode =
        page->runJavaScriptSync(QStringLiteral("document.getElementById('td_QT015') !== null"));
    if (!shown || !lastCode.toBool()) {
        state.SkipWithError("the page did not show every code");
    }
}

// The page's own queries, prepared once, on a connection of their own.
void BM_FloorErrorStatisticsQueries(benchmark::State& state) {
    if (skipWithoutCourse(state)) {
        return;
    }
    SqliteDatabase engine(databasePath(gEngineConnStr));
    SqliteDatabase learner(databasePath(gUserConnStr));
    SqliteQuery categories(engine.handle(), "select * from errtype order by errtype_id");
    SqliteQuery codes(engine.handle(),
                      "select * from errmain where errcode like ? || '%' order by errcode");
    SqliteQuery categoryCount(learner.handle(),
                              "select count(*) from errsentence where errcode like ? || '%'");
    SqliteQuery codeCount(learner.handle(), "select count(*) from errsentence where errcode = ?");
    qint64 total = 0;
    for (auto _ : state) {
        total = 0;
        categories.bind({});
        while (categories.next()) {
            const QString id = categories.text(0);
            if (categoryCount.single({id}) == 0) {
                continue;
            }
            codes.bind({id});
            while (codes.next()) {
                total += codeCount.single({codes.text(0)});
            }
        }
    }
    state.counters["sentences"] = double(total);
}

void BM_ProgressPage(benchmark::State& state) {
    if (skipWithoutCourse(state)) {
        return;
    }
    Browser* page = openCourse().window->webMain;
    bool shown = true;
    for (auto _ : state) {
        gStudyPageDirty = true;
        openCourse().window->CalcProgressPage();
        shown = page->waitForLoad(kPageLoadMs) && shown;
    }
    if (!shown || !page->locationURL().endsWith(QStringLiteral("study.htm"))) {
        state.SkipWithError("the page was not shown");
    }
}

void BM_FloorProgressQueries(benchmark::State& state) {
    if (skipWithoutCourse(state)) {
        return;
    }
    SqliteDatabase course(databasePath(gCourseConnStr));
    SqliteQuery allCount(course.handle(), "select count(*) from bswunit where VISITED = ?");
    SqliteQuery topUnits(course.handle(), "select UNITID from bswunit where UNITID like '%0000'");
    SqliteQuery subUnits(course.handle(),
                         "select UNITID, TEXT from bswunit where PARENT = ? order by UNITID");
    SqliteQuery unitCount(course.handle(),
                          "select count(*) from bswunit where VISITED = ? and PARENT = ?");
    int rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (const char* visited : {"1", "2", "3"}) {
            benchmark::DoNotOptimize(allCount.single({visited}));
        }
        topUnits.bind({});
        while (topUnits.next()) {
            subUnits.bind({topUnits.text(0)});
            while (subUnits.next()) {
                ++rows;
                for (const char* visited : {"1", "2", "3"}) {
                    benchmark::DoNotOptimize(unitCount.single({visited, subUnits.text(0)}));
                }
            }
        }
    }
    state.counters["rows"] = rows;
}

BENCHMARK(BM_ErrorStatisticsPage)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FloorErrorStatisticsQueries)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ProgressPage)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FloorProgressQueries)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
    return benchmain::run(argc, argv, {{"LXV"}, nullptr});
}
