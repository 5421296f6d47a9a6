#pragma once
// Hands a table to the user as a spreadsheet: every export builds a new workbook, writes cells
// into its first sheet and, when made visible, finishes it into a fresh file and opens it in the
// desktop's spreadsheet application. Failures are shown in message boxes and answered with -1.
#include <QString>
#include <memory>

class PendingWorkbook;

// The reference to "the spreadsheet application": empty until OpenWorkbook succeeds in reaching
// one; it holds the workbook being filled.
struct SpreadsheetApp {
    bool attached = false;
    std::shared_ptr<PendingWorkbook> workbook;
    QString lastFile; // the file the last finished workbook went to
};

struct CellOptions {
    bool asText = false;  // the cell keeps the text as typed (text number format)
    bool autoFit = false; // the column is widened to its widest text
    bool bold = false;
};

namespace SpreadsheetExport {
// 1, or -1 when no workbook could be started (its file cannot be made). Only new workbooks (empty
// file name) are supported; no spreadsheet application is needed to fill one.
int OpenWorkbook(SpreadsheetApp &app, const QString &fileName);
// Making the workbook visible finishes it into a file and opens it for the user; when no
// application can open it, a message says where it was saved. Always 1.
int SetVisible(SpreadsheetApp &app, bool visible);
// Sheet, column and row count from 1. An empty text writes nothing. 1, or -1 on failure.
int WriteCell(SpreadsheetApp &app, int sheet, int column, int row, const QString &text,
              CellOptions options = {});
} // namespace SpreadsheetExport

// The program-long reference shared by the summary export and the price-list export.
SpreadsheetApp &sharedSpreadsheetApp();
// The program-long reference of the timesheet-by-shift export. The monthly timesheet export holds
// a SpreadsheetApp of its own for the length of one export.
SpreadsheetApp &shiftTimesheetSpreadsheetApp();
