#include "timesheet/closed_months.h"

#include "core/database.h"
#include "core/db_error.h"
#include "core/roles.h"
#include "timesheet/day_cells.h"

MonthClosing monthClosing(Database &db, int month, int year) {
    QSqlQuery q =
        db.run("select closed_at, closed_by from accounts_dep.closed_month where year=:y and month=:m",
               {{"y", year}, {"m", month}});
    MonthClosing result;
    if (q.next()) {
        result.closed = true;
        result.at = q.value(0).toDateTime();
        result.by = shownActor(q.value(1).toString());
    }
    return result;
}

QDate latestClosedMonth(Database &db) {
    QSqlQuery q =
        db.run("select year, month from accounts_dep.closed_month order by year desc, month desc limit 1");
    return q.next() ? QDate(q.value(0).toInt(), q.value(1).toInt(), 1) : QDate();
}

void refuseIfMonthClosed(Database &db, int month, int year) {
    if (monthClosing(db, month, year).closed)
        throw DbError(kClosedMonthMessage);
}

void refuseIfMonthClosed(Database &db, const QDate &date) {
    if (date.isValid())
        refuseIfMonthClosed(db, date.month(), date.year());
}

void closeMonth(Database &db, int month, int year, const QString &closedBy) {
    Transaction tx(db);
    timesheet_locks::lockMonthExclusive(db, month, year);
    db.run(
        "insert into accounts_dep.closed_month(year, month, closed_by) values (:y, :m, :by) on conflict do "
        "nothing",
        {{"y", year}, {"m", month}, {"by", closedBy}});
    tx.commit();
}

void reopenMonth(Database &db, int month, int year) {
    db.run("delete from accounts_dep.closed_month where year=:y and month=:m", {{"y", year}, {"m", month}});
}
