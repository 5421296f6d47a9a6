#include "support/fixtures.h"

#include "ui/data_module.h"
#include "ui/forms.h"

namespace fixtures {

static Database &db() {
    return forms().DataModule6->ADO_DB;
}

QVariant scalar(const QString &sql, const SqlParams &params) {
    QSqlQuery q = db().run(sql, params);
    return q.next() ? q.value(0) : QVariant();
}

void exec(const QString &sql) {
    db().run(sql);
}

qint64 serverProcessOf(Database &connection) {
    QSqlQuery pid = connection.run("select pg_backend_pid()");
    const qint64 backend = pid.next() ? pid.value(0).toLongLong() : 0;
    pid.finish();
    return backend;
}

void endServerProcess(qint64 backend) {
    exec(QString("select pg_terminate_backend(%1)").arg(backend));
}

static qint64 insert(const QString &sql, const SqlParams &params) {
    QSqlQuery q = db().run(sql + " returning id", params);
    q.next();
    return q.value(0).toLongLong();
}

int worker(const QString &fio, const QString &position) {
    return int(insert("insert into accounts_dep.person(fio, s_staffpos_hl) values (:fio, :pos)",
                      {{"fio", fio}, {"pos", position}}));
}

qint64 group(const QString &caption) {
    return insert("insert into cmn_classifier.item(s_caption, id_level) values (:c, 2)", {{"c", caption}});
}

qint64 product(const QString &mark, qint64 groupId) {
    return insert(
        "insert into cmn_gds_and_srv.gds_and_srv(s_caption, s_description, id_msm_bs, massa, id_class_item) "
        "values (:m, '', 6, 1, :g)",
        {{"m", mark}, {"g", groupId ? QVariant(groupId) : QVariant()}});
}

int operationType(const QString &name) {
    return int(insert("insert into accounts_dep.vid_oper(vid) values (:v)", {{"v", name}}));
}

int priceRow(qint64 productId, int typeId, int kind, double price) {
    const int id =
        int(insert("insert into accounts_dep.oper(i_id, vid, naimen, cena_new) values (:i, :v, :n, 0)",
                   {{"i", productId}, {"v", typeId}, {"n", kind}}));
    insert("insert into accounts_dep.norm(o_id, price, norma, prize) values (:o, :p, 1, 0)",
           {{"o", id}, {"p", price}});
    return id;
}

int record(const Record &r) {
    return int(insert(
        "insert into accounts_dep.smena(data, smena, w_id, i_id, o_id, cena, kol_vo, brak, color, time, ok, "
        "vvod, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) "
        "select :data, :smena, :w, o.i_id, o.id, :cena, :q, :b, :c, :t, :ok, :vvod, 0, 0, 0, 0, 0, 0 "
        "from accounts_dep.oper o where o.id = :o",
        {{"data", r.date},
         {"smena", r.shift},
         {"w", r.worker},
         {"cena", r.price},
         {"q", r.quantity},
         {"b", r.defects},
         {"c", r.color},
         {"t", r.hours},
         {"ok", r.ok.isNull() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(r.ok)},
         {"vvod", r.date},
         {"o", r.priceRow}}));
}

int entry(const Entry &e) {
    return int(
        insert("insert into accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, "
               "price, i_holiday, i_night) values (:g, :t, :w, :d, :m, :y, 1, :c, :p, :h, :n)",
               {{"g", e.group},
                {"t", e.type},
                {"w", e.worker},
                {"d", e.date},
                {"m", e.date.month()},
                {"y", e.date.year()},
                {"c", e.hours},
                {"p", e.price},
                {"h", e.holiday},
                {"n", e.night}}));
}

QVariant dayCell(int worker, int shift, const QDate &date) {
    return scalar(
        QString("select d%1 from accounts_dep.h_tabel where w_id=%2 and smena=%3 and month=%4 and year=%5")
            .arg(date.day())
            .arg(worker)
            .arg(shift)
            .arg(date.month())
            .arg(date.year()));
}

} // namespace fixtures
