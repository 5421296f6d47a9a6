// How long the shared lists take to open on a big workshop. Run through scripts/bench, which
// loads the demo generator with hundreds of workers and a year of records.
#include "app/startup.h"
#include "core/data_module.h"
#include "core/forms.h"
#include "core/row_version.h"
#include "core/seams.h"
#include "shift/main_window.h"
#include "shift/shift_record_editor.h"
#include "support/literal_rebuild.h"
#include "timesheet/closed_months.h"
#include "timesheet/month_rebuild.h"
#include "timesheet/monthly_timesheet.h"

#include "reports/engine/report_preview.h"
#include "reports/summary_report_layouts.h"

#include <QElapsedTimer>
#include <QFile>
#include <sys/resource.h>

#include <QApplication>
#include <QDate>
#include <QLineEdit>
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

// The last full month: every worker has a month of records there.
QDate monthStart() {
    const QDate today = QDate::currentDate();
    return QDate(today.year(), today.month(), 1).addMonths(-1);
}

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

QDate lastWorkingDay() {
    QDate day = QDate::currentDate().addDays(-1);
    while (day.dayOfWeek() >= 6)
        day = day.addDays(-1);
    return day;
}

// The shift record editor changing the first record of the last working day's first shift.
TForm11 &changingFirstRecord() {
    Dataset &list = dm->Smena1;
    list.close();
    list.setParam("data", lastWorkingDay());
    list.setParam("ok", "ta");
    list.open();
    list.first();
    TForm11 &editor = *forms().Form11;
    forms().Form1->ShiftNumber = 1;
    editor.prepareChange(list);
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

// The detailed report by workers over the whole generated year: the query, the preparation of
// the pages, and the first page painted in the preview, each timed on its own.
QDate yearStart() {
    return monthStart().addMonths(-11);
}
QDate yearEnd() {
    return QDate::currentDate().addDays(1);
}
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
            while (preparation->madePages() < 1 && preparation->step(200)) {
            }
            ReportPreview preview(std::move(preparation), "title");
            preview.resize(1200, 900);
            preview.show();
            benchmark::DoNotOptimize(preview.grab());
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
        preview.resize(1200, 900);
        preview.show();
        benchmark::DoNotOptimize(preview.grab());
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

QString detailedYearSql() {
    QString sql = TForm20().sql.join('\n');
    for (int k = TForm20().parameters; k >= 1; --k)
        sql.replace(QString(":data%1").arg(k),
                    "'" + (k % 2 ? yearStart() : yearEnd()).toString("yyyy-MM-dd") + "'");
    return sql;
}

// The same work as one statement each, for psql to time (scripts/bench): the month's rows of a
// kind built in one insert, and the overall view with its dates written in.
void writeReferenceSql(const QString &path) {
    const QDate m = monthStart();
    const QString first = m.toString("yyyy-MM-dd"), next = m.addMonths(1).toString("yyyy-MM-dd");
    QStringList days, sums, fsums;
    for (int d = 1; d <= 31; ++d) {
        days << QString("d%1").arg(d);
        sums << QString("sum(time) filter (where extract(day from data)=%1)").arg(d);
        fsums << QString("sum(cnt) filter (where extract(day from d_date)=%1)").arg(d);
    }
    QString view = TForm27::viewSql(TForm27::Overall);
    view.replace(":i_month", QString::number(m.month())).replace(":i_year", QString::number(m.year()));
    for (const char *lower : {":d_date2", ":d_date4", ":d_date6", ":d_date8"})
        view.replace(lower, "'" + first + "'");
    for (const char *upper : {":d_date1", ":d_date3", ":d_date5", ":d_date7"})
        view.replace(upper, "'" + next + "'");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    const QString text =
        QString(
            "begin;\n"
            "delete from accounts_dep.h_tabel where smena>0 and month=%1 and year=%2;\n"
            "\\echo shift rows in one statement\n"
            "insert into accounts_dep.h_tabel(smena, w_id, month, year, %3) select smena, w_id, %1, %2, %4 "
            "from accounts_dep.smena where data>='%5' and data<'%6' group by smena, w_id;\n"
            "delete from accounts_dep.h_tabel where smena=0 and month=%1 and year=%2;\n"
            "\\echo household rows in one statement\n"
            "insert into accounts_dep.h_tabel(i_type, w_id, i_night, month, year, %3) select id_o, id_p, "
            "i_night, %1, %2, %7 from accounts_dep.fatigue where d_date>='%5' and d_date<'%6' group by id_o, "
            "id_p, i_night;\n"
            "rollback;\n"
            "\\echo overall timesheet view\n"
            "%8;\n"
            "\\echo detailed report by workers, a year\n"
            "%9;\n")
            .arg(m.month())
            .arg(m.year())
            .arg(days.join(", "), sums.join(", "), first, next, fsums.join(", "), view, detailedYearSql());
    out.write(text.toUtf8());
}

// With the guards on and off, several times over, so that their cost stands out of the noise.
void guardsOnAndOff(benchmark::internal::Benchmark *b) {
    b->ArgName("guards")->Arg(1)->Arg(0)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(
        benchmark::kMillisecond);
}

BENCHMARK(ShiftSheetOfToday)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveShiftRecord)->Apply(guardsOnAndOff);
BENCHMARK(WriteShiftRecord)->Apply(guardsOnAndOff);
BENCHMARK(ClosedMonthQuestion)->Unit(benchmark::kMillisecond);
BENCHMARK(RebuildShiftMonth)->Apply(guardsOnAndOff);
BENCHMARK(RebuildHouseholdMonth)->Apply(guardsOnAndOff);
BENCHMARK(LiteralShiftRebuild)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LiteralHouseholdRebuild)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(OverallTimesheet)->Unit(benchmark::kMillisecond);
BENCHMARK(DetailedWorkersYear)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Workers)->Unit(benchmark::kMillisecond);
BENCHMARK(Products)->Unit(benchmark::kMillisecond);
BENCHMARK(PriceList)->Unit(benchmark::kMillisecond);
BENCHMARK(PriceListFilter)->Unit(benchmark::kMillisecond);
} // namespace

// A message box would wait for a person: the bench prints what the program would show and stops.
struct PrintedMessages : seams::Messages {
    void error(const QString &text, const QString &title) override {
        qFatal("%s: %s", qPrintable(title), qPrintable(text));
    }
    bool yesNo(const QString &, const QString &) override { return false; }
};

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    PrintedMessages messages;
    seams::setMessages(&messages);
    // The whole program, so that the editors are measured as the user runs them.
    if (!createForms({qEnvironmentVariable("PIECEWORK_BENCH_DB", "piecework_bench"), "127.0.0.1"}))
        return 1;
    dm = forms().DataModule6;
    if (argc == 3 && QByteArray(argv[1]) == "--write-sql") {
        writeReferenceSql(QString::fromLocal8Bit(argv[2]));
        destroyForms();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    destroyForms();
    return 0;
}
