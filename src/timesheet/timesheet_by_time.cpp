#include "timesheet/timesheet_by_time.h"

#include "core/formatting.h"
#include "reports/engine/report_engine.h"
#include "reports/engine/report_preview.h"
#include "reports/printed_timesheet.h"
#include "reports/spreadsheet_export.h"
#include "timesheet/month_rebuild.h"
#include "ui/data_module.h"
#include "ui/dataset_model.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"
#include "ui/window_lock.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kOvertimeBack(192, 220, 192);
const QColor kTotalBack(225, 228, 255);
} // namespace

TForm19::TForm19(QWidget *parent) : QDialog(parent), H_Tabel(forms().DataModule6->ADO_DB, "H_Tabel") {
    setObjectName("Form19");
    setWindowTitle("Табель по времени");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    H_Tabel.setSql(TForm15::sql());
    TDataModule6 &dm = *forms().DataModule6;

    auto *layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    layout->addWidget(PageControl1, 1);

    QVector<GridColumn> columns{{"fio", "Фамилия И. О.", 208}};
    for (int d = 1; d <= 31; ++d)
        columns.append({QString("d%1").arg(d), QString::number(d), 20, Qt::AlignCenter});
    columns.append({"summ", "Итого", 47, Qt::AlignCenter});
    Dataset *views[] = {&dm.H_Tabel_1, &dm.H_Tabel_2, &dm.H_Tabel_3};
    for (int k = 0; k < 3; ++k) {
        auto *page = new QWidget(PageControl1);
        auto *pageLayout = new QVBoxLayout(page);
        auto *grid = new QTableView(page);
        grid->setObjectName(QString("DBGrid%1").arg(k + 1));
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        grid->setSelectionBehavior(QAbstractItemView::SelectItems);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->verticalHeader()->setVisible(false);
        grid->verticalHeader()->setDefaultSectionSize(20);
        useOfficeGridFont(grid);
        // Two digits in a 20-pixel day column show whole, not as "...".
        grid->setTextElideMode(Qt::ElideNone);
        pageLayout->addWidget(grid, 1);
        auto *model = new DatasetModel(views[k], columns, this);
        const QPalette palette = grid->palette();
        // The day of a column (1..31), 0 for the other columns.
        auto dayOf = [](const GridColumn &col) {
            return col.field.startsWith('d') ? col.field.mid(1).toInt() : 0;
        };
        model->setCellStyle(
            [this, model, dayOf, palette](int row, const GridColumn &col, int role) -> QVariant {
                if (col.field == QLatin1String("summ")) {
                    if (role == Qt::FontRole) {
                        QFont f;
                        f.setBold(true);
                        return f;
                    }
                    return role == Qt::BackgroundRole ? QVariant(kTotalBack) : QVariant();
                }
                const int day = dayOf(col);
                if (day == 0)
                    return {};
                const QDate first(year(), month(), 1);
                const bool inside = day <= first.daysInMonth();
                const bool weekend = inside && isWeekend(QDate(year(), month(), day));
                const int v = model->cellText(row, col.field).toInt();
                switch (role) {
                case Qt::ForegroundRole:
                    if (!inside)
                        return palette.color(QPalette::Base);
                    if (weekend)
                        return QColor(Qt::red);
                    return v == 0 ? QVariant(kSilver) : QVariant();
                case Qt::FontRole:
                    if (v >= 8) {
                        QFont f;
                        f.setBold(true);
                        return f;
                    }
                    return {};
                case Qt::BackgroundRole:
                    return v > 8 ? QVariant(kOvertimeBack) : QVariant();
                default:
                    return {};
                }
            });
        model->setHeaderStyle([this, dayOf, columns](int column, int role) -> QVariant {
            const int day = dayOf(columns[column]);
            if (role != Qt::ForegroundRole || day == 0)
                return {};
            if (day > QDate(year(), month(), 1).daysInMonth())
                return kSilver;
            return isWeekend(QDate(year(), month(), day)) ? QVariant(QColor(Qt::red)) : QVariant();
        });
        model->attach(grid);
        models_.append(model);
        grids_.append(grid);
        PageControl1->addTab(page, QString("Смена №%1").arg(k + 1));
        if (k == 0) {
            auto *tools = new QHBoxLayout;
            Button1 = new QPushButton("Перестроить", page);
            Button1->setObjectName("Button1");
            PB = new QProgressBar(page);
            PB->setObjectName("PB");
            PB->setAccessibleName("Перестроение месяца");
            PB->hide();
            Button2 = new QPushButton("Excel", page);
            Button2->setObjectName("Button2");
            tools->addWidget(Button1);
            tools->addWidget(PB, 1);
            tools->addStretch(1);
            tools->addWidget(Button2);
            pageLayout->addLayout(tools);
        }
    }
    DBGrid1 = grids_[0];
    DBGrid2 = grids_[1];
    DBGrid3 = grids_[2];

    auto *bottom = new QHBoxLayout;
    Button6 = new QPushButton("Печать", this);
    Button6->setObjectName("Button6");
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->addItems(monthNames());
    ComboBox1->setAccessibleName("Месяц");
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName("ComboBox2");
    ComboBox2->setAccessibleName("Год");
    // From 2007 to the year after this one, so that the list never runs out.
    for (int y = 2007; y <= today().year() + 1; ++y)
        ComboBox2->addItem(QString::number(y));
    Button5 = new QPushButton("Обновить", this);
    Button5->setObjectName("Button5");
    Button4 = new QPushButton("Выход", this);
    Button4->setObjectName("Button4");
    bottom->addWidget(Button6);
    bottom->addWidget(ComboBox1);
    bottom->addWidget(ComboBox2);
    bottom->addWidget(Button5);
    bottom->addStretch(1);
    bottom->addWidget(Button4);
    layout->addLayout(bottom);
    for (QPushButton *b : {Button1, Button2, Button6, Button5, Button4})
        b->setAutoDefault(false);
    setFixedSize(1000, 600);

    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button6, &QPushButton::clicked, this, guarded([this] { Button6Click(); }));
    connect(Button5, &QPushButton::clicked, this, guarded([this] { Button5Click(); }));
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, guarded([this] { monthRefresh(); }));
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, guarded([this] { monthRefresh(); }));
}

int TForm19::month() const {
    return ComboBox1->currentIndex() + 1;
}

int TForm19::year() const {
    return ComboBox2->currentText().toInt();
}

void TForm19::chooseMonth(const QDate &date) {
    {
        const QSignalBlocker quietMonth(ComboBox1);
        const QSignalBlocker quietYear(ComboBox2);
        ComboBox1->setCurrentIndex(date.month() - 1);
        const QString wanted = QString::number(date.year());
        // The look-up ends in every case: a year the list lacks is added in its place.
        if (ComboBox2->findText(wanted) < 0) {
            int at = 0;
            while (at < ComboBox2->count() && ComboBox2->itemText(at).toInt() < date.year())
                ++at;
            ComboBox2->insertItem(at, wanted);
        }
        ComboBox2->setCurrentIndex(ComboBox2->findText(wanted));
    }
    monthRefresh();
}

void TForm19::launch(const QDate &date) {
    chooseMonth(date);
    showModal(this);
    TDataModule6 &dm = *forms().DataModule6;
    for (Dataset *v : {&dm.H_Tabel_1, &dm.H_Tabel_2, &dm.H_Tabel_3})
        v->close();
}

void TForm19::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    Button2->setText("Excel");
}

void TForm19::monthRefresh() {
    TDataModule6 &dm = *forms().DataModule6;
    const QDate first(year(), month(), 1);
    Dataset *views[] = {&dm.H_Tabel_1, &dm.H_Tabel_2, &dm.H_Tabel_3};
    for (int k = 0; k < 3; ++k) {
        Dataset &v = *views[k];
        v.close();
        v.setParam("mnth", month());
        v.setParam("yea", year());
        v.setParam("date1", first);
        v.setParam("date2", first.addMonths(1));
        v.open();
        models_[k]->restyle();
    }
}

void TForm19::Button5Click() {
    TDataModule6 &dm = *forms().DataModule6;
    for (Dataset *v : {&dm.H_Tabel_1, &dm.H_Tabel_2, &dm.H_Tabel_3}) {
        v->close();
        v->open();
    }
}

void TForm19::Button1Click() {
    TDataModule6 &dm = *forms().DataModule6;
    for (Dataset *v : {&dm.H_Tabel_1, &dm.H_Tabel_2, &dm.H_Tabel_3})
        v->close();
    runThenReopen({&dm.H_Tabel_1, &dm.H_Tabel_2, &dm.H_Tabel_3},
                  [&] { RebuildShiftRows(dm, month(), year(), PB); });
}

void TForm19::openH_Tabel() {
    H_Tabel.close();
    H_Tabel.setParam("mnth", month());
    H_Tabel.setParam("yea", year());
    H_Tabel.open();
}

void TForm19::Button6Click() {
    openH_Tabel();
    const QString title = ComboBox1->currentText() + ' ' + ComboBox2->currentText() + " г.";
    const PreparedReport report = prepareReport(TForm15::layout(title), H_Tabel);
    H_Tabel.close();
    previewReport(report, title);
}

void TForm19::Button2Click() {
    const WindowLock lock(this);
    openH_Tabel();
    SpreadsheetApp &app = shiftTimesheetSpreadsheetApp();
    if (SpreadsheetExport::OpenWorkbook(app, "") == -1) {
        H_Tabel.close();
        return;
    }
    using SpreadsheetExport::WriteCell;
    SpreadsheetExport::SetVisible(app, false);
    const int lines = H_Tabel.recordCount();
    Button2->setText(QString("Excel (0 из %1)").arg(lines));
    const CellOptions heading{true, true, true};
    WriteCell(app, 1, 1, 1, ComboBox1->currentText() + ' ' + ComboBox2->currentText(), heading);
    WriteCell(app, 1, 1, 2, "Фамилия И.О.", heading);
    for (int d = 1; d <= 31; ++d)
        WriteCell(app, 1, 1 + d, 2, QString::number(d), {false, true, true});
    WriteCell(app, 1, 33, 2, "Итого", heading);
    int row = 3, written = 0;
    for (H_Tabel.first(); !H_Tabel.eof(); H_Tabel.next(), ++row) {
        WriteCell(app, 1, 1, row, H_Tabel.text("fio"), {true, true, false});
        qint64 total = 0;
        for (int d = 1; d <= 31; ++d) {
            const QVariant v = H_Tabel.value(QString("sd%1").arg(d));
            WriteCell(app, 1, 1 + d, row, displayText(v, QMetaType::Double), {false, true, false});
            total += v.isNull() ? 0 : qRound64(v.toString().toDouble());
        }
        WriteCell(app, 1, 33, row, QString::number(total), {false, true, false});
        Button2->setText(QString("Excel (%1 из %2)").arg(++written).arg(lines));
        QApplication::processEvents();
    }
    SpreadsheetExport::SetVisible(app, true);
    H_Tabel.close();
}
