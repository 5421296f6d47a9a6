#pragma once
// What the day sheet does to a shift record besides editing it: the warehouse's acceptance mark and
// the delete with its day cell. The main window, the load run and the bench call these.
#include "core/id.h"

#include <QDate>

class Dataset;
class TDataModule6;

// The record as a list row showed it: its id and version (a row changed since is refused), and
// what its day cell is keyed by.
struct ShownRecord {
    Id id = 0;
    qint64 version = 0;
    Id worker = 0;
    int shift = 0;
    QDate date;
    bool accepted = false;

    static ShownRecord of(const Dataset &row);
};

// Sets the mark to "ok", or back to "no" when it was accepted; refused in a closed month and when
// the row changed since it was shown.
void flipAcceptance(TDataModule6 &dm, const ShownRecord &record);
// Deletes the record and rewrites its worker's day cell, in one transaction; refused when the row
// changed since it was shown. The caller says a month is closed before it asks the user (the
// database refuses the delete in one anyway).
void deleteShiftRecord(TDataModule6 &dm, const ShownRecord &record);
