#include "reports/engine/report_engine.h"

#include "core/dataset.h"
#include "reports/engine/expression.h"

#include <QFile>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <limits>
#include <memory>

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

bool isNumericType(int type) {
    return type == QMetaType::Double || type == QMetaType::Int || type == QMetaType::LongLong ||
           type == QMetaType::Short || type == QMetaType::Float || type == QMetaType::UInt ||
           type == QMetaType::ULongLong;
}

QueryRows::QueryRows(Database &db, const QString &sql, const SqlParams &params, const QString &onlyField,
                     const QVariant &onlyValue)
    : db_(db), query_(db.run(sql, params)), onlyValue_(onlyValue.toString()) {
    const QSqlRecord rec = query_.record();
    for (int i = 0; i < rec.count(); ++i) {
        fields_ << rec.fieldName(i);
        numeric_ << isNumericType(rec.field(i).metaType().id());
    }
    if (!onlyField.isEmpty())
        only_ = fieldIndex(onlyField);
}

bool sameValue(const QString &value, const QString &wanted) {
    bool a = false, b = false;
    const double x = value.toDouble(&a), y = wanted.toDouble(&b);
    return a && b ? x == y : value == wanted;
}

bool QueryRows::next() {
    previous_ = std::move(current_);
    current_.clear();
    while (query_.next()) {
        if (only_ >= 0 && !sameValue(query_.value(only_).toString(), onlyValue_))
            continue;
        current_.resize(fields_.size());
        for (int i = 0; i < fields_.size(); ++i)
            current_[i] = query_.value(i);
        return true;
    }
    db_.checkRead(query_);
    return false;
}
int QueryRows::fieldIndex(const QString &name) const {
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
int QueryRows::fieldCount() const {
    return int(fields_.size());
}
bool QueryRows::numeric(int column) const {
    return numeric_.value(column);
}
QVariant QueryRows::current(int column) const {
    return current_.value(column);
}
QVariant QueryRows::previous(int column) const {
    return previous_.value(column);
}

bool DatasetRows::next() {
    if (at_ + 1 >= rows_.recordCount()) {
        at_ = rows_.recordCount();
        return false;
    }
    ++at_;
    return true;
}
int DatasetRows::fieldIndex(const QString &name) const {
    return rows_.fieldIndex(name);
}
int DatasetRows::fieldCount() const {
    return rows_.fieldCount();
}
bool DatasetRows::numeric(int column) const {
    return isNumericType(rows_.fieldType(column).id());
}
QVariant DatasetRows::current(int column) const {
    return rows_.valueAt(at_, column);
}
QVariant DatasetRows::previous(int column) const {
    return rows_.valueAt(at_ - 1, column);
}

namespace {
// A band made ready: its expressions parsed once, with a running total for every sum() in it.
struct ReadyBand {
    const ReportBand *band = nullptr;
    QVector<ReportExpression> expressions; // one per item; empty for labels
    QVector<QVector<double>> totals;       // per item, per sum()

    explicit ReadyBand(const ReportBand &b) : band(&b) {
        for (const ReportItem &item : b.items) {
            expressions.append(item.kind == ReportItem::Expression ? ReportExpression(item.text)
                                                                   : ReportExpression());
            totals.append(QVector<double>(expressions.last().sumCount(), 0.0));
        }
    }
    void accumulate(const ReportContext &row) {
        for (int i = 0; i < expressions.size(); ++i)
            for (int k = 0; k < expressions[i].sumCount(); ++k)
                totals[i][k] += expressions[i].evaluateSumArgument(k, row).toNumber();
    }
    void reset() {
        for (auto &t : totals)
            t.fill(0.0);
    }
};

class Preparer {
public:
    Preparer(const ReportLayout &layout, ReportRows &rows)
        : layout_(layout), rows_(rows), reportHeader_(layout.reportHeader), child_(layout.child),
          pageHeader_(layout.pageHeader), detail_(layout.detail), reportFooter_(layout.reportFooter),
          pageFooter_(layout.pageFooter) {
        for (const ReportGroup &g : layout.groups) {
            groupKeys_.append(ReportExpression(g.expression));
            headers_.append(ReadyBand(g.header));
            footers_.append(ReadyBand(g.footer));
        }
        report_.landscape = layout.landscape;
        report_.pageMm = layout.landscape ? QSizeF(297, 210) : QSizeF(210, 297);
    }

    // Prepares up to count more rows (the report's header first, its footers after the last row);
    // false once the report is complete.
    bool step(qint64 count) {
        if (!started_) {
            started_ = true;
            more_ = nextRow();
            any_ = more_;
            startPage(context(any_ ? Current : NoRow));
            place(reportHeader_, context(any_ ? Current : NoRow));
            place(child_, context(any_ ? Current : NoRow));
        }
        for (qint64 i = 0; i < count && more_; ++i) {
            const ReportContext row = context(Current);
            QStringList keys;
            for (const ReportExpression &k : groupKeys_)
                keys << k.evaluate(row).toText();
            int changed = 0; // outermost group whose value changed
            if (!first_) {
                changed = int(keys.size());
                for (int g = 0; g < keys.size(); ++g)
                    if (keys[g] != previousKeys_[g]) {
                        changed = g;
                        break;
                    }
                // The footers print the values of the group that just ended.
                for (int g = int(footers_.size()) - 1; g >= changed; --g)
                    closeGroup(g, context(Previous));
            }
            // A group header is never left alone at a page's foot: it moves on with its first row.
            double opening = detail_.band->isEmpty() ? 0 : detail_.band->height;
            for (int g = changed; g < headers_.size(); ++g)
                opening += headers_[g].band->isEmpty() ? 0 : headers_[g].band->height;
            breakPageUnlessFits(opening, row);
            for (int g = changed; g < headers_.size(); ++g)
                place(headers_[g], row);
            for (ReadyBand &f : footers_)
                f.accumulate(row);
            reportFooter_.accumulate(row);
            place(detail_, row);
            previousKeys_ = keys;
            first_ = false;
            more_ = nextRow();
        }
        if (more_)
            return true;
        if (!finished_) {
            // After the walk the last row is the previous one.
            if (any_)
                for (int g = int(footers_.size()) - 1; g >= 0; --g)
                    closeGroup(g, context(Previous));
            place(reportFooter_, context(any_ ? Previous : NoRow));
            finishPage();
            finished_ = true;
        }
        return false;
    }

    bool finished() const { return finished_; }
    const PreparedReport &report() const { return report_; }
    PreparedReport take() { return std::move(report_); }

private:
    enum Which { Current, Previous, NoRow };
    // A field's column, looked up by name once per report rather than once per row.
    int column(const QString &name) {
        const auto known = columns_.constFind(name);
        if (known != columns_.cend())
            return *known;
        const int col = rows_.fieldIndex(name);
        if (col < 0)
            throw ReportError{QStringLiteral("%1: поле '%2' не найдено").arg(layout_.name, name)};
        columns_.insert(name, col);
        return col;
    }
    // The current row's values, each converted once however many items show or sum it.
    const ReportValue &currentValue(int col) {
        if (cachedRow_ != rowNumber_) {
            cachedRow_ = rowNumber_;
            cached_.resize(rows_.fieldCount());
            known_.fill(false, rows_.fieldCount());
        }
        if (!known_[col]) {
            cached_[col] = ReportValue::fromField(rows_.current(col), rows_.numeric(col));
            known_[col] = true;
        }
        return cached_[col];
    }
    ReportContext context(int which) {
        ReportContext ctx;
        ctx.page = int(report_.pages.size());
        ctx.field = [this, which](const QString &name) {
            const int col = column(name);
            // A report without rows prints zero totals, not empty ones.
            if (which == NoRow)
                return rows_.numeric(col) ? ReportValue::of(0.0) : ReportValue::of(QString());
            if (which == Current)
                return currentValue(col);
            return ReportValue::fromField(rows_.previous(col), rows_.numeric(col));
        };
        return ctx;
    }
    bool nextRow() {
        ++rowNumber_;
        return rows_.next();
    }

    void closeGroup(int g, const ReportContext &lastRow) {
        place(footers_[g], lastRow);
        footers_[g].reset();
    }

    double contentBottom() const {
        return report_.pageMm.height() - layout_.margin -
               (pageFooter_.band->isEmpty() ? 0 : pageFooter_.band->height);
    }

    void startPage(const ReportContext &ctx) {
        report_.pages.append(PreparedPage{});
        y_ = layout_.margin;
        if (!pageHeader_.band->isEmpty()) {
            ReportContext c = ctx;
            c.page = int(report_.pages.size());
            draw(pageHeader_, c);
        }
    }

    void finishPage() {
        if (pageFooter_.band->isEmpty())
            return;
        ReportContext c;
        c.page = int(report_.pages.size());
        y_ = report_.pageMm.height() - layout_.margin - pageFooter_.band->height;
        draw(pageFooter_, c);
    }

    // Starts a new page when height does not fit below; a fresh page takes whatever comes.
    void breakPageUnlessFits(double height, const ReportContext &ctx) {
        if (y_ + height > contentBottom() + 0.001 && y_ > layout_.margin + headerHeight() + 0.001) {
            finishPage();
            startPage(ctx);
        }
    }

    void place(ReadyBand &band, const ReportContext &ctx) {
        if (band.band->isEmpty())
            return;
        breakPageUnlessFits(band.band->height, ctx);
        draw(band, ctx);
    }

    double headerHeight() const { return pageHeader_.band->isEmpty() ? 0 : pageHeader_.band->height; }

    void draw(ReadyBand &band, const ReportContext &rowCtx) {
        const ReportBand &b = *band.band;
        const double left = layout_.margin;
        const double width = report_.pageMm.width() - 2 * layout_.margin;
        if (b.background.isValid() || b.frame) {
            DrawnItem back;
            back.mm = QRectF(left, y_, width, b.height);
            back.background = b.background;
            back.frame = b.frame;
            report_.add(back);
        }
        for (int i = 0; i < b.items.size(); ++i) {
            const ReportItem &item = b.items[i];
            DrawnItem d;
            d.mm = item.mm.translated(left, y_);
            d.pt = item.pt;
            d.bold = item.bold;
            d.align = item.align;
            d.background = item.background;
            d.frame = item.frame;
            if (item.kind == ReportItem::Label) {
                d.text = item.text;
            } else {
                ReportContext ctx = rowCtx;
                ctx.page = int(report_.pages.size());
                ctx.sums = &band.totals[i];
                const ReportValue v = band.expressions[i].evaluate(ctx);
                d.text = v.isText ? v.text : (v.isNull ? QString() : formatReportNumber(v.number, item.mask));
            }
            report_.add(d);
        }
        y_ += b.height;
    }

    const ReportLayout &layout_;
    ReportRows &rows_;
    ReadyBand reportHeader_, child_, pageHeader_, detail_, reportFooter_, pageFooter_;
    QVector<ReportExpression> groupKeys_;
    QVector<ReadyBand> headers_, footers_;
    PreparedReport report_;
    double y_ = 0;
    bool started_ = false, finished_ = false, more_ = false, any_ = false, first_ = true;
    QStringList previousKeys_;
    QHash<QString, int> columns_;
    qint64 rowNumber_ = 0, cachedRow_ = -1;
    QVector<ReportValue> cached_;
    QVector<bool> known_;
};
} // namespace

struct ReportPreparation::State {
    ReportLayout layout;
    std::unique_ptr<ReportRows> rows;
    std::unique_ptr<Preparer> preparer;
};

ReportPreparation::ReportPreparation(ReportLayout layout, std::unique_ptr<ReportRows> rows)
    : state_(std::make_unique<State>()) {
    state_->layout = std::move(layout);
    state_->rows = std::move(rows);
    state_->preparer = std::make_unique<Preparer>(state_->layout, *state_->rows);
}

ReportPreparation::~ReportPreparation() = default;

bool ReportPreparation::step(qint64 rows) {
    return state_->preparer->step(rows);
}

void ReportPreparation::makeFirstPage() {
    while (madePages() < 1 && step(200)) {
    }
}

void ReportPreparation::finish() {
    while (step(std::numeric_limits<qint64>::max())) {
    }
}

bool ReportPreparation::finished() const {
    return state_->preparer->finished();
}

const PreparedReport &ReportPreparation::report() const {
    return state_->preparer->report();
}

int ReportPreparation::madePages() const {
    const int pages = report().pageCount();
    return finished() ? pages : std::max(0, pages - 1);
}

PreparedReport prepareReport(const ReportLayout &layout, ReportRows &rows) {
    Preparer preparer(layout, rows);
    while (preparer.step(std::numeric_limits<qint64>::max())) {
    }
    return preparer.take();
}

PreparedReport prepareReport(const ReportLayout &layout, Dataset &rows) {
    DatasetRows walk(rows);
    return prepareReport(layout, walk);
}

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

QVector<int> pagesToPrint(int pageCount, int first, int last, int copies, bool collate) {
    if (first <= 0 && last <= 0) {
        first = 1;
        last = pageCount;
    }
    first = std::max(first, 1);
    last = std::min(last <= 0 ? pageCount : last, pageCount);
    copies = std::max(copies, 1);
    QVector<int> sheets;
    if (collate) {
        for (int c = 0; c < copies; ++c)
            for (int p = first; p <= last; ++p)
                sheets << p - 1;
    } else {
        for (int p = first; p <= last; ++p)
            for (int c = 0; c < copies; ++c)
                sheets << p - 1;
    }
    return sheets;
}

void paintAll(const PreparedReport &report, QPagedPaintDevice &device, const QVector<int> &pages) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                     report.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    QVector<int> sheets = pages;
    if (sheets.isEmpty())
        for (int p = 0; p < report.pageCount(); ++p)
            sheets << p;
    QPainter painter(&device);
    for (int i = 0; i < sheets.size(); ++i) {
        const int p = sheets[i];
        if (i > 0)
            device.newPage();
        const QRectF page = painter.viewport();
        paintPage(painter, report, p,
                  QRectF(0, 0, page.width(), page.width() * report.pageMm.height() / report.pageMm.width()));
    }
}

bool saveReportPdf(const PreparedReport &report, const QString &path) {
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator("Piecework");
    paintAll(report, writer);
    return QFile(path).size() > 0;
}
