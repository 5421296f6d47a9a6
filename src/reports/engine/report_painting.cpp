#include "reports/engine/report_painting.h"

#include "reports/engine/report_layout.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {
constexpr double kTextPaddingMm = 0.5;
// Smaller than this a printed text is hard to read: a longer one ends in an ellipsis instead.
constexpr double kSmallestPt = 6;

QFont reportFont(bool bold) {
    QFont font("DejaVu Sans");
    // Unhinted glyphs scale with the size, so a text measured once fits on screen, paper and PDF.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setBold(bold);
    return font;
}
} // namespace

FittedText fitText(const QString &text, double pt, bool bold, double widthMm) {
    // Measured at a large size, where rounding is negligible, and scaled to the item's size.
    constexpr double kMeasurePt = 100;
    static QFont fonts[2] = {reportFont(false), reportFont(true)};
    QFont &font = fonts[bold ? 1 : 0];
    font.setPointSizeF(kMeasurePt);
    const QFontMetricsF metrics(font);
    const double dotsPerMm = metrics.fontDpi() / 25.4;
    // A little room for the devices' own rounding.
    const double room = std::max(0.0, widthMm) * 0.97 * dotsPerMm;
    const double width = metrics.horizontalAdvance(text) * pt / kMeasurePt;
    if (width <= room)
        return {text, pt};
    const double floor = std::min(pt, kSmallestPt);
    const double shrunk = pt * room / width;
    if (shrunk >= floor)
        return {text, shrunk};
    return {metrics.elidedText(text, Qt::ElideRight, room * kMeasurePt / floor), floor};
}

void paintPage(QPainter &painter, const PreparedReport &report, int page, const QRectF &target) {
    if (page < 0 || page >= report.pages.size())
        return;
    const double perMm = target.width() / report.pageMm.width();
    // Fonts are sized in points of the device; on a zoomed screen page they scale with it.
    const double dpi = painter.device()->logicalDpiY();
    const double fontScale = perMm / (dpi / 25.4);
    painter.save();
    painter.fillRect(target, Qt::white);
    for (int i = 0; i < report.pages[page].size(); ++i) {
        const DrawnItem item = report.item(page, i);
        const QRectF r(target.left() + item.mm.left() * perMm, target.top() + item.mm.top() * perMm,
                       item.mm.width() * perMm, item.mm.height() * perMm);
        if (item.background.isValid())
            painter.fillRect(r, item.background);
        if (item.frame) {
            QPen pen(Qt::black);
            pen.setWidthF(std::max(1.0, 0.2 * perMm));
            painter.setPen(pen);
            if (item.frame & FrameLeft)
                painter.drawLine(r.topLeft(), r.bottomLeft());
            if (item.frame & FrameTop)
                painter.drawLine(r.topLeft(), r.topRight());
            if (item.frame & FrameRight)
                painter.drawLine(r.topRight(), r.bottomRight());
            if (item.frame & FrameBottom)
                painter.drawLine(r.bottomLeft(), r.bottomRight());
        }
        if (item.text.isEmpty())
            continue;
        const FittedText fit = fitText(item.text, item.pt, item.bold, item.mm.width() - 2 * kTextPaddingMm);
        QFont font = reportFont(item.bold);
        font.setPointSizeF(std::max(0.5, fit.pt * fontScale));
        painter.setFont(font);
        painter.setPen(Qt::black);
        // The fitted text lies inside the padding; a rounding overshoot of the device is not cut.
        painter.drawText(r.adjusted(kTextPaddingMm * perMm, 0, -kTextPaddingMm * perMm, 0),
                         int(item.align) | Qt::TextSingleLine | Qt::TextDontClip, fit.text);
    }
    painter.restore();
}
