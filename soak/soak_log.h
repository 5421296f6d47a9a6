#pragma once
// What one workstation of the load run did, one JSON line per action: the operation, the row it
// acted on as its list showed it, the values it wrote, and what the program told it.
#include <QJsonObject>
#include <QList>
#include <QString>

namespace soak {

struct Action {
    int workstation = 0;
    int seq = 0;
    qint64 startedMs = 0; // wall clock, milliseconds since the epoch
    int durationMs = 0;
    // "shift.add", "shift.change", "shift.delete", "shift.accept", "household.add",
    // "household.change", "household.delete", "average_piece", "rebuild.shift",
    // "rebuild.household", "month.close", "month.reopen"
    QString op;
    // "saved", "stale", "closed", "duplicate", "refused" (the program's own input checks) or
    // "failed" (a database error: a dropped connection, a restart) or "unknown" (the connection
    // dropped while the server committed, and the server could not be asked afterwards)
    QString outcome;
    QString message;
    qint64 id = 0;     // the row acted on (changes, deletes, acceptances)
    QJsonObject read;  // that row as the workstation's list showed it
    QJsonObject wrote; // the values written (adds and changes)
    QJsonObject extra; // month and fingerprints of a close or reopen, a rebuild's month

    bool saved() const { return outcome == QLatin1String("saved"); }
    // One row written through the change history (adds, changes, deletes, acceptances).
    bool isRowWrite() const;
    bool isSave() const; // what the user calls a save: "Запись" of an add or a change
};

// What the program's message (empty: none) says about the action.
QString outcomeOf(const QString &message);

QJsonObject toJson(const Action &a);
Action actionFromJson(const QJsonObject &o);
// Every line of a log; a half-written last line (a workstation killed mid-write) is skipped.
QList<Action> readLog(const QString &path);

} // namespace soak
