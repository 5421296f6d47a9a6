#pragma once
// A banded report layout: page setup plus bands of items at positions in millimetres. Bands print
// in this order: report header, child band, group headers, detail rows, group footers, report
// footer; the page header and page footer print on every page.
#include <QColor>
#include <QRectF>
#include <QString>
#include <QVector>

enum FrameSide { FrameLeft = 1, FrameTop = 2, FrameRight = 4, FrameBottom = 8, FrameAll = 15 };

struct ReportItem {
    enum Kind { Label, Expression };
    Kind kind = Label;
    QString text; // the label's text, or the expression (a field name is an expression too)
    QRectF mm;    // within the band
    double pt = 9;
    bool bold = false;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    QString mask; // display mask of numbers
    QColor background;
    int frame = 0;
};

struct ReportBand {
    double height = 0; // mm; a band of height 0 does not print
    QVector<ReportItem> items;
    QColor background;
    int frame = 0;
    bool isEmpty() const { return height <= 0; }
};

struct ReportGroup {
    QString expression; // the rows of one group share its value
    ReportBand header;
    ReportBand footer;
};

struct ReportLayout {
    QString name;
    bool landscape = false;
    double margin = 10; // mm on all four sides
    ReportBand reportHeader, child, pageHeader, detail, reportFooter, pageFooter;
    QVector<ReportGroup> groups; // outermost first
};

// Shorthands for building layouts in code.
ReportItem label(const QString &text, QRectF mm, double pt = 9, bool bold = false,
                 Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
ReportItem field(const QString &expression, QRectF mm, double pt = 9, bool bold = false,
                 Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter, const QString &mask = {});
