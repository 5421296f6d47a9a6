#pragma once
// What must hold after the load run. Each check returns its violations in words that name the
// row and the workstation; an empty list means it holds.
#include "soak_log.h"
#include "soak_plan.h"

#include <QStringList>

class TDataModule6;

namespace soak {

struct Invariant {
    QString name;
    QStringList violations;
};

// The rows of the run's records and entries before the first workstation starts: the history
// chains start from them.
void keepStartingRows(TDataModule6 &dm);

// No session of a workstation is inside a transaction or holds a lock (advisory ones included);
// asked while the workstations are still connected, their work done.
Invariant nothingLeftBehind(TDataModule6 &dm);

// Every day cell of the months equals what a rebuild of its month gives (compared before the
// rebuild takes its place).
Invariant dayCellsMatchRebuild(TDataModule6 &dm, const QList<QDate> &months);

// Each workstation's saves against the change history: one entry per saved write, with its login,
// its values, and a "before" that is the row the workstation read; none for a write told failed.
Invariant historyMatchesSaves(TDataModule6 &dm, const Plan &plan, const QList<QList<Action>> &logs);

// Each row's history is one unbroken chain from its starting row (or its insert) to the row the
// table holds now: no write escaped the history, no saved value was lost.
Invariant rowsFollowTheirHistory(TDataModule6 &dm, const Plan &plan);

// Nothing of the month changed while it was closed.
Invariant closedMonthUntouched(TDataModule6 &dm, const QList<Action> &closer);

// The same record (worker, product, operation, date, shift, colour) is never there twice.
Invariant noRecordTwice(TDataModule6 &dm);

} // namespace soak
