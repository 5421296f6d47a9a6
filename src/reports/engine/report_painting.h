#pragma once
// Painting a prepared page: each text fitted to its cell, in the reports' font.
#include "reports/engine/prepared_report.h"

class QPainter;

// A text made to fit a cell of the given width: the item's size when it fits, else a smaller size
// down to a readable floor, and past that the floor size with the end cut to an ellipsis.
struct FittedText {
    QString text;
    double pt;
};
FittedText fitText(const QString &text, double pt, bool bold, double widthMm);

// Paints page (0-based) into target, scaled to its width; each text fitted to its cell.
void paintPage(QPainter &painter, const PreparedReport &report, int page, const QRectF &target);
