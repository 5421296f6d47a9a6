#pragma once
// Preparation turns a layout and its rows into pages of drawn items, once: the bands in their
// order, the groups with their sums, the pages with their header and footer.
#include "reports/engine/prepared_report.h"
#include "reports/engine/report_layout.h"
#include "reports/engine/report_rows.h"

#include <memory>

class Dataset;

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
