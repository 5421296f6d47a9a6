#pragma once
// The day-cell writes of the monthly timesheet accounts_dep.h_tabel: a day cell always receives a
// freshly summed total for its key and date, never an increment.
#include "core/id.h"

#include <QDate>

class TDataModule6;

// Total hours of a worker's shift records of one date and shift (0 when there are none).
int shiftDayTotal(TDataModule6 &dm, Id workerId, int shift, const QDate &date);

enum class DayCellWrite {
    // After a save: update the day in every row of the key, or insert the row when there is none.
    Store,
    // After a delete: update the day with what remains, null when nothing does; a missing row
    // stays missing.
    AfterDelete,
};

// Writes total into the day cell of the worker's shift row of that month.
void storeShiftDayHours(TDataModule6 &dm, Id workerId, int shift, const QDate &date, int total,
                        DayCellWrite how);
