#include "timesheet/day_cells.h"

#include "core/formatting.h"
#include "ui/data_module.h"

#include <algorithm>

namespace {
// Namespaces of the program's advisory locks (the first key of pg_advisory_xact_lock(int, int)).
constexpr int kMonthLock = 74101;
constexpr int kKeyLock = 74102;

QString keyCondition(const TimesheetKey &key, const QDate &date) {
    if (key.isHousehold())
        return QString("w_id=%1 and i_type=%2 and i_night=%3 and month=%4 and year=%5")
            .arg(key.worker)
            .arg(key.type)
            .arg(key.night)
            .arg(date.month())
            .arg(date.year());
    return QString("w_id=%1 and smena=%2 and month=%3 and year=%4")
        .arg(key.worker)
        .arg(key.shift)
        .arg(date.month())
        .arg(date.year());
}

QString insertStatement(const TimesheetKey &key, const QDate &date, int total) {
    if (key.isHousehold())
        return QString(
                   "insert into accounts_dep.h_tabel(i_type, w_id, i_night, month, year, d%1) values(%2, %3, "
                   "%4, %5, %6, %7)")
            .arg(date.day())
            .arg(key.type)
            .arg(key.worker)
            .arg(key.night)
            .arg(date.month())
            .arg(date.year())
            .arg(total);
    return QString(
               "insert into accounts_dep.h_tabel(smena, w_id, month, year, d%1) values(%2, %3, %4, %5, %6)")
        .arg(date.day())
        .arg(key.shift)
        .arg(key.worker)
        .arg(date.month())
        .arg(date.year())
        .arg(total);
}

} // namespace

static QString keyText(const TimesheetKey &key, const QDate &date) {
    return QString("%1/%2/%3/%4/%5/%6")
        .arg(key.worker)
        .arg(key.shift)
        .arg(key.type)
        .arg(key.night)
        .arg(date.month())
        .arg(date.year());
}

static void lockKey(Database &db, const TimesheetKey &key, const QDate &date) {
    timesheet_locks::lockMonthShared(db, date.month(), date.year());
    db.run(QString("select pg_advisory_xact_lock(%1, hashtext(:key))").arg(kKeyLock),
           {{"key", keyText(key, date)}});
}

void LockDayCells(Database &db, const QList<QPair<TimesheetKey, QDate>> &cells) {
    // In one order on every workstation, so that two saves that take the same two keys never wait
    // for each other crosswise.
    QList<QPair<QString, int>> order;
    for (int i = 0; i < cells.size(); ++i)
        order.append({keyText(cells[i].first, cells[i].second), i});
    std::sort(order.begin(), order.end());
    for (const auto &o : order)
        lockKey(db, cells[o.second].first, cells[o.second].second);
}

namespace {
void store(TDataModule6 &dm, const TimesheetKey &key, const QDate &date, int total, DayCellWrite how) {
    const QString where = keyCondition(key, date);
    lockKey(dm.ADO_DB, key, date);
    if (how == DayCellWrite::AfterDelete) {
        const QString value = total != 0 ? QString::number(total) : QStringLiteral("null");
        dm.H_Tabel_ins.execute(
            QString("update accounts_dep.h_tabel set d%1=%2 where %3").arg(date.day()).arg(value, where));
        return;
    }
    const int rows =
        dm.lookup("select count(w_id) as cnt from accounts_dep.h_tabel where " + where, "cnt").toInt();
    if (rows != 0)
        dm.H_Tabel_ins.execute(
            QString("update accounts_dep.h_tabel set d%1=%2 where %3").arg(date.day()).arg(total).arg(where));
    else
        dm.H_Tabel_ins.execute(insertStatement(key, date, total));
}
} // namespace

namespace timesheet_locks {
void lockMonthShared(Database &db, int month, int year) {
    db.run(QString("select pg_advisory_xact_lock_shared(%1, %2)").arg(kMonthLock).arg(year * 100 + month));
}
void lockMonthExclusive(Database &db, int month, int year) {
    db.run(QString("select pg_advisory_xact_lock(%1, %2)").arg(kMonthLock).arg(year * 100 + month));
}
} // namespace timesheet_locks

int shiftDayTotal(TDataModule6 &dm, Id worker, int shift, const QDate &date) {
    return dm
        .lookup(QString("select sum(time) as tim from accounts_dep.smena where w_id=%1 and smena=%2 and "
                        "data=to_date('%3', 'DD.MM.YYYY') group by w_id, smena, data")
                    .arg(worker)
                    .arg(shift)
                    .arg(sqlDate(date)),
                "tim")
        .toInt();
}

int householdDayTotal(TDataModule6 &dm, Id worker, int type, int night, const QDate &date) {
    return dm
        .lookup(QString("select sum(cnt) as tim from accounts_dep.fatigue where id_p=%1 and id_o=%2 and "
                        "i_night=%3 and d_date=to_date('%4', 'DD.MM.YYYY')")
                    .arg(worker)
                    .arg(type)
                    .arg(night)
                    .arg(sqlDate(date)),
                "tim")
        .toInt();
}

int dayTotal(TDataModule6 &dm, const TimesheetKey &key, const QDate &date) {
    return key.isHousehold() ? householdDayTotal(dm, key.worker, key.type, key.night, date)
                             : shiftDayTotal(dm, key.worker, key.shift, date);
}

// Runs work inside the caller's transaction, or in one of its own: the key locks last until its end.
template <class F> void inTransaction(Database &db, F work) {
    if (db.inTransaction()) {
        work();
        return;
    }
    Transaction tx(db);
    work();
    tx.commit();
}

void StoreDayHours(TDataModule6 &dm, const TimesheetKey &key, const QDate &date, int total,
                   DayCellWrite how) {
    inTransaction(dm.ADO_DB, [&] { store(dm, key, date, total, how); });
}

void RewriteDayCell(TDataModule6 &dm, const TimesheetKey &key, const QDate &date, DayCellWrite how) {
    inTransaction(dm.ADO_DB, [&] {
        // Locked before summing, so that the total written is the one the key holds (advisory
        // locks of one session nest: store takes it again).
        lockKey(dm.ADO_DB, key, date);
        store(dm, key, date, dayTotal(dm, key, date), how);
    });
}
