// How long the shared lists take to open on a big workshop. Run through scripts/bench, which
// loads the demo generator with hundreds of workers and a year of records.
#include "core/connection_string.h"
#include "core/data_module.h"
#include "core/forms.h"

#include <QApplication>
#include <QDate>
#include <benchmark/benchmark.h>

namespace {
TDataModule6 *dm = nullptr;

void openList(benchmark::State &state, Dataset &list) {
    for (auto _ : state) {
        list.close();
        list.open();
        benchmark::DoNotOptimize(list.recordCount());
    }
    state.counters["rows"] = list.recordCount();
}

void ShiftSheetOfToday(benchmark::State &state) {
    // The last working day: a weekend has few records.
    QDate day = QDate::currentDate();
    while (day.dayOfWeek() >= 6)
        day = day.addDays(-1);
    for (int n = 1; n <= 4; ++n) {
        dm->shiftQuery(n).setParam("data", day);
        dm->shiftQuery(n).setParam("ok", "ta");
    }
    for (auto _ : state) {
        for (int n = 1; n <= 4; ++n) {
            dm->shiftQuery(n).close();
            dm->shiftQuery(n).open();
        }
    }
    state.counters["rows"] = dm->Smena1.recordCount() + dm->Smena2.recordCount() + dm->Smena3.recordCount() +
                             dm->Smena4.recordCount();
    // The sheet must not slow down as the company's persons table grows.
    state.counters["persons"] = dm->lookup("select count(*) as n from cmn_contractor.person", "n").toInt();
}
void Workers(benchmark::State &state) {
    openList(state, dm->Workers);
}
void Products(benchmark::State &state) {
    openList(state, dm->Izdel);
}
void PriceList(benchmark::State &state) {
    openList(state, dm->Oper);
}
void PriceListFilter(benchmark::State &state) {
    dm->Oper.open();
    for (auto _ : state) {
        dm->Oper.setFilter("marka like '%12%'");
        dm->Oper.setFiltered(true);
        dm->Oper.setFiltered(false);
    }
}

BENCHMARK(ShiftSheetOfToday)->Unit(benchmark::kMillisecond);
BENCHMARK(Workers)->Unit(benchmark::kMillisecond);
BENCHMARK(Products)->Unit(benchmark::kMillisecond);
BENCHMARK(PriceList)->Unit(benchmark::kMillisecond);
BENCHMARK(PriceListFilter)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    dm = new TDataModule6;
    dm->ADO_DB.connect(
        buildConnectionString({qEnvironmentVariable("PIECEWORK_BENCH_DB", "piecework_bench"), "127.0.0.1"}));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    delete dm;
    return 0;
}
