#include "core/data_module.h"

#include "core/row_version.h"
#include "core/seams.h"

TDataModule6::TDataModule6(QObject *parent, const QString &connectionName)
    : QObject(parent), ADO_DB(connectionName), Workers(ADO_DB, "Workers"), Izdel(ADO_DB, "Izdel"),
      Vid_oper(ADO_DB, "Vid_oper"), Oper(ADO_DB, "Oper"), Smena1(ADO_DB, "Smena1"), Smena2(ADO_DB, "Smena2"),
      Smena3(ADO_DB, "Smena3"), Smena4(ADO_DB, "Smena4"), H_Tabel_1(ADO_DB, "H_Tabel_1"),
      H_Tabel_2(ADO_DB, "H_Tabel_2"), H_Tabel_3(ADO_DB, "H_Tabel_3"), Control(ADO_DB, "Control"),
      SQL_exec(ADO_DB, "SQL_exec"), DelSmena(ADO_DB, "DelSmena"), H_Tabel_ins(ADO_DB, "H_Tabel_ins"),
      Oper_ins(ADO_DB, "Oper_ins"), Oper_ed(ADO_DB, "Oper_ed"),
      Oper_del(ADO_DB, "Oper_del", "delete from accounts_dep.oper where id=:id"),
      portioned_(connectionName + "_portioned") {
    setObjectName("DataModule6");
    Workers.setSql({"select * from accounts_dep.person order by fio"});
    Izdel.setSql({"select *  from accounts_dep.IZDEL order by marka"});
    Vid_oper.setSql({"select * from accounts_dep.VID_OPER order by vid"});
    Oper.setSql({
        "select izdel.MARKA, vid_oper.VID, oper.NAIMEN, (SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' "
        "ELSE "
        "'Заготовки' END)) as nmn,",
        "count(o_id) norma, min(price)::numeric cena,",
        "oper.id, oper.i_id, oper.VID as oper_vid from "
        "accounts_dep.norm,accounts_dep.OPER,accounts_dep.IZDEL,"
        "accounts_dep.VID_OPER where OPER.i_id=IZDEL.id and norm.o_id=oper.id",
        "and oper.vid=vid_oper.id group by izdel.MARKA, vid_oper.VID, oper.NAIMEN, oper.id, oper.i_id, "
        "oper.VID "
        "order by izdel.marka, vid_oper.vid, oper.naimen",
    });
    Dataset *shifts[] = {&Smena1, &Smena2, &Smena3, &Smena4};
    for (int n = 1; n <= 4; ++n) {
        shifts[n - 1]->setSql({shiftListSql(n)});
        shifts[n - 1]->setParam("data", QDate());
        shifts[n - 1]->setParam("ok", QString());
    }
    Dataset *timesheets[] = {&H_Tabel_1, &H_Tabel_2, &H_Tabel_3};
    for (int n = 1; n <= 3; ++n)
        timesheets[n - 1]->setSql({shiftTimesheetSql(n)});
}

TDataModule6::~TDataModule6() = default;

QString TDataModule6::shiftListSql(int n) {
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

QString TDataModule6::shiftTimesheetSql(int n) {
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

QString TDataModule6::portionedConnectionString() const {
    QString wanted = reportsConnectionString.isEmpty() ? ADO_DB.connectionString() : reportsConnectionString;
    return wanted.replace("UseDeclareFetch=0", "UseDeclareFetch=1").replace("Fetch=100;", "Fetch=2000;");
}

Database &TDataModule6::portionedConnection() {
    const QString wanted = portionedConnectionString();
    if (!portioned_.isOpen() || portioned_.connectionString() != wanted)
        portioned_.connect(wanted);
    return portioned_;
}

Dataset &TDataModule6::shiftQuery(int shiftNumber) {
    switch (shiftNumber) {
    case 2:
        return Smena2;
    case 3:
        return Smena3;
    case 4:
        return Smena4;
    default:
        return Smena1;
    }
}

QVariant TDataModule6::lookup(const QString &statement, const QString &field, const SqlParams &params) {
    Control.close();
    Control.clearSql();
    Control.addSql(statement);
    Control.clearParams();
    for (const auto &p : params)
        Control.setParam(p.first, p.second);
    Control.open();
    const QVariant v = Control.isEmpty() ? QVariant() : Control.value(field);
    Control.close();
    return v;
}

bool TDataModule6::CheckDuplicate(const QString &statement, const QString &message, const SqlParams &params) {
    const int cnt = lookup(statement, "cnt", params).toInt();
    if (cnt > 0) {
        showError(message, QStringLiteral("Ошибка"));
        return true;
    }
    return false;
}

QString TDataModule6::ReplaceDecimalSeparator(const QString &text) const {
    QString result = text;
    qsizetype at = result.indexOf(',');
    if (at < 0)
        at = result.indexOf('.');
    if (at >= 0)
        result.replace(at, 1, Delimiter);
    return result;
}
