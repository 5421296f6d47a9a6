#pragma once
// The preview of a prepared report: opens maximised at page width, pages through the report,
// zooms, prints through the system print dialog and saves the same pages as a PDF. Only the page
// in view is painted.
#include "reports/engine/report_engine.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;
class QSpinBox;
class ReportPageView;

class ReportPreview : public QDialog {
    Q_OBJECT
public:
    ReportPreview(PreparedReport report, const QString &title, QWidget *parent = nullptr);

    const PreparedReport &report() const { return report_; }
    int currentPage() const; // 0-based
    void showPage(int page);
    // Zoom: 0 fits the page width, otherwise a percentage.
    void setZoom(int percent);

    QPushButton *PrintButton;
    QPushButton *PdfButton;
    QPushButton *CloseButton;
    QSpinBox *PageBox;
    QComboBox *ZoomBox;

    // Writes the PDF; a message when it cannot.
    bool savePdf(const QString &path);

protected:
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void print();
    void askAndSavePdf();
    void layoutPage();

    PreparedReport report_;
    QScrollArea *scroll_;
    ReportPageView *view_;
    QLabel *pageCount_;
    int zoom_ = 0;
};

// Prints the report as the print dialog set the printer up: its page range and its copies (made
// here when the printer does not make them itself).
void printReport(const PreparedReport &report, QPrinter &printer);

// Shows a prepared report in the preview, modally.
void previewReport(const PreparedReport &report, const QString &title);
