#pragma once
// The load run's plan, written by the coordinator and read by every workstation: the database,
// the workshop the workstations share (a small one, so that they meet on the same rows), the days
// they work on, the bounds of the run and when the month is closed and reopened.
#include "core/id.h"

#include <QDate>
#include <QList>
#include <QString>

namespace soak {

struct PriceRow {
    Id id = 0;
    Id product = 0;
    double listPrice = 0;
    QString text; // as the price list shows the pick: "mark; operation; kind"
};

struct Named {
    Id id = 0;
    QString name;
};

struct Plan {
    QString database;
    QString host = QStringLiteral("127.0.0.1");
    QString logDir;
    int workstations = 4;
    quint32 seed = 1;
    QDate today;
    qint64 startMs = 0;                   // when all work: every workstation is up (ms, epoch)
    qint64 endMs = 0;                     // no action starts after this
    int maxActions = 0;                   // per workstation; 0: no bound but the time
    int thinkMs = 150;                    // a clerk's pause between actions, on average
    bool personal = false;                // each workstation logs in with a personal account
    qint64 closeAtMs = 0, reopenAtMs = 0; // workstation 0 closes last month, then reopens it
    qint64 historyStart = 0;              // change history ids above this one belong to the run

    QList<Named> workers;
    QList<Named> groups;
    QList<PriceRow> priceRows;
    QList<QDate> days; // the current days everyone works on

    QDate lastMonth() const { return QDate(today.year(), today.month(), 1).addMonths(-1); }
    QString logPath(int workstation) const;
    void save(const QString &path) const;
    static Plan load(const QString &path);
};

// A workstation's name in the database (its piecework.workstation and application name) and its
// login: the two administrators' logins take turns.
QString workstationName(int index);
QString workstationLogin(int index);
// With personal accounts: the workstation's own account (an administrator's) and its password.
QString workstationAccount(int index);
QString workstationPassword(int index);

// Fills the run's database (already made from the template) with the small workshop and a few
// records and entries of last month and this one; records the workshop's ids in the plan.
void seedWorkshop(Plan &plan);

} // namespace soak
