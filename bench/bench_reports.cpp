// The printed reports on a big workshop, the program end to end: the statement's first rows, the
// pages prepared, the first page shown after the click, peak memory. Run through scripts/bench.
#include "bench_support.h"
#include "reports/engine/query_rows.h"
#include "reports/engine/report_preview.h"
#include "reports/summary_report_layouts.h"

#include <QElapsedTimer>
#include <sys/resource.h>

using namespace bench;

namespace {
// The preview of a preparation on its first page, painted as the user sees it.
void showFirstPage(ReportPreview &preview) {
    preview.resize(1200, 900);
    preview.show();
    benchmark::DoNotOptimize(preview.grab());
}
// The detailed report by workers over the whole generated year: the query, the preparation of
// the pages, and the first page painted in the preview, each timed on its own.
void DetailedWorkersYear(benchmark::State &state) {
    Dataset query(dm->ADO_DB, "w_Report");
    query.setSql(TForm20().sql);
    for (int k = 1; k <= TForm20().parameters; ++k)
        query.setParam(QString("data%1").arg(k), k % 2 ? yearStart() : yearEnd());
    double queryMs = 0, prepareMs = 0, firstPageMs = 0, clickToFirstPageMs = 0;
    int pages = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        {
            // As the reports window works: the preview shows the first page while the rest wait.
            auto preparation = std::make_unique<ReportPreparation>(
                TForm20().layout("title"),
                std::make_unique<QueryRows>(dm->portionedConnection(), query.sqlText(), query.boundParams()));
            preparation->makeFirstPage();
            ReportPreview preview(std::move(preparation), "title");
            showFirstPage(preview);
            clickToFirstPageMs += t.nsecsElapsed() / 1e6;
        }
        t.restart();
        // The rows come as the statement produces them; the first one marks the query's time.
        Database &db = dm->portionedConnection();
        QueryRows rows(db, query.sqlText(), query.boundParams());
        queryMs += t.nsecsElapsed() / 1e6;
        t.restart();
        const PreparedReport report = prepareReport(TForm20().layout("title"), rows);
        prepareMs += t.nsecsElapsed() / 1e6;
        pages = report.pageCount();
        t.restart();
        ReportPreview preview(report, "title");
        showFirstPage(preview);
        firstPageMs += t.nsecsElapsed() / 1e6;
    }
    const double n = double(state.iterations());
    state.counters["query_ms"] = queryMs / n;
    state.counters["prepare_ms"] = prepareMs / n;
    state.counters["first_page_ms"] = firstPageMs / n;
    state.counters["click_to_first_page_ms"] = clickToFirstPageMs / n;
    state.counters["pages"] = pages;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = usage.ru_maxrss / 1024.0;
}

// Each report end to end as the window runs it: the click to the first page shown (the preview
// opens while the rest are made), and every page prepared.
void ReportEndToEnd(benchmark::State &state, const SummaryReport &report, bool year) {
    const QDate from = year ? yearStart() : monthStart(), to = year ? yearEnd() : monthStart().addMonths(1);
    SqlParams params;
    for (int k = 1; k <= report.parameters; ++k)
        params.append({QString("data%1").arg(k), k % 2 ? from : to});
    const QString sql = report.sql.join('\n');
    double firstPageMs = 0, allPagesMs = 0;
    int pages = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        auto preparation = std::make_unique<ReportPreparation>(
            report.layout("title"), std::make_unique<QueryRows>(dm->portionedConnection(), sql, params));
        preparation->makeFirstPage();
        ReportPreview preview(std::move(preparation), "title");
        showFirstPage(preview);
        firstPageMs += t.nsecsElapsed() / 1e6;
        while (preview.prepareMore()) {
        }
        allPagesMs += t.nsecsElapsed() / 1e6;
        pages = preview.report().pageCount();
    }
    const double n = double(state.iterations());
    state.counters["first_page_ms"] = firstPageMs / n;
    state.counters["all_pages_ms"] = allPagesMs / n;
    state.counters["pages"] = pages;
}

BENCHMARK(DetailedWorkersYear)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(ReportEndToEnd, WorkersMonth, TForm16(), false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(ReportEndToEnd, ProductsMonth, TForm17(), false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(ReportEndToEnd, DetailedWorkersMonth, TForm20(), false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(ReportEndToEnd, DetailedProductsMonth, TForm21(), false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(ReportEndToEnd, WorkersYear, TForm16(), true)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(ReportEndToEnd, ProductsYear, TForm17(), true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(ReportEndToEnd, DetailedProductsYear, TForm21(), true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
} // namespace
