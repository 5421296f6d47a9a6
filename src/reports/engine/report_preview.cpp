#include "reports/engine/report_preview.h"

#include "ui/guard.h"
#include "ui/seams.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

// One page, painted when it is shown.
class ReportPageView : public QWidget {
public:
    ReportPageView(const PreparedReport &report, QWidget *parent) : QWidget(parent), report_(report) {
        setAccessibleName("Страница отчета");
    }
    int page = 0;

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        paintPage(painter, report_, page, QRectF(rect()));
    }

private:
    const PreparedReport &report_;
};

namespace {
// Rows made between two turns of the event loop: small enough to keep the window responsive.
constexpr qint64 kRowsAtATime = 400;
} // namespace

ReportPreview::ReportPreview(PreparedReport report, const QString &title, QWidget *parent)
    : QDialog(parent), own_(std::move(report)) {
    report_ = &own_;
    build(title);
}

ReportPreview::ReportPreview(std::unique_ptr<ReportPreparation> preparation, const QString &title,
                             QWidget *parent)
    : QDialog(parent), preparation_(std::move(preparation)) {
    report_ = &preparation_->report();
    build(title);
    work_ = new QTimer(this);
    work_->setInterval(0);
    connect(work_, &QTimer::timeout, this, [this] {
        if (!prepareMore())
            work_->stop();
    });
    if (!complete())
        work_->start();
}

ReportPreview::~ReportPreview() = default;

int ReportPreview::shownPages() const {
    return std::max(1, preparation_ ? preparation_->madePages() : report_->pageCount());
}

bool ReportPreview::prepareMore() {
    if (complete() || stopped_)
        return false;
    bool failed = true;
    // A failed read ends the preview with its message: a part of a report is never left
    // looking like the whole.
    runGuarded([&] {
        preparation_->step(kRowsAtATime);
        failed = false;
    });
    if (failed) {
        stopped_ = true;
        reject();
        return false;
    }
    showProgress();
    return !complete();
}

void ReportPreview::stop() {
    if (complete())
        return;
    stopped_ = true;
    if (work_)
        work_->stop();
    showProgress();
}

void ReportPreview::showProgress() {
    const int pages = shownPages();
    PageBox->setMaximum(pages);
    pageCount_->setText(QString("из %1").arg(pages));
    StopButton->setVisible(!complete() && !stopped_);
    if (complete())
        StateLabel->clear();
    else if (stopped_)
        StateLabel->setText(QStringLiteral("Отчет неполный: подготовка остановлена"));
    else
        StateLabel->setText(QStringLiteral("Отчет готовится…"));
    PrintButton->setEnabled(complete());
    PdfButton->setEnabled(complete());
}

bool ReportPreview::refusedAsIncomplete() {
    if (complete())
        return false;
    showError(
        stopped_
            ? QStringLiteral("Отчет неполный: подготовка остановлена. Печать и PDF только полного отчета.")
            : QStringLiteral("Отчет еще готовится. Печать и PDF станут доступны, когда он будет готов."),
        QStringLiteral("Ошибка"));
    return true;
}

void ReportPreview::build(const QString &title) {
    setObjectName("ReportPreview");
    setWindowTitle(title.trimmed().isEmpty() ? QStringLiteral("Просмотр") : title.trimmed());
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    auto *layout = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    PrintButton = new QPushButton("Печать", this);
    PdfButton = new QPushButton("Сохранить PDF", this);
    auto *pageLabel = new QLabel("Страница", this);
    PageBox = new QSpinBox(this);
    PageBox->setRange(1, shownPages());
    pageLabel->setBuddy(PageBox);
    pageCount_ = new QLabel(QString("из %1").arg(shownPages()), this);
    auto *zoomLabel = new QLabel("Масштаб", this);
    ZoomBox = new QComboBox(this);
    ZoomBox->addItem("По ширине", 0);
    for (int z : {50, 75, 100, 150, 200})
        ZoomBox->addItem(QString("%1%").arg(z), z);
    zoomLabel->setBuddy(ZoomBox);
    CloseButton = new QPushButton("Закрыть", this);
    StopButton = new QPushButton("Остановить", this);
    StateLabel = new QLabel(this);
    for (QPushButton *b : {PrintButton, PdfButton, CloseButton, StopButton})
        b->setAutoDefault(false);
    bar->addWidget(PrintButton);
    bar->addWidget(PdfButton);
    bar->addSpacing(20);
    bar->addWidget(pageLabel);
    bar->addWidget(PageBox);
    bar->addWidget(pageCount_);
    bar->addSpacing(20);
    bar->addWidget(zoomLabel);
    bar->addWidget(ZoomBox);
    bar->addSpacing(20);
    bar->addWidget(StateLabel);
    bar->addWidget(StopButton);
    bar->addStretch(1);
    bar->addWidget(CloseButton);
    layout->addLayout(bar);
    scroll_ = new QScrollArea(this);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignHCenter);
    view_ = new ReportPageView(*report_, scroll_);
    scroll_->setWidget(view_);
    // Fitting the width follows the visible area, whenever it changes size.
    scroll_->viewport()->installEventFilter(this);
    layout->addWidget(scroll_, 1);

    connect(PrintButton, &QPushButton::clicked, this, guarded([this] { print(); }));
    connect(PdfButton, &QPushButton::clicked, this, guarded([this] { askAndSavePdf(); }));
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(StopButton, &QPushButton::clicked, this, [this] { stop(); });
    connect(PageBox, &QSpinBox::valueChanged, this, [this](int p) { showPage(p - 1); });
    connect(ZoomBox, &QComboBox::currentIndexChanged, this,
            [this](int i) { setZoom(ZoomBox->itemData(i).toInt()); });
    resize(1000, 800);
    setWindowState(Qt::WindowMaximized);
    layoutPage();
    showProgress();
}

int ReportPreview::currentPage() const {
    return view_->page;
}

void ReportPreview::showPage(int page) {
    view_->page = std::clamp(page, 0, shownPages() - 1);
    if (PageBox->value() != view_->page + 1)
        PageBox->setValue(view_->page + 1);
    scroll_->verticalScrollBar()->setValue(0);
    view_->update();
}

void ReportPreview::setZoom(int percent) {
    zoom_ = percent;
    layoutPage();
}

void ReportPreview::resizeEvent(QResizeEvent *e) {
    QDialog::resizeEvent(e);
    layoutPage();
}

bool ReportPreview::eventFilter(QObject *watched, QEvent *e) {
    if (watched == scroll_->viewport() && e->type() == QEvent::Resize && zoom_ == 0)
        layoutPage();
    return QDialog::eventFilter(watched, e);
}

void ReportPreview::layoutPage() {
    const QSizeF pageMm = report_->pageMm;
    const double ratio = pageMm.height() / pageMm.width();
    int width;
    if (zoom_ == 0)
        width = std::max(200, scroll_->viewport()->width() - 2);
    else
        width = int(pageMm.width() / 25.4 * logicalDpiX() * zoom_ / 100.0);
    view_->setFixedSize(width, int(width * ratio));
    view_->update();
}

void ReportPreview::print() {
    if (refusedAsIncomplete())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setFromTo(1, report_->pageCount());
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, report_->pageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (printer.printRange() == QPrinter::CurrentPage)
        printer.setFromTo(currentPage() + 1, currentPage() + 1);
    printReport(*report_, printer);
}

void printReport(const PreparedReport &report, QPrinter &printer) {
    const bool range =
        printer.printRange() == QPrinter::PageRange || printer.printRange() == QPrinter::CurrentPage;
    const int copies = printer.supportsMultipleCopies() ? 1 : printer.copyCount();
    const QVector<int> sheets = pagesToPrint(report.pageCount(), range ? printer.fromPage() : 0,
                                             range ? printer.toPage() : 0, copies, printer.collateCopies());
    if (sheets.isEmpty())
        return;
    paintAll(report, printer, sheets);
}

bool ReportPreview::savePdf(const QString &path) {
    if (refusedAsIncomplete())
        return false;
    if (saveReportPdf(*report_, path))
        return true;
    showError(QStringLiteral("Не удалось записать файл %1").arg(QDir::toNativeSeparators(path)));
    return false;
}

void ReportPreview::askAndSavePdf() {
    if (refusedAsIncomplete())
        return;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = QFileDialog::getSaveFileName(this, "Сохранить PDF",
                                                      folder + "/" + windowTitle() + ".pdf", "PDF (*.pdf)");
    if (!path.isEmpty())
        savePdf(path);
}

void previewReport(std::unique_ptr<ReportPreparation> preparation, const QString &title) {
    ReportPreview preview(std::move(preparation), title);
    showModal(&preview);
}

void previewReport(const PreparedReport &report, const QString &title) {
    ReportPreview preview(report, title);
    showModal(&preview);
}
