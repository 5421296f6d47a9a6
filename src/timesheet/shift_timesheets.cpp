#include "timesheet/shift_timesheets.h"

#include "ui/data_module.h"

#include <QStringList>

QString shiftTimesheetSql(int n) {
    QStringList terms;
    for (int k = 1; k <= 31; ++k)
        terms << QString("coalesce(d%1,0)").arg(k);
    const QString s = "(" + terms.join('+') + ")";
    return QStringList{
        "select person.s_caption fio, ",
        s + " as summ, ",
        "case when " + s + "=0 then 0 else\n(sum(s.cena*(kol_vo-brak))/" + s +
            ") end ::numeric(10,2) as average_price, sum(s.cena*(kol_vo-brak))::numeric(10,2) as cena_all,",
        "h_tabel.*",
        "from accounts_dep.h_tabel, cmn_contractor.person, accounts_dep.smena s where ",
        QString("h_tabel.w_id=accounts_dep.code_as_id(person.s_code) and h_tabel.smena=%1 and month=:mnth "
                "and s.w_id = "
                "h_tabel.w_id "
                "and")
            .arg(n),
        "h_tabel.year=:yea and s.data >=:date1 and s.data <:date2",
        "group by person.s_caption,h_tabel.w_id,h_tabel.month,h_tabel.year,h_tabel.smena,h_tabel.id ",
        "order by fio",
    }
        .join('\n');
}

void prepareShiftTimesheets(TDataModule6 &dm) {
    Dataset *timesheets[] = {&dm.H_Tabel_1, &dm.H_Tabel_2, &dm.H_Tabel_3};
    for (int n = 1; n <= 3; ++n)
        timesheets[n - 1]->setSql({shiftTimesheetSql(n)});
}
