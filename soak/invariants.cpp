#include "invariants.h"

#include "core/roles.h"
#include "timesheet/month_rebuild.h"
#include "ui/data_module.h"

#include <QHash>
#include <QJsonDocument>
#include <QSqlQuery>
#include <cmath>

namespace soak {

namespace {

QJsonObject jsonRow(const QVariant &text) {
    return text.isNull() ? QJsonObject() : QJsonDocument::fromJson(text.toString().toUtf8()).object();
}

QString plain(const QJsonValue &v) {
    if (v.isDouble())
        return QString::number(v.toDouble(), 'g', 17);
    return v.toString().trimmed();
}

// Values as the list showed them (text) and as the history keeps them (JSON): numbers compare as
// numbers, the rest as trimmed text.
bool sameValue(const QJsonValue &a, const QJsonValue &b) {
    if (a.isNull() || a.isUndefined() || b.isNull() || b.isUndefined())
        return (a.isNull() || a.isUndefined()) && (b.isNull() || b.isUndefined());
    bool okA = false, okB = false;
    const double x = plain(a).toDouble(&okA), y = plain(b).toDouble(&okB);
    if (okA && okB)
        return std::fabs(x - y) < 1e-9;
    return plain(a) == plain(b);
}

// The fields of `expected` whose values differ in `row`, as "field: expected → found".
QStringList differences(const QJsonObject &expected, const QJsonObject &row) {
    QStringList out;
    for (auto it = expected.begin(); it != expected.end(); ++it)
        if (!sameValue(it.value(), row.value(it.key())))
            out << QString("%1: %2 → %3").arg(it.key(), plain(it.value()), plain(row.value(it.key())));
    return out;
}

struct HistoryEntry {
    qint64 id = 0;
    QString table, action, role, workstation;
    qint64 recordId = 0;
    QString dbUser;
    QDate recordDate;
    QJsonObject before, after;
    bool matched = false;
};

QList<HistoryEntry> historySince(TDataModule6 &dm, qint64 start) {
    QSqlQuery q = dm.ADO_DB.run(
        QString(
            "select id, table_name, action, coalesce(login_role, ''), coalesce(workstation, ''), record_id, "
            "record_date, before::text, after::text, db_user from accounts_dep.change_history where id > %1 "
            "order by id")
            .arg(start));
    QList<HistoryEntry> list;
    while (q.next())
        list.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                     q.value(3).toString(), q.value(4).toString(), q.value(5).toLongLong(),
                     q.value(9).toString(), q.value(6).toDate(), jsonRow(q.value(7)), jsonRow(q.value(8))});
    dm.ADO_DB.checkRead(q);
    return list;
}

QString tableOf(const Action &a) {
    return a.op.startsWith(QLatin1String("shift.")) ? QStringLiteral("smena") : QStringLiteral("fatigue");
}

bool actionFits(const Action &a, const HistoryEntry &e) {
    if (e.table != tableOf(a))
        return false;
    if (a.op.endsWith(QLatin1String(".add")))
        return e.action == QLatin1String("insert") && differences(a.wrote, e.after).isEmpty();
    if (e.recordId != a.id)
        return false;
    if (a.op.endsWith(QLatin1String(".change")))
        return e.action == QLatin1String("update");
    if (a.op.endsWith(QLatin1String(".delete")))
        return e.action == QLatin1String("delete");
    return e.action == QLatin1String("accept") || e.action == QLatin1String("unaccept");
}

// An average-piece entry priced again: only its price changed.
bool isRepricing(const HistoryEntry &e) {
    if (e.table != QLatin1String("fatigue") || e.action != QLatin1String("update") ||
        e.after.value("id_o").toInt() != 7778)
        return false;
    QJsonObject b = e.before, a = e.after;
    b.remove("price");
    a.remove("price");
    return a == b;
}

QString describe(const Action &a) {
    return QString("ws-%1 #%2 %3%4")
        .arg(a.workstation, 2, 10, QLatin1Char('0'))
        .arg(a.seq)
        .arg(a.op, a.id ? QString(" of %1").arg(a.id) : QString());
}

QString describe(const HistoryEntry &e) {
    return QString("history entry %1 (%2 %3 of %4 %5 by %6)")
        .arg(e.id)
        .arg(e.action, e.table)
        .arg(e.recordId)
        .arg(e.recordDate.toString("dd.MM.yyyy"), e.workstation);
}

QStringList rowsOf(QSqlQuery q, int columns) {
    QStringList rows;
    while (q.next()) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << q.value(c).toString();
        rows << cells.join(' ');
    }
    return rows;
}

} // namespace

void keepStartingRows(TDataModule6 &dm) {
    dm.ADO_DB.run("drop table if exists public.soak_starting_rows");
    dm.ADO_DB.run(
        "create table public.soak_starting_rows as select 'smena'::text tbl, id, to_jsonb(s) r from "
        "accounts_dep.smena s union all select 'fatigue', id, to_jsonb(f) from accounts_dep.fatigue f");
}

Invariant nothingLeftBehind(TDataModule6 &dm) {
    Invariant inv{"nothing left behind (transactions, locks)", {}};
    for (const QString &s : rowsOf(
             dm.ADO_DB.run("select application_name, pid, state, coalesce(xact_start::text, '-') from "
                           "pg_stat_activity where datname = current_database() and pid <> pg_backend_pid() "
                           "and (state <> 'idle' or xact_start is not null or backend_xid is not null)"),
             4))
        inv.violations << "a session is not idle: " + s;
    for (const QString &s :
         rowsOf(dm.ADO_DB.run(
                    "select coalesce(a.application_name, '?'), l.pid, l.locktype, l.mode, l.granted from "
                    "pg_locks l left join pg_stat_activity a on a.pid = l.pid where l.pid <> "
                    "pg_backend_pid() and (l.locktype = 'advisory' or a.datname = current_database())"),
                5))
        inv.violations << "a lock is held: " + s;
    return inv;
}

Invariant dayCellsMatchRebuild(TDataModule6 &dm, const QList<QDate> &months) {
    Invariant inv{"day cells equal a rebuild of their month", {}};
    QStringList monthList, days, total;
    for (const QDate &m : months)
        monthList << QString("(%1, %2)").arg(m.month()).arg(m.year());
    for (int d = 1; d <= 31; ++d) {
        days << QString("coalesce(d%1, 0) d%1").arg(d);
        total << QString("coalesce(d%1, 0)").arg(d);
    }
    // A row with no hours and a missing row are the same timesheet.
    auto normal = [&](const QString &table) {
        return QString("select w_id, month, year, coalesce(smena, 0) smena, coalesce(i_type, 0) i_type, "
                       "coalesce(i_night, 0) i_night, %1 from %2 where (month, year) in (%3) and %4 <> 0")
            .arg(days.join(", "), table, monthList.join(", "), total.join(" + "));
    };
    dm.ADO_DB.run("drop table if exists public.soak_cells_before");
    dm.ADO_DB.run("create table public.soak_cells_before as " + normal("accounts_dep.h_tabel"));
    for (const QDate &m : months) {
        RebuildShiftRows(dm, m.month(), m.year(), nullptr);
        RebuildHouseholdRows(dm, m.month(), m.year(), nullptr);
    }
    const QString after = normal("accounts_dep.h_tabel");
    const QString before = "select * from public.soak_cells_before";
    const QStringList written = rowsOf(dm.ADO_DB.run(QString("(%1) except all (%2)").arg(before, after)), 37);
    const QStringList rebuilt = rowsOf(dm.ADO_DB.run(QString("(%1) except all (%2)").arg(after, before)), 37);
    for (const QString &r : written)
        inv.violations << "the run left (w_id month year shift type night d1..d31): " + r;
    for (const QString &r : rebuilt)
        inv.violations << "a rebuild gives instead: " + r;
    return inv;
}

Invariant historyMatchesSaves(TDataModule6 &dm, const Plan &plan, const QList<QList<Action>> &logs) {
    Invariant inv{"one history entry per saved write, none for a failed one, none over a newer row", {}};
    QList<HistoryEntry> history = historySince(dm, plan.historyStart);
    QHash<QString, QList<HistoryEntry *>> byWorkstation;
    for (HistoryEntry &e : history) {
        if (!e.workstation.startsWith(QLatin1String("soak-ws-")))
            inv.violations << describe(e) + ": written by no workstation of the run";
        byWorkstation[e.workstation].append(&e);
    }
    for (const QList<Action> &log : logs) {
        if (log.isEmpty())
            continue;
        const int ws = log.first().workstation;
        const QList<HistoryEntry *> &entries = byWorkstation.value(workstationName(ws));
        qsizetype i = 0;
        for (const Action &a : log) {
            // A write whose fate the program could not learn may be there or not.
            const bool unknown = a.outcome == QLatin1String("unknown");
            if (!a.saved() && !unknown)
                continue;
            if (a.op == QLatin1String("average_piece")) {
                while (i < entries.size() && isRepricing(*entries[i]))
                    entries[i++]->matched = true;
                continue;
            }
            if (!a.isRowWrite())
                continue;
            qsizetype j = i;
            while (j < entries.size() && !actionFits(a, *entries[j]))
                ++j;
            if (j == entries.size()) {
                if (!unknown)
                    inv.violations << describe(a) + ": told saved, but the history has no such write";
                continue;
            }
            HistoryEntry &e = *entries[j];
            e.matched = true;
            i = j + 1;
            if (e.role != roleName(Role::Administrator))
                inv.violations << describe(e) + ": role " + e.role + ", the workstation's is " +
                                      roleName(Role::Administrator);
            // With personal accounts the database itself names the person who wrote.
            if (plan.personal && e.dbUser != workstationAccount(ws))
                inv.violations << describe(e) + ": written as " + e.dbUser +
                                      ", the workstation's account is " + workstationAccount(ws);
            if (!a.read.isEmpty()) {
                const QStringList lost = differences(a.read, e.before);
                if (!lost.isEmpty())
                    inv.violations << describe(a) + ": saved over a row that was not the one read (" +
                                          lost.join(", ") + ")";
            }
            if (a.op.endsWith(QLatin1String(".change"))) {
                const QStringList wrong = differences(a.wrote, e.after);
                if (!wrong.isEmpty())
                    inv.violations << describe(a) + ": saved other values (" + wrong.join(", ") + ")";
            }
        }
        for (const HistoryEntry *e : entries)
            if (!e->matched)
                inv.violations << describe(*e) + ": no saved write of its workstation explains it";
    }
    return inv;
}

Invariant rowsFollowTheirHistory(TDataModule6 &dm, const Plan &plan) {
    Invariant inv{"every row follows its history from the start to now", {}};
    auto rows = [&](const QString &sql) {
        QHash<QString, QJsonObject> map;
        QSqlQuery q = dm.ADO_DB.run(sql);
        while (q.next())
            map.insert(q.value(0).toString() + "/" + q.value(1).toString(), jsonRow(q.value(2)));
        dm.ADO_DB.checkRead(q);
        return map;
    };
    const QHash<QString, QJsonObject> starting =
        rows("select tbl, id::bigint, r::text from public.soak_starting_rows");
    const QHash<QString, QJsonObject> now =
        rows("select 'smena', id::bigint, to_jsonb(s)::text from accounts_dep.smena s union all select "
             "'fatigue', id::bigint, to_jsonb(f)::text from accounts_dep.fatigue f");
    QHash<QString, QList<HistoryEntry>> chains;
    for (const HistoryEntry &e : historySince(dm, plan.historyStart))
        chains[e.table + "/" + QString::number(e.recordId)].append(e);
    for (auto it = chains.begin(); it != chains.end(); ++it) {
        QJsonObject row = starting.value(it.key());
        for (const HistoryEntry &e : it.value()) {
            if (e.before != row)
                inv.violations << describe(e) +
                                      ": its \"before\" is not the row as the previous write left it";
            row = e.after;
        }
        if (row != now.value(it.key()))
            inv.violations << QString("%1 now differs from its last history entry").arg(it.key());
    }
    for (auto it = now.begin(); it != now.end(); ++it)
        if (!chains.contains(it.key()) && starting.value(it.key()) != it.value())
            inv.violations << QString("%1 changed without a history entry").arg(it.key());
    for (auto it = starting.begin(); it != starting.end(); ++it)
        if (!chains.contains(it.key()) && !now.contains(it.key()))
            inv.violations << QString("%1 vanished without a history entry").arg(it.key());
    return inv;
}

Invariant closedMonthUntouched(TDataModule6 &dm, const QList<Action> &closer) {
    Invariant inv{"nothing of a closed month changed while it was closed", {}};
    const Action *closed = nullptr;
    for (const Action &a : closer) {
        if (!a.saved())
            continue;
        if (a.op == QLatin1String("month.close")) {
            closed = &a;
        } else if (a.op == QLatin1String("month.reopen") && closed) {
            if (a.extra["fingerprint"] != closed->extra["fingerprint"])
                inv.violations << "the month " + a.extra["month"].toString() +
                                      " changed between its close and its reopening";
            const QDate month = QDate::fromString(a.extra["month"].toString() + "-01", Qt::ISODate);
            QSqlQuery q = dm.ADO_DB.run(
                QString(
                    "select id from accounts_dep.change_history where id > %1 and id <= %2 and record_date "
                    ">= '%3' and record_date < '%4'")
                    .arg(closed->extra["history_id"].toString(), a.extra["history_id"].toString(),
                         month.toString(Qt::ISODate), month.addMonths(1).toString(Qt::ISODate)));
            while (q.next())
                inv.violations << QString("history entry %1 was written while its month was closed")
                                      .arg(q.value(0).toLongLong());
            closed = nullptr;
        }
    }
    if (closed)
        inv.violations << "the month was closed and never reopened";
    return inv;
}

Invariant noRecordTwice(TDataModule6 &dm) {
    Invariant inv{"no shift record saved twice", {}};
    for (const QString &r :
         rowsOf(dm.ADO_DB.run("select w_id, i_id, o_id, data, smena, color, count(*) from "
                              "accounts_dep.smena group by 1, 2, 3, 4, 5, 6 having count(*) > 1"),
                7))
        inv.violations << "the same record (worker product operation date shift colour count): " + r;
    return inv;
}

} // namespace soak
