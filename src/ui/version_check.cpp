#include "ui/version_check.h"

#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/seams.h"

namespace {
VersionCheckHooks &hooks() {
    static VersionCheckHooks h;
    return h;
}

struct Stamp {
    int d = 0;
    int t = 0;
    bool older(int date, int time) const { return d < date || (d == date && t < time); }
    bool newer(int date, int time) const { return d > date || (d == date && t > time); }
};

Stamp readStamp(Database &db, QString *delim) {
    QSqlQuery q = db.run("select d, t, delim from accounts_dep.ver");
    Stamp s;
    if (q.next()) {
        s.d = q.value(0).toInt();
        s.t = q.value(1).toInt();
        if (delim)
            *delim = q.value(2).toString();
    } else if (delim) {
        delim->clear();
    }
    return s;
}
} // namespace

void setVersionCheckHooks(VersionCheckHooks h) {
    hooks() = std::move(h);
}

void CheckVersion() {
    // Once the end is on its way, a further check would only repeat the message.
    if (terminationRequested())
        return;
    TDataModule6 &dm = *forms().DataModule6;
    const int date = buildDate();
    const int time = buildTime();
    if (hooks().stampTaken)
        hooks().stampTaken(date, time);
    QString delim;
    const Stamp stored = readStamp(dm.ADO_DB, &delim);
    dm.Delimiter = delim;
    if (stored.older(date, time)) {
        const SqlParams p{{"d", date}, {"t", time}};
        QSqlQuery count = dm.ADO_DB.run("select count(*) from accounts_dep.ver");
        if (count.next() && count.value(0).toInt() == 0) {
            dm.ADO_DB.run("insert into accounts_dep.ver(d, t) values (:d, :t)", p);
        } else {
            // The condition keeps a newer stamp that another copy wrote meanwhile.
            dm.ADO_DB.run("update accounts_dep.ver set d=:d, t=:t where d<:d2 or (d=:d3 and t<:t2)",
                          {{"d", date}, {"t", time}, {"d2", date}, {"d3", date}, {"t2", time}});
        }
    }
    if (readStamp(dm.ADO_DB, nullptr).newer(date, time)) {
        if (hooks().newerFound)
            hooks().newerFound();
        showError(QStringLiteral("Версия программы не соответсвует БД! Запустите программу через 5 мин."),
                  QStringLiteral("Ошибка"));
        requestTermination();
    }
}
