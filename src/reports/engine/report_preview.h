#pragma once
// The preview of a prepared report: opens maximised at page width, pages through the report,
// zooms, prints through the system print dialog and saves the same pages as a PDF. Only the page
// in view is painted.
#include "reports/engine/report_engine.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTimer;
class ReportPageView;

class ReportPreview : public QDialog {
    Q_OBJECT
public:
    ReportPreview(PreparedReport report, const QString &title, QWidget *parent = nullptr);
    // Shows the pages while the rest are made, a portion of rows at a time between events; the
    // user reads, or stops the work, which keeps what is made and marks the report incomplete.
    ReportPreview(std::unique_ptr<ReportPreparation> preparation, const QString &title,
                  QWidget *parent = nullptr);
    ~ReportPreview() override;

    const PreparedReport &report() const { return *report_; }
    // The pages shown: all of them once the report is complete.
    int shownPages() const;
    bool complete() const { return !preparation_ || preparation_->finished(); }
    bool stopped() const { return stopped_; }
    // Makes the next portion of rows; false when there is nothing left to make.
    bool prepareMore();
    void stop();
    int currentPage() const; // 0-based
    void showPage(int page);
    // Zoom: 0 fits the page width, otherwise a percentage.
    void setZoom(int percent);

    QPushButton *PrintButton;
    QPushButton *PdfButton;
    QPushButton *CloseButton;
    QSpinBox *PageBox;
    QComboBox *ZoomBox;
    QPushButton *StopButton; // "Остановить", while pages are being made
    QLabel *StateLabel;      // says that pages are being made, or that the report is incomplete

    // Writes the PDF; a message when it cannot.
    bool savePdf(const QString &path);

protected:
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void print();
    void askAndSavePdf();
    void layoutPage();

    void build(const QString &title);
    void showProgress();
    // Print and PDF only of a whole report: a partial one would look complete on paper.
    bool refusedAsIncomplete();

    PreparedReport own_;
    std::unique_ptr<ReportPreparation> preparation_;
    const PreparedReport *report_ = nullptr;
    QTimer *work_ = nullptr;
    bool stopped_ = false;
    QScrollArea *scroll_;
    ReportPageView *view_;
    QLabel *pageCount_;
    int zoom_ = 0;
};

// Prints the report as the print dialog set the printer up: its page range and its copies (made
// here when the printer does not make them itself).
void printReport(const PreparedReport &report, QPrinter &printer);

// Shows a prepared report in the preview, modally.
void previewReport(std::unique_ptr<ReportPreparation> preparation, const QString &title);
void previewReport(const PreparedReport &report, const QString &title);
