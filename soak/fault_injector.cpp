#include "fault_injector.h"

#include "core/database.h"
#include "core/db_error.h"

#include <QDateTime>
#include <QProcess>
#include <QThread>

namespace soak {

FaultInjector::FaultInjector(Database &db, quint32 seed, QString restartCommand)
    : db_(db), rng_(seed ^ 0x5eedu), restartCommand_(std::move(restartCommand)) {}

bool FaultInjector::terminateOne() {
    // A session is inside a transaction from its first statement after "begin" until its end;
    // the workstations' transactions are short, so the choice is retried for up to half a second.
    for (int attempt = 0; attempt < 100; ++attempt) {
        try {
            QSqlQuery q = db_.run("select pid, application_name, state from pg_stat_activity where "
                                  "datname = current_database() and pid <> pg_backend_pid() and "
                                  "application_name like 'soak-ws-%' and xact_start is not null and "
                                  "state in ('active', 'idle in transaction')");
            QList<Termination> candidates;
            while (q.next())
                candidates.append({0, q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString()});
            db_.checkRead(q);
            if (!candidates.isEmpty()) {
                Termination t = candidates[rng_.bounded(int(candidates.size()))];
                t.atMs = QDateTime::currentMSecsSinceEpoch();
                QSqlQuery end = db_.run(QString("select pg_terminate_backend(%1)").arg(t.pid));
                if (end.next() && end.value(0).toBool()) {
                    terminations.append(t);
                    return true;
                }
            }
        } catch (const DbError &) {
            // The server is restarting: the next round asks again.
        }
        QThread::msleep(5);
    }
    return false;
}

void FaultInjector::restartServer() {
    Restart r;
    r.startMs = QDateTime::currentMSecsSinceEpoch();
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start("/bin/bash", {"-c", restartCommand_});
    p.waitForFinished(-1);
    r.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    r.endMs = QDateTime::currentMSecsSinceEpoch();
    restarts.append(r);
}

} // namespace soak
