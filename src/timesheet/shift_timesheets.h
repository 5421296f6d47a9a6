#pragma once
// The monthly timesheet rows of each of the three shifts with the month's piece-work money and the
// average price of an hour ("Табель по сменам").
#include <QString>

class TDataModule6;

// The rows of shift n for :mnth and :yea, money from the records of :date1 up to :date2.
QString shiftTimesheetSql(int n);
// Gives the data module's shift timesheets their statements.
void prepareShiftTimesheets(TDataModule6 &dm);
