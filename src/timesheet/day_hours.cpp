#include "timesheet/day_hours.h"

#include "core/database.h"
#include "core/formatting.h"
#include "ui/input_checks.h"
#include "ui/seams.h"

int workerDayHours(Database &db, Id worker, const QDate &date, Id exceptRecord, Id exceptEntry) {
    QSqlQuery q =
        db.run("select coalesce((select sum(time) from accounts_dep.smena where w_id=:w1 and data=:d1 "
               "and id<>:r), 0) + coalesce((select sum(cnt) from accounts_dep.fatigue where id_p=:w2 "
               "and d_date=:d2 and id<>:e), 0)",
               {{"w1", worker},
                {"d1", date},
                {"r", exceptRecord},
                {"w2", worker},
                {"d2", date},
                {"e", exceptEntry}});
    return q.next() ? q.value(0).toInt() : 0;
}

bool refusedPastADay(Database &db, Id worker, const QString &fio, const QDate &date, int hours,
                     Id exceptRecord, Id exceptEntry) {
    const int written = workerDayHours(db, worker, date, exceptRecord, exceptEntry);
    if (written + hours <= kMostHoursInADay)
        return false;
    showError(QString("У работника %1 за %2 уже записано %3 ч во всех сменах и хоз. работах; с этой записью "
                      "будет %4 ч, а в сутках 24 часа.")
                  .arg(fio, sqlDate(date))
                  .arg(written)
                  .arg(written + hours),
              "Ошибка");
    return true;
}
