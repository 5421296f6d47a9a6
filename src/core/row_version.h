#pragma once
// Saves that cannot overwrite another workstation's change. Lists read each row's version (the
// row version PostgreSQL keeps, xmin, which every write of the row changes); a save, delete or
// acceptance writes the row only while it still has that version, and a row that was changed or
// deleted meanwhile is refused with kStaleRowMessage and nothing is written.
#include "core/id.h"

#include <QString>

class Dataset;

// The select-list item that gives a list its rows' versions: "<alias>.xmin::text as row_version".
QString rowVersionColumn(const QString &alias);

// The version of the dataset's current row, as read (0 when the list has none).
qint64 rowVersion(const Dataset &list);

// The condition a write adds to "where id=...": the row still has the version read.
QString sameRowVersion(qint64 version);

// Throws the stale-row refusal unless the write touched exactly one row. Callers write inside a
// transaction, so what they wrote before is rolled back with it.
void requireRowWritten(int rowsWritten);
