// The load and fault run (scripts/soak): N workstations as processes of their own work on one
// small workshop at once while server processes are ended under them and the server restarts;
// afterwards the run checks that nothing was lost or written wrong, and prints its figures.
//   piecework_soak --database D --workstations N --seconds S [--seed X] [--logs DIR]
//                  [--restart "command"] [--actions N] [--think-ms MS] [--terminate-every-ms MS]
//   piecework_soak --workstation I --plan FILE   (one workstation; started by the run itself)
#include "app/startup.h"
#include "fault_injector.h"
#include "invariants.h"
#include "soak_plan.h"
#include "timesheet/month_rebuild.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/seams.h"
#include "workstation.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace soak;

namespace {

struct SilentMessages : seams::Messages {
    void error(const QString &text, const QString &) override {
        std::fprintf(stderr, "soak: %s\n", qPrintable(text));
    }
    bool yesNo(const QString &, const QString &) override { return true; }
};

int workstationMain(const QString &planPath, int index) {
    const Plan plan = Plan::load(planPath);
    Workstation ws(plan, index);
    const bool ok = ws.run();
    // Done, still connected: the run looks for anything left open, then closes our input.
    std::fputs("idle\n", stdout);
    std::fflush(stdout);
    char buffer[64];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
    }
    return ok ? 0 : 1;
}

qint64 nowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

double percentile(QList<int> values, double p) {
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype at = std::min<qsizetype>(values.size() - 1, qsizetype(std::ceil(p * values.size())) - 1);
    return values[std::max<qsizetype>(0, at)];
}

struct Child {
    std::unique_ptr<QProcess> process;
    bool idle = false;
};

int coordinatorMain(const QCommandLineParser &args) {
    Plan plan;
    plan.database = args.value("database");
    plan.workstations = args.value("workstations").toInt();
    plan.seed = args.value("seed").toUInt();
    plan.maxActions = args.value("actions").toInt();
    plan.thinkMs = args.value("think-ms").toInt();
    plan.personal = args.isSet("personal");
    plan.today = QDate::fromString(args.value("today"), Qt::ISODate);
    plan.logDir = QDir(args.value("logs")).absolutePath();
    const int seconds = args.value("seconds").toInt();
    const int terminateEveryMs = args.value("terminate-every-ms").toInt();
    if (plan.database.isEmpty() || plan.workstations < 1 || seconds < 1 || !plan.today.isValid()) {
        std::fprintf(stderr, "soak: --database, --workstations and --seconds are needed\n");
        return 2;
    }
    QDir().mkpath(plan.logDir);

    static SilentMessages messages;
    seams::setMessages(&messages);
    seams::setModalRunner([](QDialog *) { return 0; });
    const QDate today = plan.today;
    seams::setClock([today] { return QDateTime(today, QTime(10, 0)); });
    seams::setBuildStamp(20240101, 3600);
    if (!createForms({plan.database, plan.host})) {
        std::fprintf(stderr, "soak: cannot reach the database %s\n", qPrintable(plan.database));
        return 2;
    }
    TDataModule6 &dm = *forms().DataModule6;
    dm.ADO_DB.setSessionSettings({{"piecework.workstation", QStringLiteral("soak-coordinator")},
                                  {"application_name", QStringLiteral("soak-coordinator")}});
    seedWorkshop(plan);
    const QList<QDate> months{plan.lastMonth(), plan.lastMonth().addMonths(1)};
    for (const QDate &m : months) {
        RebuildShiftRows(dm, m.month(), m.year(), nullptr);
        RebuildHouseholdRows(dm, m.month(), m.year(), nullptr);
    }
    if (plan.personal) {
        // The coordinator is made a member of each account, so that it sees their sessions and may
        // end their server processes as it does its own role's.
        const QString coordinator = dm.lookup("select current_user::text as u", "u").toString();
        for (int i = 0; i < plan.workstations; ++i) {
            dm.ADO_DB.run(QString("drop role if exists %1").arg(workstationAccount(i)));
            dm.ADO_DB.run(QString("create role %1 login password '%2' in role piecework_admin role \"%3\"")
                              .arg(workstationAccount(i), workstationPassword(i), coordinator));
        }
    }
    keepStartingRows(dm);
    plan.historyStart = lastHistoryId();
    const qint64 duration = seconds * 1000LL;
    // Time for every workstation to start and connect before the work begins.
    plan.startMs = nowMs() + 2000 + 400LL * plan.workstations;
    plan.endMs = plan.startMs + duration;
    plan.closeAtMs = plan.startMs + duration / 4;
    plan.reopenAtMs = plan.startMs + duration * 3 / 5;
    const qint64 restartAt = plan.startMs + duration * 9 / 20;
    const QString planPath = plan.logDir + "/plan.json";
    plan.save(planPath);

    std::printf("soak: %d workstations for %d s on %s, seed %u, logs in %s\n", plan.workstations, seconds,
                qPrintable(plan.database), plan.seed, qPrintable(plan.logDir));
    std::fflush(stdout);
    std::vector<Child> children;
    for (int i = 0; i < plan.workstations; ++i) {
        Child c;
        c.process = std::make_unique<QProcess>();
        c.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        c.process->start(QCoreApplication::applicationFilePath(),
                         {"--workstation", QString::number(i), "--plan", planPath});
        children.push_back(std::move(c));
    }

    FaultInjector faults(dm.ADO_DB, plan.seed, args.value("restart"));
    QRandomGenerator rng(plan.seed);
    qint64 nextTermination = plan.startMs + terminateEveryMs / 2 + rng.bounded(terminateEveryMs);
    const qint64 giveUpAt = plan.endMs + 120000;
    QStringList broken;
    for (;;) {
        QCoreApplication::processEvents();
        int waiting = 0;
        for (Child &c : children) {
            if (!c.idle && c.process->canReadLine() && c.process->readLine().startsWith("idle"))
                c.idle = true;
            if (!c.idle && c.process->state() != QProcess::NotRunning)
                ++waiting;
        }
        if (waiting == 0)
            break;
        const qint64 now = nowMs();
        if (now >= giveUpAt) {
            broken << QString("%1 workstations still working two minutes after the end").arg(waiting);
            break;
        }
        if (now >= nextTermination && now < plan.endMs) {
            faults.terminateOne();
            nextTermination = now + terminateEveryMs / 2 + rng.bounded(terminateEveryMs);
        }
        if (faults.restarts.isEmpty() && !args.value("restart").isEmpty() && now >= restartAt)
            faults.restartServer();
        QThread::msleep(10);
    }

    QList<Invariant> invariants;
    invariants << nothingLeftBehind(dm);
    for (size_t i = 0; i < children.size(); ++i) {
        QProcess &p = *children[i].process;
        p.closeWriteChannel();
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
        }
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            broken << QString("workstation %1 ended abnormally (exit code %2)").arg(i).arg(p.exitCode());
    }
    invariants << Invariant{"every workstation worked to the end", broken};

    QList<QList<Action>> logs;
    for (int i = 0; i < plan.workstations; ++i)
        logs << readLog(plan.logPath(i));
    invariants << historyMatchesSaves(dm, plan, logs) << rowsFollowTheirHistory(dm, plan)
               << closedMonthUntouched(dm, logs.value(0)) << noRecordTwice(dm);
    // Last: it rebuilds the months to compare.
    invariants << dayCellsMatchRebuild(dm, months);

    // Figures.
    const Restart restart = faults.restarts.value(0);
    QList<int> saveTimes, allSaveTimes;
    QMap<QString, int> outcomes;
    int actions = 0;
    qint64 lastMs = plan.startMs;
    QHash<QString, qint64> lastSaved; // workstation name -> its last saved action
    for (const QList<Action> &log : logs) {
        for (const Action &a : log) {
            ++actions;
            ++outcomes[a.outcome];
            lastMs = std::max(lastMs, a.startedMs + a.durationMs);
            const QString name = workstationName(a.workstation);
            if (a.saved())
                lastSaved[name] = std::max(lastSaved.value(name), a.startedMs);
            if (!a.isSave() || !a.saved())
                continue;
            allSaveTimes << a.durationMs;
            const bool nearRestart = restart.startMs &&
                                     a.startedMs + a.durationMs >= restart.startMs - 1000 &&
                                     a.startedMs <= restart.endMs + 5000;
            if (!nearRestart)
                saveTimes << a.durationMs;
        }
    }
    int survived = 0;
    for (const Termination &t : faults.terminations)
        survived += lastSaved.value(t.workstation) > t.atMs ? 1 : 0;
    int afterRestart = 0;
    for (auto it = lastSaved.begin(); it != lastSaved.end(); ++it)
        afterRestart += restart.ok && it.value() > restart.endMs ? 1 : 0;
    if (args.isSet("require-faults")) {
        QStringList missing;
        if (faults.terminations.isEmpty())
            missing << "no server process was ended mid-transaction";
        if (!args.value("restart").isEmpty() && !restart.ok)
            missing << "the server did not restart";
        if (outcomes.value("stale") + outcomes.value("duplicate") == 0)
            missing << "no conflict between workstations happened";
        invariants << Invariant{"every kind of fault and conflict happened", missing};
    }

    const double wall = std::max<qint64>(1, lastMs - plan.startMs) / 1000.0;
    int violations = 0;
    std::printf("\nsoak: invariants\n");
    for (const Invariant &inv : invariants) {
        violations += int(inv.violations.size());
        std::printf("  %-4s %s\n", inv.violations.isEmpty() ? "ok" : "FAIL", qPrintable(inv.name));
        for (qsizetype k = 0; k < inv.violations.size() && k < 20; ++k)
            std::printf("         %s\n", qPrintable(inv.violations[k]));
        if (inv.violations.size() > 20)
            std::printf("         ... and %lld more\n", static_cast<long long>(inv.violations.size() - 20));
    }
    std::printf("\nsoak: figures\n");
    std::printf("  workstations                    %d\n", plan.workstations);
    std::printf("  actions                         %d in %.1f s: %.1f per second\n", actions, wall,
                actions / wall);
    std::printf("  outcomes                        saved %d, stale %d, duplicate %d, closed month %d, "
                "refused %d, failed %d\n",
                outcomes.value("saved"), outcomes.value("stale"), outcomes.value("duplicate"),
                outcomes.value("closed"), outcomes.value("refused"), outcomes.value("failed"));
    std::printf("  save (median / 99th percentile) %.0f / %.0f ms outside the restart; %.0f ms with it\n",
                percentile(saveTimes, 0.5), percentile(saveTimes, 0.99), percentile(allSaveTimes, 0.99));
    std::printf("  conflicts refused               %d\n",
                outcomes.value("stale") + outcomes.value("duplicate"));
    std::printf("  server processes ended          %lld, workstations saved again after %d\n",
                static_cast<long long>(faults.terminations.size()), survived);
    std::printf(
        "  server restarts                 %lld (%s, %.1f s), workstations saved again after it: %d of %d\n",
        static_cast<long long>(faults.restarts.size()), restart.ok ? "done" : "not done",
        (restart.endMs - restart.startMs) / 1000.0, afterRestart, plan.workstations);
    std::printf("  invariant violations            %d\n", violations);
    return violations == 0 ? 0 : 1;
}

} // namespace

// The driver's own warnings of every statement a fault cut short would bury the run's report.
void quietDriverWarnings(QtMsgType type, const QMessageLogContext &, const QString &text) {
    if (type == QtWarningMsg &&
        (text.startsWith(QLatin1String("QODBCResult::")) ||
         text.startsWith(QLatin1String("QStandardPaths:")) || text.startsWith(QLatin1String("qMakeField:"))))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

int main(int argc, char **argv) {
    qInstallMessageHandler(quietDriverWarnings);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser args;
    args.addOptions({{"database", "The run's database (made from the template).", "name"},
                     {"workstations", "Workstations at once.", "n", "4"},
                     {"seconds", "How long the workstations work.", "s", "30"},
                     {"actions", "At most this many actions per workstation (0: no bound).", "n", "0"},
                     {"seed", "Makes a run repeatable.", "n", "1"},
                     {"think-ms", "A clerk's pause between actions, on average.", "ms", "150"},
                     {"terminate-every-ms", "How often a server process is ended, on average.", "ms", "1500"},
                     {"today", "The workstations' date.", "yyyy-mm-dd", "2026-03-18"},
                     {"logs", "Where the workstations' logs go.", "dir", "soak-logs"},
                     {"restart", "The command that restarts the server (none: no restart).", "command"},
                     {"require-faults", "Fail unless every fault kind and a conflict happened."},
                     {"personal", "Each workstation logs in with an administrator's personal account."},
                     {"workstation", "Run as this workstation of the plan.", "i"},
                     {"plan", "The plan a workstation follows.", "file"}});
    args.process(app);
    if (args.isSet("workstation"))
        return workstationMain(args.value("plan"), args.value("workstation").toInt());
    return coordinatorMain(args);
}
