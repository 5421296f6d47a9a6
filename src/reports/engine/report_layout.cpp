#include "reports/engine/report_layout.h"

ReportItem label(const QString &text, QRectF mm, double pt, bool bold, Qt::Alignment align) {
    ReportItem item;
    item.kind = ReportItem::Label;
    item.text = text;
    item.mm = mm;
    item.pt = pt;
    item.bold = bold;
    item.align = align;
    return item;
}

ReportItem field(const QString &expression, QRectF mm, double pt, bool bold, Qt::Alignment align,
                 const QString &mask) {
    ReportItem item = label(expression, mm, pt, bold, align);
    item.kind = ReportItem::Expression;
    item.mask = mask;
    return item;
}
