#include "timesheet/month_rebuild.h"

#include "core/data_module.h"
#include "timesheet/day_cells.h"

#include <QDate>
#include <QProgressBar>
#include <QRegularExpression>

namespace {
// What one kind of row is built from: the day's totals per key, how a row of the key is found and
// which columns its insert names.
struct RowSource {
    QString deleteCondition;
    QString dayTotals; // columns: the key columns as named in h_tabel, tim
    QString keyMatch;  // h = an h_tabel row, t = a day total
    QString keyColumns;
};

const RowSource kShiftRows{
    "smena>0",
    "select smena, w_id, sum(time) as tim from accounts_dep.smena where data=:data group by smena, w_id",
    "h.w_id=t.w_id and h.smena=t.smena",
    "smena, w_id",
};

const RowSource kHouseholdRows{
    "smena=0",
    "select f.id_o as i_type, f.id_p as w_id, f.i_night, sum(f.cnt) as tim from accounts_dep.fatigue f "
    "where f.d_date=:data group by f.id_p, f.id_o, f.i_night",
    "h.w_id=t.w_id and h.i_type=t.i_type and h.i_night=t.i_night",
    "i_type, w_id, i_night",
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
    const int days = QDate(year, month, 1).daysInMonth();
    ProgressShown progress(PB, days);
    Transaction tx(db);
    timesheet_locks::lockMonthExclusive(db, month, year);
    db.run(QString("delete from accounts_dep.h_tabel where %1 and month=%2 and year=%3")
               .arg(source.deleteCondition)
               .arg(month)
               .arg(year));
    const QString monthMatch = QString("h.month=%1 and h.year=%2").arg(month).arg(year);
    for (int d = 1; d <= days; ++d) {
        // One statement a day: the day is set in every row of a key that has one, and a row is
        // added for each key that has none, as the day-cell write would do key by key.
        db.run(QString("with t as (%1), "
                       "updated as (update accounts_dep.h_tabel h set d%2=t.tim from t where %3 and %4 "
                       "returning %5) "
                       "insert into accounts_dep.h_tabel(%6, month, year, d%2) "
                       "select %6, %7, %8, tim from t where not exists (select 1 from updated h where %3)")
                   .arg(source.dayTotals)
                   .arg(d)
                   .arg(source.keyMatch, monthMatch,
                        QString(source.keyColumns).replace(QRegularExpression("(\\w+)"), "h.\\1"),
                        source.keyColumns)
                   .arg(month)
                   .arg(year),
               {{"data", QDate(year, month, d)}});
        progress.day(d);
    }
    tx.commit();
}
} // namespace

void RebuildShiftRows(TDataModule6 &dm, int month, int year, QProgressBar *PB) {
    rebuild(dm, kShiftRows, month, year, PB);
}

void RebuildHouseholdRows(TDataModule6 &dm, int month, int year, QProgressBar *PB) {
    rebuild(dm, kHouseholdRows, month, year, PB);
}
