#pragma once
// The two month rebuilds of the monthly timesheet: each recomputes every row of its own kind of
// one month from its source (shift records or household entries) and touches nothing else.
class QProgressBar;
class TDataModule6;

// Both run as one transaction under the month's lock: a failure leaves the month as it was. The
// progress bar (when given) counts the days and is hidden at the end; the callers reopen their
// views.
void RebuildShiftRows(TDataModule6 &dm, int month, int year, QProgressBar *PB);
void RebuildHouseholdRows(TDataModule6 &dm, int month, int year, QProgressBar *PB);
