#pragma once
// What the benchmarks share: the running program's data module and the periods they measure, on
// the big generated workshop that scripts/bench loads.
#include "ui/data_module.h"

#include <QDate>
#include <QString>
#include <benchmark/benchmark.h>

namespace bench {
// The program's data module, made by main() before any benchmark runs.
extern TDataModule6 *dm;
// Opens a list again and again.
void openList(benchmark::State &state, Dataset &list);
// The last full month: every worker has a month of records there.
QDate monthStart();
// The whole generated year, up to today.
QDate yearStart();
QDate yearEnd();
QDate lastWorkingDay();
// A report's statement with the year's dates written in (odd parameters the first day, even the
// day after the last), for psql to time.
QString withYear(QString sql, int parameters);
} // namespace bench
