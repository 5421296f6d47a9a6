#pragma once
// The one rule for the monthly timesheet accounts_dep.h_tabel: a day cell always receives a freshly
// summed total for its key and date, never an increment. Shift rows are keyed by worker and shift,
// household rows by worker, work type and night flag; both by month and year.
#include "core/id.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

class Database;
class TDataModule6;

struct TimesheetKey {
    Id worker = 0;
    int shift = 0; // 1..4 for a shift row, 0 for a household row
    int type = 0;  // 7777 or 7778 for a household row, 0 for a shift row
    int night = 0; // household rows: 0 day, 1 night

    static TimesheetKey shiftRow(Id worker, int shift) { return {worker, shift, 0, 0}; }
    static TimesheetKey householdRow(Id worker, int type, int night) { return {worker, 0, type, night}; }
    bool isHousehold() const { return shift == 0; }
    bool operator==(const TimesheetKey &) const = default;
};

enum class DayCellWrite {
    // After a save: update the day in every row of the key, or insert the row when there is none.
    Store,
    // After a delete: update the day with what remains, null when nothing does; a missing row
    // stays missing.
    AfterDelete,
};

// Total hours of a worker's shift records of one date and shift (0 when there are none).
int shiftDayTotal(TDataModule6 &dm, Id worker, int shift, const QDate &date);
// Total hours of a worker's household entries of one date, work type and night flag.
int householdDayTotal(TDataModule6 &dm, Id worker, int type, int night, const QDate &date);
// The fresh total of the key's kind.
int dayTotal(TDataModule6 &dm, const TimesheetKey &key, const QDate &date);

// Writes total into the day cell of the key's row of that month. Two workstations writing the
// same new key at once get one row: the look-up and the insert hold a lock on the key until the
// caller's transaction ends (one is opened here when the caller has none).
void StoreDayHours(TDataModule6 &dm, const TimesheetKey &key, const QDate &date, int total, DayCellWrite how);
// The fresh total of the key and date, written into its cell.
void RewriteDayCell(TDataModule6 &dm, const TimesheetKey &key, const QDate &date, DayCellWrite how);

// Takes the locks of the cells' keys (as StoreDayHours does) in one fixed order, until the
// caller's transaction ends: a save that must look at a key's records before writing them (the
// duplicate check) takes them first.
void LockDayCells(Database &db, const QList<QPair<TimesheetKey, QDate>> &cells);

namespace timesheet_locks {
// Held by every day-cell write (shared) and by a month rebuild (exclusive) until the end of the
// transaction, so that a rebuild never interleaves with a write into its month.
void lockMonthShared(Database &db, int month, int year);
void lockMonthExclusive(Database &db, int month, int year);
} // namespace timesheet_locks
