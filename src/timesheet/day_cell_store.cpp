#include "timesheet/day_cell_store.h"

#include "core/data_module.h"
#include "core/formatting.h"

int shiftDayTotal(TDataModule6 &dm, Id workerId, int shift, const QDate &date) {
    return dm
        .lookup(QString("select sum(time) as tim from accounts_dep.smena where w_id=%1 and smena=%2 and "
                        "data=to_date('%3', 'DD.MM.YYYY') group by w_id, smena, data")
                    .arg(workerId)
                    .arg(shift)
                    .arg(sqlDate(date)),
                "tim")
        .toInt();
}

static QString shiftKey(Id workerId, int shift, const QDate &date) {
    return QString("w_id=%1 and smena=%2 and month=%3 and year=%4")
        .arg(workerId)
        .arg(shift)
        .arg(date.month())
        .arg(date.year());
}

void storeShiftDayHours(TDataModule6 &dm, Id workerId, int shift, const QDate &date, int total,
                        DayCellWrite how) {
    const QString key = shiftKey(workerId, shift, date);
    if (how == DayCellWrite::AfterDelete) {
        const QString value = total != 0 ? QString::number(total) : QStringLiteral("null");
        dm.H_Tabel_ins.execute(
            QString("update accounts_dep.h_tabel set d%1=%2 where %3").arg(date.day()).arg(value, key));
        return;
    }
    const int rows =
        dm.lookup("select count(w_id) as cnt from accounts_dep.h_tabel where " + key, "cnt").toInt();
    if (rows != 0)
        dm.H_Tabel_ins.execute(
            QString("update accounts_dep.h_tabel set d%1=%2 where %3").arg(date.day()).arg(total).arg(key));
    else
        dm.H_Tabel_ins.execute(
            QString("insert into accounts_dep.h_tabel(smena, w_id, month, year, d%1) values(%2, %3, %4, "
                    "%5, %6)")
                .arg(date.day())
                .arg(shift)
                .arg(workerId)
                .arg(date.month())
                .arg(date.year())
                .arg(total));
}
