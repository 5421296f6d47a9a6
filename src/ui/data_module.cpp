#include "ui/data_module.h"

#include "ui/seams.h"

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
    // The day sheet's shift lists and the shift timesheets get their statements from their own
    // folders (prepareStatements at start-up).
}

TDataModule6::~TDataModule6() = default;

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
