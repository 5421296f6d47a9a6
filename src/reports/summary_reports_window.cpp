#include "reports/summary_reports_window.h"

#include "core/formatting.h"
#include "reports/engine/background_rows.h"
#include "reports/engine/report_preview.h"
#include "reports/spreadsheet_export.h"
#include "reports/summary_report_layouts.h"
#include "ui/data_module.h"
#include "ui/date_typing.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"
#include "ui/window_lock.h"

#include <QApplication>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
// Tests take the whole prepared report instead of the preview window.
std::function<void(const PreparedReport &, const QString &)> &previewerRef() {
    static std::function<void(const PreparedReport &, const QString &)> p;
    return p;
}
} // namespace

void TForm18::setPreviewer(std::function<void(const PreparedReport &, const QString &)> previewer) {
    previewerRef() = std::move(previewer);
}

TForm18::TForm18(QWidget *parent)
    : QDialog(parent), t_Report16(forms().DataModule6->ADO_DB, "t_Report"),
      t_Report17(forms().DataModule6->ADO_DB, "t_Report"), w_Report(forms().DataModule6->ADO_DB, "w_Report"),
      i_Report(forms().DataModule6->ADO_DB, "i_Report"), XLS_Rep(forms().DataModule6->ADO_DB, "XLS_Rep") {
    setObjectName("Form18");
    setWindowTitle("Отчеты (8)");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    t_Report16.setSql(TForm16().sql);
    t_Report17.setSql(TForm17().sql);
    w_Report.setSql(TForm20().sql);
    i_Report.setSql(TForm21().sql);
    XLS_Rep.setSql(summaryExportSql());

    auto *layout = new QVBoxLayout(this);
    RadioGroup1 = boldGroupBox("Вид продукции", this);
    auto *kinds = new QVBoxLayout(RadioGroup1);
    KindAll = new QRadioButton("Все", RadioGroup1);
    KindFinished = new QRadioButton("Готовая продукция", RadioGroup1);
    KindBlanks = new QRadioButton("Заготовки", RadioGroup1);
    for (QRadioButton *b : {KindAll, KindFinished, KindBlanks})
        kinds->addWidget(b);
    KindAll->setChecked(true);
    layout->addWidget(RadioGroup1);

    GroupBox1 = boldGroupBox("Период отбора", this);
    auto *period = new QHBoxLayout(GroupBox1);
    auto date = [&](QDateEdit *&d, const char *name, const QString &caption) {
        auto *l = new QLabel(caption, GroupBox1);
        d = new QDateEdit(GroupBox1);
        acceptTypedDates(d);
        d->setObjectName(name);
        d->setCalendarPopup(true);
        d->setDisplayFormat("dd.MM.yyyy");
        l->setBuddy(d);
        period->addWidget(l);
        period->addWidget(d);
    };
    date(DTPicker1, "DTPicker1", "с");
    date(DTPicker2, "DTPicker2", "по");
    // The second date is not included: the days the reports cover are said beside the dates, so
    // that a clerk who sets the month's last day sees at once that it is left out.
    LabelCovers = new QLabel(GroupBox1);
    LabelCovers->setObjectName("LabelCovers");
    LabelCovers->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    LabelCovers->setFocusPolicy(Qt::TabFocus);
    period->addWidget(LabelCovers);
    for (QDateEdit *d : {DTPicker1, DTPicker2})
        connect(d, &QDateEdit::dateChanged, this, [this] { showCoveredDays(); });
    showCoveredDays();
    layout->addWidget(GroupBox1);

    Button4 = addPanelButton(this, layout, "Button4", "Отчет по рабочим");
    Button2 = addPanelButton(this, layout, "Button2", "Отчет по продукции");
    Button1 = addPanelButton(this, layout, "Button1", "Детальный отчет по рабочим");
    Button3 = addPanelButton(this, layout, "Button3", "Детальный отчет по продукции");
    Button6 = addPanelButton(this, layout, "Button6", "Excel (0 из 0)");
    Button5 = addPanelButton(this, layout, "Button5", "Выход");
    setTabOrder(KindAll, DTPicker1);
    setTabOrder(DTPicker1, DTPicker2);
    setTabOrder(DTPicker2, LabelCovers);
    setTabOrder(LabelCovers, Button4);
    setTabOrder(Button4, Button2);
    setTabOrder(Button2, Button1);
    setTabOrder(Button1, Button3);
    setTabOrder(Button3, Button5);
    setTabOrder(Button5, Button6);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button4, &QPushButton::clicked, this, guarded([this] { runReport(TForm16(), t_Report16); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { runReport(TForm17(), t_Report17); }));
    connect(Button1, &QPushButton::clicked, this, guarded([this] { runReport(TForm20(), w_Report); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { runReport(TForm21(), i_Report); }));
    connect(Button6, &QPushButton::clicked, this, guarded([this] { Button6Click(); }));
    connect(Button5, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm18::applyRole(Role role) {
    const bool restricted = role == Role::Foreman || role == Role::Warehouse;
    for (QPushButton *b : {Button1, Button2, Button4, Button6})
        b->setEnabled(!restricted);
    if (role == Role::Warehouse)
        setKindIndex(1);
    RadioGroup1->setEnabled(role != Role::Warehouse);
}

int TForm18::kindIndex() const {
    return KindFinished->isChecked() ? 1 : (KindBlanks->isChecked() ? 2 : 0);
}

void TForm18::setKindIndex(int index) {
    (index == 1 ? KindFinished : (index == 2 ? KindBlanks : KindAll))->setChecked(true);
}

void TForm18::bindPeriod(Dataset &query, int parameters) {
    for (int k = 1; k <= parameters; ++k)
        query.setParam(QString("data%1").arg(k), k % 2 ? DTPicker1->date() : DTPicker2->date());
}

void TForm18::applyKind(Dataset &query) {
    const int kind = kindIndex();
    query.setFilter(kind == 1 ? "naimen=0" : (kind == 2 ? "naimen=1" : ""));
    query.setFiltered(kind != 0);
}

void TForm18::showCoveredDays() {
    LabelCovers->setText(coveredDaysText(DTPicker1->date(), DTPicker2->date()));
    LabelCovers->setAccessibleName(LabelCovers->text());
}

QString TForm18::periodTitle(const QString &prefix) const {
    // The office's short date form, whatever the workstation's locale; then the days covered.
    return prefix + sqlDate(DTPicker1->date()) + " по " + sqlDate(DTPicker2->date()) + " (" +
           coveredDaysText(DTPicker1->date(), DTPicker2->date()) + ")";
}

TForm18::BoundStatement TForm18::boundStatement(const SummaryReport &report, Dataset &query) {
    query.close();
    bindPeriod(query, report.parameters);
    const int kind = kindIndex();
    return {query.sqlText(), query.boundParams(), kind == 0 ? QString() : QStringLiteral("naimen"),
            kind == 2 ? 1 : 0};
}

std::unique_ptr<ReportPreparation> TForm18::startPreparation(const SummaryReport &report, Dataset &query) {
    // The rows are read as they come and drawn at once: a year's report never holds them all.
    const BoundStatement s = boundStatement(report, query);
    auto rows = std::make_unique<QueryRows>(forms().DataModule6->portionedConnection(), s.sql, s.params,
                                            s.onlyField, s.onlyValue);
    return std::make_unique<ReportPreparation>(report.layout(periodTitle(report.titlePrefix)),
                                               std::move(rows));
}

PreparedReport TForm18::prepare(const SummaryReport &report, Dataset &query) {
    WaitCursor wait;
    std::unique_ptr<ReportPreparation> preparation = startPreparation(report, query);
    preparation->finish();
    return preparation->report();
}

void TForm18::runReport(const SummaryReport &report, Dataset &query) {
    const QString title = periodTitle(report.titlePrefix);
    if (previewerRef()) {
        previewerRef()(prepare(report, query), title);
        return;
    }
    // The statement runs on a connection of its own while the window says that it works and can
    // stop it: a big year takes seconds before its first row.
    const BoundStatement s = boundStatement(report, query);
    auto rows = std::make_unique<BackgroundRows>(forms().DataModule6->portionedConnectionString(), s.sql,
                                                 s.params, s.onlyField, s.onlyValue);
    if (!waitForStatement(*rows, title))
        return;
    rows->throwIfFailed();
    auto preparation = std::make_unique<ReportPreparation>(report.layout(title), std::move(rows));
    {
        WaitCursor wait;
        preparation->makeFirstPage();
    }
    previewReport(std::move(preparation), title);
}

void TForm18::Button6Click() {
    const WindowLock lock(this);
    XLS_Rep.close();
    bindPeriod(XLS_Rep, 2);
    applyKind(XLS_Rep);
    XLS_Rep.open();
    SpreadsheetApp &app = sharedSpreadsheetApp();
    if (SpreadsheetExport::OpenWorkbook(app, "") == -1) {
        XLS_Rep.close();
        return;
    }
    using SpreadsheetExport::WriteCell;
    const int lines = XLS_Rep.recordCount();
    Button6->setText(QString("Excel (0 из %1)").arg(lines));
    const QStringList headings{"Наименование", "Операция", "Вид продукции", "Коробки", "Кол-во"};
    for (int c = 0; c < headings.size(); ++c)
        WriteCell(app, 1, c + 1, 1, headings[c]);
    int row = 2;
    const QChar point = QLocale().decimalPoint().at(0);
    for (XLS_Rep.first(); !XLS_Rep.eof(); XLS_Rep.next(), ++row) {
        const int color = XLS_Rep.asInt("color");
        QString operation = XLS_Rep.text("vid").trimmed();
        if (color > 0)
            operation += color == 1 ? QString(" (грунт)") : QString(" (цвет: %1)").arg(color);
        WriteCell(app, 1, 1, row, XLS_Rep.text("nom"));
        WriteCell(app, 1, 2, row, operation);
        WriteCell(app, 1, 3, row, productKindName(XLS_Rep.asInt("naimen")));
        WriteCell(app, 1, 4, row, shortestNumber(XLS_Rep.asDouble("mass"), point));
        WriteCell(app, 1, 5, row, QString::number(qRound64(XLS_Rep.asDouble("kolvo"))));
        Button6->setText(QString("Excel (%1 из %2)").arg(row - 1).arg(lines));
        QApplication::processEvents();
    }
    SpreadsheetExport::SetVisible(app, true);
    XLS_Rep.close();
}
