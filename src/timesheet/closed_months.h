#pragma once
// Months whose wages are paid. Once the office closes a month, the database refuses every write
// of its shift records, household entries and timesheet rows (its own triggers, whichever
// workstation or program writes). The windows ask here before an action as well, so that the user
// hears it before filling in an editor or starting a rebuild.
#include <QDate>
#include <QDateTime>
#include <QString>

class Database;

struct MonthClosing {
    bool closed = false;
    QDateTime at;
    QString by;
};

MonthClosing monthClosing(Database &db, int month, int year);
// The first day of the latest closed month; null when no month is closed.
QDate latestClosedMonth(Database &db);

// Throws the closed-month refusal (kClosedMonthMessage) when the date's month is closed.
void refuseIfMonthClosed(Database &db, const QDate &date);
void refuseIfMonthClosed(Database &db, int month, int year);

// Closing waits for the month's writes under way (they hold the month's lock shared) and takes
// effect for every workstation at its next write. Closing a closed month or opening an open one
// changes nothing.
void closeMonth(Database &db, int month, int year, const QString &closedBy);
void reopenMonth(Database &db, int month, int year);
