#include "reports/engine/report_preparation.h"

#include "reports/engine/expression.h"

#include <QHash>
#include <limits>
#include <memory>

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
