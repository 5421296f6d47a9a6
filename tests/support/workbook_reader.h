#pragma once
// Reads back a written .xlsx: the cells of its first sheet with their kind and format, and the
// column widths.
#include <QMap>
#include <QPair>
#include <QString>

struct WorkbookCell {
    QString text;
    bool number = false;
    bool bold = false;
    bool textFormat = false;
};

struct WorkbookContents {
    bool ok = false;
    QMap<QPair<int, int>, WorkbookCell> cells; // (row, column), 1-based
    QMap<int, double> widths;                  // column -> width
    WorkbookCell cell(int row, int column) const { return cells.value({row, column}); }
};

WorkbookContents readWorkbook(const QString &path);
