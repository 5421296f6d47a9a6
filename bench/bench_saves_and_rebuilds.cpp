// What a save and a month rebuild cost on a big workshop, with the database's guards on and off
// taking turns, next to the old per-key loop. Run through scripts/bench.
#include "app/main_window.h"
#include "bench_support.h"
#include "core/row_version.h"
#include "shift/record_actions.h"
#include "shift/shift_record_editor.h"
#include "support/literal_rebuild.h"
#include "timesheet/closed_months.h"
#include "timesheet/month_rebuild.h"
#include "ui/forms.h"

#include <QLineEdit>

using namespace bench;

namespace {
// The database's closed-month checks and change history, on (1) or off (0) for a benchmark, to
// see what they cost next to the same work without them.
struct GuardTriggers {
    explicit GuardTriggers(bool on) { set(on); }
    ~GuardTriggers() { set(true); }
    static void set(bool on) {
        const QString verb = on ? "enable" : "disable";
        dm->ADO_DB.run(
            QString("alter table accounts_dep.smena %1 trigger smena_month_open, %1 trigger smena_history")
                .arg(verb));
        dm->ADO_DB.run(
            QString(
                "alter table accounts_dep.fatigue %1 trigger fatigue_month_open, %1 trigger fatigue_history")
                .arg(verb));
        dm->ADO_DB.run(
            QString("alter table accounts_dep.h_tabel %1 trigger h_tabel_month_open_ins, %1 trigger "
                    "h_tabel_month_open_upd, %1 trigger h_tabel_month_open_del")
                .arg(verb));
    }
};

// The shift record editor changing the first record of the last working day's first shift.
TForm11 &changingFirstRecord() {
    Dataset &list = dm->Smena1;
    list.close();
    list.setParam("data", lastWorkingDay());
    list.setParam("ok", "ta");
    list.open();
    list.first();
    TForm11 &editor = *forms().Form11;
    editor.prepareChange({lastWorkingDay(), false, 1}, list);
    return editor;
}

// "Запись" of the shift record editor changing a record's quantity: the duplicate check, the
// record, its day cell, and the shift list read again.
void SaveShiftRecord(benchmark::State &state) {
    const GuardTriggers guards(state.range(0) != 0);
    Dataset &list = dm->Smena1;
    TForm11 &editor = changingFirstRecord();
    // A save clears the fields: they are filled again as the change left them (opening the price
    // list each time, as the editor does, would take longer than the save).
    QList<QLineEdit *> edits = editor.findChildren<QLineEdit *>();
    QStringList texts;
    for (QLineEdit *e : edits)
        texts << e->text();
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < edits.size(); ++i)
            edits[i]->setText(texts[i]);
        // The list read again by the last save holds the record's new version.
        editor.RecordVersion = rowVersion(list);
        editor.Edit3->setText(QString::number(10 + (++k % 2)));
        state.ResumeTiming();
        editor.Button1Click();
    }
}
// The same save's writes alone, without the list read again: the record and its day cell in one
// transaction, which is where the guards act.
void WriteShiftRecord(benchmark::State &state) {
    const GuardTriggers guards(state.range(0) != 0);
    Dataset &list = dm->Smena1;
    TForm11 &editor = changingFirstRecord();
    const Id id = list.asId("id");
    const QString price = list.text("cena");
    int k = 0;
    for (auto _ : state) {
        editor.Edit3->setText(QString::number(10 + (++k % 2)));
        editor.writeRecord(price, 0, id);
        // The next save starts from the version this one wrote, as a list read again would give.
        state.PauseTiming();
        editor.RecordVersion =
            dm->lookup(QString("select xmin::text as v from accounts_dep.smena where id=%1").arg(id), "v")
                .toLongLong();
        state.ResumeTiming();
    }
}
// The warehouse's acceptance of a record, as the day sheet does it (the mark flipped on the row as
// read); the list read again between flips gives the next one the row's new version.
void AcceptShiftRecord(benchmark::State &state) {
    const GuardTriggers guards(state.range(0) != 0);
    Dataset &list = dm->Smena1;
    changingFirstRecord();
    for (auto _ : state) {
        flipAcceptance(*dm, ShownRecord::of(list));
        state.PauseTiming();
        list.reopenKeepingPlace();
        state.ResumeTiming();
    }
}
// The program's own question before an action or a rebuild: is the month closed?
void ClosedMonthQuestion(benchmark::State &state) {
    const QDate m = monthStart();
    for (auto _ : state)
        benchmark::DoNotOptimize(monthClosing(dm->ADO_DB, m.month(), m.year()).closed);
}

void RebuildShiftMonth(benchmark::State &state) {
    const QDate m = monthStart();
    const GuardTriggers guards(state.range(0) != 0);
    for (auto _ : state)
        RebuildShiftRows(*dm, m.month(), m.year(), nullptr);
    state.counters["rows"] =
        dm->lookup(
              QString("select count(*) as n from accounts_dep.h_tabel where smena>0 and month=%1 and year=%2")
                  .arg(m.month())
                  .arg(m.year()),
              "n")
            .toInt();
}
void RebuildHouseholdMonth(benchmark::State &state) {
    const QDate m = monthStart();
    const GuardTriggers guards(state.range(0) != 0);
    for (auto _ : state)
        RebuildHouseholdRows(*dm, m.month(), m.year(), nullptr);
}
// The office's per-key loop, for comparison (slow: run once).
void LiteralShiftRebuild(benchmark::State &state) {
    const QDate m = monthStart();
    for (auto _ : state)
        literalRebuild(*dm, false, m.month(), m.year());
}
void LiteralHouseholdRebuild(benchmark::State &state) {
    const QDate m = monthStart();
    for (auto _ : state)
        literalRebuild(*dm, true, m.month(), m.year());
}

// With the guards on and off, several times over, so that their cost stands out of the noise.
// With the guards on and off, several times over, so that their cost stands out of the noise.
void guardsOnAndOff(benchmark::internal::Benchmark *b) {
    b->ArgName("guards")->Arg(1)->Arg(0)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(
        benchmark::kMillisecond);
}

BENCHMARK(SaveShiftRecord)->Apply(guardsOnAndOff);
BENCHMARK(WriteShiftRecord)->Apply(guardsOnAndOff);
BENCHMARK(AcceptShiftRecord)->Apply(guardsOnAndOff);
BENCHMARK(ClosedMonthQuestion)->Unit(benchmark::kMillisecond);
BENCHMARK(RebuildShiftMonth)->Apply(guardsOnAndOff);
BENCHMARK(RebuildHouseholdMonth)->Apply(guardsOnAndOff);
BENCHMARK(LiteralShiftRebuild)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LiteralHouseholdRebuild)->Unit(benchmark::kMillisecond)->Iterations(1);
} // namespace
