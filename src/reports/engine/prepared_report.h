#pragma once
// A report once prepared: its pages of drawn items, which the preview, the printer and a PDF all
// paint, and tests read.
#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>

struct DrawnItem {
    QRectF mm; // on the page
    QString text;
    double pt = 9;
    bool bold = false;
    Qt::Alignment align;
    QColor background;
    int frame = 0;
};

// A drawn item as stored: a year's report has millions of them, so the texts of a page share one
// string and the looks (size, weight, alignment, background, frame) a table of the report.
struct PackedItem {
    float x, y, w, h;
    qint32 textStart, textLength;
    qint32 style;
};

struct PreparedPage {
    QString text;
    QVector<PackedItem> packed;
    int size() const { return int(packed.size()); }
};

struct PreparedReport {
    QSizeF pageMm;
    bool landscape = false;
    QVector<PreparedPage> pages;
    QVector<DrawnItem> styles; // the looks, without position and text

    int pageCount() const { return int(pages.size()); }
    DrawnItem item(int page, int index) const;
    void add(const DrawnItem &item);
    // The texts of a page in drawing order (top to bottom within each band).
    QStringList texts(int page) const;
};
