#include "support/literal_rebuild.h"

#include "ui/data_module.h"

#include <QDate>
#include <QSqlQuery>

namespace {
QVariant scalar(TDataModule6 &dm, const QString &sql) {
    QSqlQuery q = dm.ADO_DB.run(sql);
    return q.next() ? q.value(0) : QVariant();
}
} // namespace

void literalRebuild(TDataModule6 &dm, bool household, int month, int year) {
    const QString my = QString(" and month=%1 and year=%2").arg(month).arg(year);
    dm.ADO_DB.run(
        QString("delete from accounts_dep.h_tabel where %1").arg(household ? "smena=0" : "smena>0") + my);
    const int days = QDate(year, month, 1).daysInMonth();
    for (int d = 1; d <= days; ++d) {
        const QDate date(year, month, d);
        QSqlQuery dt = dm.ADO_DB.run(
            household ? " select f.id_p, f.id_o, f.i_night, sum(f.cnt) as tim from accounts_dep.fatigue f "
                        "where f.d_date =:data group by f.id_p, f.id_o, f.i_night order by id_p;"
                      : " select smena, w_id, sum(time) as tim from accounts_dep.smena where data=:data "
                        "group by smena,w_id;",
            {{"data", date}});
        QList<QStringList> rows;
        while (dt.next())
            rows << QStringList{dt.value(0).toString(), dt.value(1).toString(), dt.value(2).toString(),
                                household ? dt.value(3).toString() : QString()};
        for (const QStringList &r : rows) {
            if (household) {
                const QString key =
                    QString("w_id=%1 and i_type=%2 and i_night=%3").arg(r[0], r[1], r[2]) + my;
                if (scalar(dm, "select count(w_id) as cnt from accounts_dep.h_tabel h_tabel where " + key)
                        .toInt())
                    dm.ADO_DB.run(QString("update accounts_dep.h_tabel set d%1=%2 where ").arg(d).arg(r[3]) +
                                  key);
                else
                    dm.ADO_DB.run(
                        QString("insert into accounts_dep.h_tabel(i_type, w_id, i_night, month, year, d%1) "
                                "values(%2, %3, %4, %5, %6, %7)")
                            .arg(d)
                            .arg(r[1], r[0], r[2])
                            .arg(month)
                            .arg(year)
                            .arg(r[3]));
            } else {
                const QString key = QString("w_id=%1 and smena=%2").arg(r[1], r[0]) + my;
                if (scalar(dm, "select count(w_id) as cnt from accounts_dep.h_tabel h_tabel where " + key)
                        .toInt())
                    dm.ADO_DB.run(
                        QString("update accounts_dep.h_tabel set d%1='%2' where ").arg(d).arg(r[2]) + key);
                else
                    dm.ADO_DB.run(QString("insert into accounts_dep.h_tabel(smena, w_id, month, year, d%1) "
                                          "values(%2, %3, %4, %5, %6)")
                                      .arg(d)
                                      .arg(r[0], r[1])
                                      .arg(month)
                                      .arg(year)
                                      .arg(r[2]));
            }
        }
    }
}
