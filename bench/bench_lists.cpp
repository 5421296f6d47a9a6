// How long the lists take to open on a big workshop: the day's sheet, the reference books, the
// price list and the overall monthly timesheet. Run through scripts/bench.
#include "app/main_window.h"
#include "bench_support.h"
#include "timesheet/monthly_timesheet.h"
#include "ui/forms.h"

#include <QLineEdit>

using namespace bench;

namespace {
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
void OverallTimesheet(benchmark::State &state) {
    const QDate m = monthStart();
    Dataset view(dm->ADO_DB, "H_Tabel_all");
    view.setSql({TForm27::viewSql(TForm27::Overall)});
    TForm27::bindMonth(view, m.month(), m.year());
    for (auto _ : state) {
        view.close();
        view.open();
    }
    state.counters["rows"] = view.recordCount();
}

BENCHMARK(ShiftSheetOfToday)->Unit(benchmark::kMillisecond);
BENCHMARK(OverallTimesheet)->Unit(benchmark::kMillisecond);
BENCHMARK(Workers)->Unit(benchmark::kMillisecond);
BENCHMARK(Products)->Unit(benchmark::kMillisecond);
BENCHMARK(PriceList)->Unit(benchmark::kMillisecond);
BENCHMARK(PriceListFilter)->Unit(benchmark::kMillisecond);
} // namespace
