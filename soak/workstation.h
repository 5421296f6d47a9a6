#pragma once
// One workstation of the load run: the program's own windows, on a connection of their own,
// driven the way a foreman and a clerk drive them (the same calls the buttons make), with every
// action and the program's answer written to the workstation's log.
#include "soak_log.h"
#include "soak_plan.h"

#include <QFile>
#include <QRandomGenerator>
#include <functional>

class Dataset;

namespace soak {

class Workstation {
public:
    Workstation(const Plan &plan, int index);
    // Logs in and works until the plan's end or its count of actions; false when the program
    // did not start.
    bool run();

private:
    bool start();
    void act();
    // Runs one action through the program's error handler and logs what the program said.
    // body returns false when there was nothing to act on (an empty list): nothing is logged.
    void perform(const QString &op, const std::function<bool(Action &)> &body);
    bool onMonthSchedule();

    bool addShiftRecord(Action &a);
    bool changeShiftRecord(Action &a);
    bool deleteShiftRecord(Action &a);
    bool acceptShiftRecord(Action &a);
    bool addHouseholdEntry(Action &a);
    bool changeHouseholdEntry(Action &a);
    bool deleteHouseholdEntry(Action &a);
    bool averagePiece(Action &a);
    bool rebuild(Action &a, bool household);

    // The main window and the household list on a day the workstation works on.
    QDate pickDay();
    void showShiftDay(const QDate &day, int shift);
    void showHouseholdDay(const QDate &day);
    // A random record (entry) of a random day as the list shows it, into the action; false when
    // the list is empty.
    bool pickShiftRecord(Action &a);
    bool pickHouseholdEntry(Action &a);
    // Moves a list to a random row and returns it as read; empty when the list is empty.
    QJsonObject pickRow(Dataset &list, const QStringList &fields);

    const Plan &plan_;
    int index_;
    QString name_, login_;
    QRandomGenerator rng_;
    QFile log_;
    int seq_ = 0;
    bool closed_ = false, reopened_ = false;
};

// The fingerprint of a month's records, entries and timesheet rows, to show that a closed month
// did not change.
QString monthFingerprint(const QDate &month);
// The id of the newest change history entry.
qint64 lastHistoryId();

} // namespace soak
