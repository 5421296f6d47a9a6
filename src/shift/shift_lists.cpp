#include "shift/shift_lists.h"

#include "core/row_version.h"
#include "ui/data_module.h"

#include <QDate>
#include <QStringList>

QString shiftListSql(int n) {
    const QString cond = n == 1 ? "ok!=:ok" : "ok<>:ok";
    const QString order = n == 1 ? "fio, izdel.marka, vid_oper.vid, oper.naimen, color" : "fio";
    return QStringList{
        "select smena.id, " + rowVersionColumn("smena") +
            ", smena.data, smena.smena, smena.i_id, smena.o_id, "
            "smena.w_id, ",
        "smena.cena,person.s_caption fio, izdel.marka, vid_oper.vid, (SELECT (CASE naimen WHEN 0 THEN "
        "'Готовая продукция' ELSE 'Заготовки' END)) as nmn, oper.naimen,  smena.brak, smena.kol_vo::numeric,",
        "round((kol_vo-brak)*smena.cena::numeric, 2) as summa, smena.prize, color,time, smena.ok, vvod, "
        "smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use, smena.id_cons_use",
        "from cmn_contractor.person person, accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,"
        "accounts_dep.vid_oper ",
        "where smena.i_id=izdel.id and smena.o_id=oper.id and (w_id=person.id or "
        "accounts_dep.code_as_id(s_code)=w_id) and ",
        QString("oper.vid=vid_oper.id and smena.smena=%1 and smena.data=:data and %2 order by ")
            .arg(n)
            .arg(cond),
        order,
    }
        .join('\n');
}

void prepareShiftLists(TDataModule6 &dm) {
    for (int n = 1; n <= 4; ++n) {
        Dataset &list = dm.shiftQuery(n);
        list.setSql({shiftListSql(n)});
        list.setParam("data", QDate());
        list.setParam("ok", QString());
    }
}
