#pragma once
// A prepared report on paper and as a PDF: every sheet painted, or the pages a print dialog chose.
#include "reports/engine/prepared_report.h"

class QPagedPaintDevice;

// Paints every page onto a printer or a PDF writer, one sheet each; or only the pages listed
// (0-based, in that order, a page listed twice printed twice).
void paintAll(const PreparedReport &report, QPagedPaintDevice &device, const QVector<int> &pages = {});
// The sheets a print dialog asked for: pages first..last (1-based; 0 for all), copies times,
// collated (1 2 3 1 2 3) or not (1 1 2 2 3 3).
QVector<int> pagesToPrint(int pageCount, int first, int last, int copies, bool collate);
// Writes the pages as a PDF with real text; false when the file cannot be written.
bool saveReportPdf(const PreparedReport &report, const QString &path);
