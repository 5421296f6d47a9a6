#include "timesheet/month_rebuild.h"

#include "timesheet/closed_months.h"
#include "timesheet/day_cells.h"
#include "ui/data_module.h"

#include <QDate>
#include <QProgressBar>

namespace {
// What one kind of row is built from: the day's totals per key (three key columns, 0 where a kind
// has fewer) and the columns the key is written into.
struct RowSource {
    QString deleteCondition;
    QString dayTotals;
    QString keyColumns;   // of h_tabel, in the order of the day totals' keys
    QString keySelection; // the staged keys as written into them
};

// Only real shift records (shift 1 to 4) make shift rows, and only entries of a work type make
// household rows: anything else would be taken for a row of the other kind.
const RowSource kShiftRows{
    "smena>0",
    "select smena, w_id, 0, %1, sum(time) from accounts_dep.smena where data=:data and smena>0 "
    "group by smena, w_id",
    "smena, w_id",
    "k1, k2",
};

const RowSource kHouseholdRows{
    "smena=0",
    "select f.id_o, f.id_p, f.i_night, %1, sum(f.cnt) from accounts_dep.fatigue f where f.d_date=:data and "
    "f.id_o<>0 group by f.id_p, f.id_o, f.i_night",
    "i_type, w_id, i_night",
    "k1, k2, k3",
};

// Hides the bar however the rebuild ends.
struct ProgressShown {
    QProgressBar *bar;
    ProgressShown(QProgressBar *b, int days) : bar(b) {
        if (!bar)
            return;
        bar->setMaximum(days);
        bar->setValue(1);
        bar->show();
        bar->repaint();
    }
    void day(int d) {
        if (!bar)
            return;
        bar->setValue(d);
        bar->repaint();
    }
    ~ProgressShown() {
        if (bar)
            bar->hide();
    }
};

void rebuild(TDataModule6 &dm, const RowSource &source, int month, int year, QProgressBar *PB) {
    Database &db = dm.ADO_DB;
    // Told before the bar starts; the database refuses the writes too.
    refuseIfMonthClosed(db, month, year);
    const int days = QDate(year, month, 1).daysInMonth();
    ProgressShown progress(PB, days);
    Transaction tx(db);
    timesheet_locks::lockMonthExclusive(db, month, year);
    db.run(QString("delete from accounts_dep.h_tabel where %1 and month=%2 and year=%3")
               .arg(source.deleteCondition)
               .arg(month)
               .arg(year));
    // The days' totals are staged one day at a time (the bar follows the days), then written as
    // one row per key with every day of the month: the rows the day-by-day, key-by-key writes
    // would leave, in a few statements instead of two per key and day.
    db.run("create temporary table if not exists timesheet_rebuild_days (k1 numeric, k2 numeric, k3 numeric, "
           "day integer, tim numeric) on commit delete rows");
    for (int d = 1; d <= days; ++d) {
        db.run("insert into timesheet_rebuild_days(k1, k2, k3, day, tim) " + source.dayTotals.arg(d),
               {{"data", QDate(year, month, d)}});
        progress.day(d);
    }
    QStringList columns, sums;
    for (int d = 1; d <= days; ++d) {
        columns << QString("d%1").arg(d);
        sums << QString("sum(tim) filter (where day=%1)").arg(d);
    }
    db.run(QString("insert into accounts_dep.h_tabel(%1, month, year, %2) select %3, %4, %5, %6 from "
                   "timesheet_rebuild_days group by %3")
               .arg(source.keyColumns, columns.join(", "), source.keySelection)
               .arg(month)
               .arg(year)
               .arg(sums.join(", ")));
    tx.commit();
}
} // namespace

void RebuildShiftRows(TDataModule6 &dm, int month, int year, QProgressBar *PB) {
    rebuild(dm, kShiftRows, month, year, PB);
}

void RebuildHouseholdRows(TDataModule6 &dm, int month, int year, QProgressBar *PB) {
    rebuild(dm, kHouseholdRows, month, year, PB);
}
