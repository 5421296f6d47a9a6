#include "shift/record_actions.h"

#include "core/row_version.h"
#include "shift/acceptance_mark.h"
#include "timesheet/closed_months.h"
#include "timesheet/day_cells.h"
#include "ui/data_module.h"

ShownRecord ShownRecord::of(const Dataset &row) {
    return {row.asId("id"),
            rowVersion(row),
            row.asId("w_id"),
            row.asInt("smena"),
            row.value("data").toDate(),
            isAcceptedMark(row.text("ok"))};
}

void flipAcceptance(TDataModule6 &dm, const ShownRecord &record) {
    refuseIfMonthClosed(dm.ADO_DB, record.date);
    const QString mark = record.accepted ? QStringLiteral("no") : QStringLiteral("ok");
    // The mark flips what the list showed: a row changed elsewhere since would flip the wrong way.
    requireRowWritten(
        dm.ADO_DB
            .run("update accounts_dep.smena set ok=:ok where id=:id" + sameRowVersion(record.version),
                 {{"ok", mark}, {"id", record.id}})
            .numRowsAffected());
}

void deleteShiftRecord(TDataModule6 &dm, const ShownRecord &record) {
    Transaction tx(dm.ADO_DB);
    // The row the user saw and agreed to delete, not a version changed since.
    requireRowWritten(dm.DelSmena.execute("delete from accounts_dep.smena where id=" +
                                          QString::number(record.id) + sameRowVersion(record.version)));
    // The day cell belongs to the record's own worker, date and shift.
    RewriteDayCell(dm, TimesheetKey::shiftRow(record.worker, record.shift), record.date,
                   DayCellWrite::AfterDelete);
    tx.commit();
}
