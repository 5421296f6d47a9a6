#pragma once
// The faults of the load run, from a connection of the coordinator's own: a workstation's server
// process ended in the middle of its transaction (as a dropped link or an administrator ends it),
// and one restart of the whole server.
#include <QList>
#include <QRandomGenerator>
#include <QString>

class Database;

namespace soak {

struct Termination {
    qint64 atMs = 0;
    qint64 pid = 0;
    QString workstation; // the application name of the ended session
    QString state;       // what it was doing: "idle in transaction", "active"
};

struct Restart {
    qint64 startMs = 0, endMs = 0;
    bool ok = false;
};

class FaultInjector {
public:
    FaultInjector(Database &db, quint32 seed, QString restartCommand);
    // Ends one workstation session that is inside a transaction (waiting a little for one);
    // false when none was found.
    bool terminateOne();
    // Runs the cluster's own restart and waits for it.
    void restartServer();

    QList<Termination> terminations;
    QList<Restart> restarts;

private:
    Database &db_;
    QRandomGenerator rng_;
    QString restartCommand_;
};

} // namespace soak
