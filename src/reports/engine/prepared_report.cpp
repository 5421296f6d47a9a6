#include "reports/engine/prepared_report.h"

static bool sameLook(const DrawnItem &a, const DrawnItem &b) {
    return a.pt == b.pt && a.bold == b.bold && a.align == b.align && a.background == b.background &&
           a.frame == b.frame;
}

void PreparedReport::add(const DrawnItem &item) {
    // The looks of a report are few: a short search finds them.
    int style = -1;
    for (int i = 0; i < styles.size(); ++i)
        if (sameLook(styles[i], item)) {
            style = i;
            break;
        }
    if (style < 0) {
        DrawnItem look = item;
        look.text.clear();
        look.mm = QRectF();
        styles.append(look);
        style = int(styles.size()) - 1;
    }
    PreparedPage &page = pages.last();
    page.packed.append({float(item.mm.x()), float(item.mm.y()), float(item.mm.width()),
                        float(item.mm.height()), qint32(page.text.size()), qint32(item.text.size()),
                        qint32(style)});
    page.text += item.text;
}

DrawnItem PreparedReport::item(int page, int index) const {
    const PackedItem &p = pages[page].packed[index];
    DrawnItem d = styles[p.style];
    d.mm = QRectF(p.x, p.y, p.w, p.h);
    d.text = pages[page].text.mid(p.textStart, p.textLength);
    return d;
}

QStringList PreparedReport::texts(int page) const {
    QStringList out;
    if (page < 0 || page >= pages.size())
        return out;
    for (const PackedItem &p : pages[page].packed)
        if (p.textLength > 0)
            out << pages[page].text.mid(p.textStart, p.textLength);
    return out;
}
