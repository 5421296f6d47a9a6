// The benchmarks of the program on a big generated workshop (scripts/bench), and the same work
// written out as single statements for psql to time (--write-sql).
#include "app/startup.h"
#include "bench_support.h"
#include "reports/summary_report_layouts.h"
#include "support/reference_reports.h"
#include "timesheet/monthly_timesheet.h"
#include "ui/forms.h"
#include "ui/seams.h"

#include <QApplication>
#include <QFile>

using namespace bench;

namespace {
// Each report over the year twice, as first written and as the program sends it, for psql to
// time side by side.
QString reportsYearSql() {
    const struct {
        const char *name;
        const QStringList &reference;
        int referenceParameters;
        const SummaryReport &report;
    } reports[] = {{"by workers", reference_reports::byWorkers, 12, TForm16()},
                   {"by products", reference_reports::byProducts, 2, TForm17()},
                   {"detailed by workers", reference_reports::detailedByWorkers, 18, TForm20()},
                   {"detailed by products", reference_reports::detailedByProducts, 2, TForm21()}};
    QString text;
    for (const auto &r : reports) {
        text += QString("\\echo report %1, a year, as first written\n%2;\n")
                    .arg(r.name, withYear(r.reference.join('\n'), r.referenceParameters));
        text += QString("\\echo report %1, a year, as the program sends it\n%2;\n")
                    .arg(r.name, withYear(r.report.sql.join('\n'), r.report.parameters));
    }
    return text;
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
            "%9\n")
            .arg(m.month())
            .arg(m.year())
            .arg(days.join(", "), sums.join(", "), first, next, fsums.join(", "), view, reportsYearSql());
    out.write(text.toUtf8());
}
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
