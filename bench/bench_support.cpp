#include "bench_support.h"

#include "reports/summary_report_layouts.h"

namespace bench {
TDataModule6 *dm = nullptr;

void openList(benchmark::State &state, Dataset &list) {
    for (auto _ : state) {
        list.close();
        list.open();
        benchmark::DoNotOptimize(list.recordCount());
    }
    state.counters["rows"] = list.recordCount();
}

QDate monthStart() {
    const QDate today = QDate::currentDate();
    return QDate(today.year(), today.month(), 1).addMonths(-1);
}

QDate yearStart() {
    return monthStart().addMonths(-11);
}
QDate yearEnd() {
    return QDate::currentDate().addDays(1);
}

QDate lastWorkingDay() {
    QDate day = QDate::currentDate().addDays(-1);
    while (day.dayOfWeek() >= 6)
        day = day.addDays(-1);
    return day;
}

QString withYear(QString sql, int parameters) {
    for (int k = parameters; k >= 1; --k)
        sql.replace(QString(":data%1").arg(k),
                    "'" + (k % 2 ? yearStart() : yearEnd()).toString("yyyy-MM-dd") + "'");
    return sql;
}
} // namespace bench
