#pragma once
// Preparation turns a layout and an open dataset into pages of drawn items, once; the preview, the
// printer and a PDF all paint those same pages, and tests read them.
#include "reports/engine/report_layout.h"

#include "core/database.h"

#include <QSizeF>
#include <memory>

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

// The rows a report is prepared from, walked once: the current row and the one before it (a group
// footer shows the last row of its group) are all that is held.
// A column of this type is summed and shown as a number.
bool isNumericType(int metaType);

// A row's field against the one value a report keeps: as numbers when both are ("1" and "1.0").
bool sameValue(const QString &value, const QString &wanted);

class ReportRows {
public:
    virtual ~ReportRows() = default;
    // Moves on; the row left becomes the previous one. False after the last row.
    virtual bool next() = 0;
    virtual int fieldIndex(const QString &name) const = 0;
    virtual int fieldCount() const = 0;
    virtual bool numeric(int column) const = 0;
    virtual QVariant current(int column) const = 0;
    virtual QVariant previous(int column) const = 0;
};

// The rows of an open dataset, as its filter shows them.
class DatasetRows : public ReportRows {
public:
    explicit DatasetRows(Dataset &rows) : rows_(rows) {}
    bool next() override;
    int fieldIndex(const QString &name) const override;
    int fieldCount() const override;
    bool numeric(int column) const override;
    QVariant current(int column) const override;
    QVariant previous(int column) const override;

private:
    Dataset &rows_;
    int at_ = -1;
};

// The rows of a statement read as they come, never all held: a year's report stays small. A read
// that fails midway throws DbError: a report of the rows read so far would look complete.
// Optionally only the rows whose field equals a value (the reports' product kind).
class QueryRows : public ReportRows {
public:
    QueryRows(Database &db, const QString &sql, const SqlParams &params, const QString &onlyField = {},
              const QVariant &onlyValue = {});
    bool next() override;
    int fieldIndex(const QString &name) const override;
    int fieldCount() const override;
    bool numeric(int column) const override;
    QVariant current(int column) const override;
    QVariant previous(int column) const override;

private:
    Database &db_;
    QSqlQuery query_;
    QStringList fields_;
    QVector<bool> numeric_;
    QVector<QVariant> current_, previous_;
    int only_ = -1;
    QString onlyValue_;
};

// Expressions that do not parse throw ReportError.
PreparedReport prepareReport(const ReportLayout &layout, ReportRows &rows);

// A preparation made a portion of rows at a time, so that the preview can show the first page
// while the rest are made. It owns its layout and rows (a cursor stays open until it is gone).
class ReportPreparation {
public:
    ReportPreparation(ReportLayout layout, std::unique_ptr<ReportRows> rows);
    ~ReportPreparation();
    ReportPreparation(const ReportPreparation &) = delete;
    ReportPreparation &operator=(const ReportPreparation &) = delete;

    // Prepares up to this many more rows; false once the report is complete. Throws as
    // prepareReport does (a failed read, a bad layout).
    bool step(qint64 rows);
    // Prepares until the first page is whole (or the report complete): what the preview opens on.
    void makeFirstPage();
    void finish();
    bool finished() const;
    // The pages so far; the last one is still being filled until the report is complete.
    const PreparedReport &report() const;
    // Pages that are whole: all of them once complete, else all but the one being filled.
    int madePages() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};
PreparedReport prepareReport(const ReportLayout &layout, Dataset &rows);

// A text made to fit a cell of the given width: the item's size when it fits, else a smaller size
// down to a readable floor, and past that the floor size with the end cut to an ellipsis.
struct FittedText {
    QString text;
    double pt;
};
FittedText fitText(const QString &text, double pt, bool bold, double widthMm);

// Paints page (0-based) into target, scaled to its width; each text fitted to its cell.
void paintPage(QPainter &painter, const PreparedReport &report, int page, const QRectF &target);
// Paints every page onto a printer or a PDF writer, one sheet each; or only the pages listed
// (0-based, in that order, a page listed twice printed twice).
void paintAll(const PreparedReport &report, QPagedPaintDevice &device, const QVector<int> &pages = {});
// The sheets a print dialog asked for: pages first..last (1-based; 0 for all), copies times,
// collated (1 2 3 1 2 3) or not (1 1 2 2 3 3).
QVector<int> pagesToPrint(int pageCount, int first, int last, int copies, bool collate);
// Writes the pages as a PDF with real text; false when the file cannot be written.
bool saveReportPdf(const PreparedReport &report, const QString &path);
