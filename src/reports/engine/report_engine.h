#pragma once
// Preparation turns a layout and an open dataset into pages of drawn items, once; the preview, the
// printer and a PDF all paint those same pages, and tests read them.
#include "reports/engine/report_layout.h"

#include <QSizeF>

class Dataset;
class QPainter;
class QPagedPaintDevice;

struct DrawnItem {
    QRectF mm; // on the page
    QString text;
    double pt = 9;
    bool bold = false;
    Qt::Alignment align;
    QColor background;
    int frame = 0;
};

struct PreparedPage {
    QVector<DrawnItem> items;
};

struct PreparedReport {
    QSizeF pageMm;
    bool landscape = false;
    QVector<PreparedPage> pages;

    int pageCount() const { return int(pages.size()); }
    // The texts of a page in drawing order (top to bottom within each band).
    QStringList texts(int page) const;
};

// Walks the dataset's rows once. Expressions that do not parse throw ReportError.
PreparedReport prepareReport(const ReportLayout &layout, Dataset &rows);

// Paints page (0-based) into target, scaled to its width.
void paintPage(QPainter &painter, const PreparedReport &report, int page, const QRectF &target);
// Paints every page onto a printer or a PDF writer, one sheet each.
void paintAll(const PreparedReport &report, QPagedPaintDevice &device);
// Writes the pages as a PDF with real text; false when the file cannot be written.
bool saveReportPdf(const PreparedReport &report, const QString &path);
