#include "soak_plan.h"

#include "core/formatting.h"
#include "support/fixtures.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

namespace soak {

QString workstationName(int index) {
    return QString("soak-ws-%1").arg(index, 2, 10, QLatin1Char('0'));
}

QString workstationLogin(int index) {
    return index % 2 ? QStringLiteral("7093") : QStringLiteral("31620574");
}

QString workstationAccount(int index) {
    return QString("soak_ws_%1").arg(index, 2, 10, QLatin1Char('0'));
}

QString workstationPassword(int index) {
    return QString("пароль-места-%1").arg(index);
}

QString Plan::logPath(int workstation) const {
    return QString("%1/ws-%2.log").arg(logDir).arg(workstation, 2, 10, QLatin1Char('0'));
}

static QJsonArray namedJson(const QList<Named> &list) {
    QJsonArray a;
    for (const Named &n : list)
        a.append(QJsonObject{{"id", QString::number(n.id)}, {"name", n.name}});
    return a;
}

static QList<Named> namedFrom(const QJsonArray &a) {
    QList<Named> list;
    for (const QJsonValue &v : a)
        list.append({v["id"].toString().toLongLong(), v["name"].toString()});
    return list;
}

void Plan::save(const QString &path) const {
    QJsonArray rows, dayList;
    for (const PriceRow &r : priceRows)
        rows.append(QJsonObject{{"id", QString::number(r.id)},
                                {"product", QString::number(r.product)},
                                {"price", r.listPrice},
                                {"text", r.text}});
    for (const QDate &d : days)
        dayList.append(d.toString(Qt::ISODate));
    const QJsonObject o{{"database", database},
                        {"host", host},
                        {"log_dir", logDir},
                        {"workstations", workstations},
                        {"seed", double(seed)},
                        {"today", today.toString(Qt::ISODate)},
                        {"start_ms", double(startMs)},
                        {"end_ms", double(endMs)},
                        {"max_actions", maxActions},
                        {"think_ms", thinkMs},
                        {"personal", personal},
                        {"close_at_ms", double(closeAtMs)},
                        {"reopen_at_ms", double(reopenAtMs)},
                        {"history_start", double(historyStart)},
                        {"workers", namedJson(workers)},
                        {"groups", namedJson(groups)},
                        {"price_rows", rows},
                        {"days", dayList}};
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(o).toJson()) < 0)
        qFatal("cannot write the plan %s", qPrintable(path));
}

Plan Plan::load(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read the plan %s", qPrintable(path));
    const QJsonObject o = QJsonDocument::fromJson(f.readAll()).object();
    Plan p;
    p.database = o["database"].toString();
    p.host = o["host"].toString();
    p.logDir = o["log_dir"].toString();
    p.workstations = o["workstations"].toInt();
    p.seed = quint32(o["seed"].toDouble());
    p.today = QDate::fromString(o["today"].toString(), Qt::ISODate);
    p.startMs = qint64(o["start_ms"].toDouble());
    p.endMs = qint64(o["end_ms"].toDouble());
    p.maxActions = o["max_actions"].toInt();
    p.thinkMs = o["think_ms"].toInt();
    p.personal = o["personal"].toBool();
    p.closeAtMs = qint64(o["close_at_ms"].toDouble());
    p.reopenAtMs = qint64(o["reopen_at_ms"].toDouble());
    p.historyStart = qint64(o["history_start"].toDouble());
    p.workers = namedFrom(o["workers"].toArray());
    p.groups = namedFrom(o["groups"].toArray());
    for (const QJsonValue &v : o["price_rows"].toArray())
        p.priceRows.append({v["id"].toString().toLongLong(), v["product"].toString().toLongLong(),
                            v["price"].toDouble(), v["text"].toString()});
    for (const QJsonValue &v : o["days"].toArray())
        p.days.append(QDate::fromString(v.toString(), Qt::ISODate));
    return p;
}

void seedWorkshop(Plan &plan) {
    QRandomGenerator rng(plan.seed);
    // Names the office really has: an apostrophe, a long one, two alike.
    const QStringList names{"Иванов И.И.",
                            "Петров П.П.",
                            "О'Нил Д.",
                            "Сидоров С.С.",
                            "Кузнецов К.К.",
                            "Смирнова А.А.",
                            "Попов П.А.",
                            "Волков В.В.",
                            "Иванов И.И.",
                            "Лебедев Л.Л.",
                            "Соколова-Оболенская Е.В.",
                            "Морозов М.М."};
    for (const QString &n : names)
        plan.workers.append({fixtures::worker(n), n});
    for (const QString &g : {QStringLiteral("Стеллажи"), QStringLiteral("Ящики")})
        plan.groups.append({fixtures::group(g), g});
    const QStringList operations{"Резка", "Сборка", "Сварка"};
    QList<int> types;
    for (const QString &o : operations)
        types << fixtures::operationType(o);
    for (int p = 0; p < 3; ++p) {
        const QString mark = QString("СТ-%1").arg(101 + p);
        const Id product = fixtures::product(mark, plan.groups[p % 2].id);
        for (int t = 0; t < 2; ++t) {
            const int type = (p + t) % 3;
            const double price = 5 + rng.bounded(2000) / 100.0 + 0.1234 * t;
            const int kind = t;
            plan.priceRows.append({fixtures::priceRow(product, types[type], kind, price), product, price,
                                   mark + "; " + operations[type] + "; " + productKindName(kind)});
        }
    }
    // The hourly prices of household work and of average-piece work.
    fixtures::priceRow(7777, 7777, 0, 150);
    fixtures::priceRow(7778, 7778, 0, 125);

    // Three working days up to today, and a few of last month's.
    for (QDate d = plan.today; plan.days.size() < 3; d = d.addDays(-1))
        if (!isWeekend(d) && d.month() == plan.today.month())
            plan.days.prepend(d);
    const QDate last = plan.lastMonth();
    QList<QDate> seedDays = plan.days;
    for (int k = 3; k <= 12; k += 3)
        seedDays.append(last.addDays(k));
    for (const QDate &d : seedDays) {
        for (int w = 0; w < plan.workers.size(); w += 2) {
            const PriceRow &row = plan.priceRows[rng.bounded(int(plan.priceRows.size()))];
            fixtures::Record r;
            r.worker = int(plan.workers[w].id);
            r.priceRow = int(row.id);
            r.date = d;
            r.shift = 1 + rng.bounded(2);
            r.quantity = 5 + rng.bounded(20);
            r.hours = 1 + rng.bounded(8);
            r.price = row.listPrice;
            fixtures::record(r);
        }
        for (int w = 1; w < plan.workers.size(); w += 3) {
            fixtures::Entry e;
            e.worker = plan.workers[w].id;
            e.group = plan.groups[w % 2].id;
            e.type = w % 2 ? 7777 : 7778;
            e.date = d;
            e.hours = 1 + rng.bounded(4);
            e.price = e.type == 7777 ? 150 : 0;
            fixtures::entry(e);
        }
    }
}

} // namespace soak
