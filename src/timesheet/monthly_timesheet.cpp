#include "timesheet/monthly_timesheet.h"

#include "core/db_error.h"
#include "core/formatting.h"
#include "reports/spreadsheet_export.h"
#include "timesheet/month_rebuild.h"
#include "ui/data_module.h"
#include "ui/dataset_model.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/input_checks.h"
#include "ui/seams.h"
#include "ui/window_lock.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

namespace {
// Grid columns: the name, the night flag, days 1..31, then money, hours and money per hour.
constexpr int kNameColumn = 0;
constexpr int kNightColumn = 1;
constexpr int kFirstDayColumn = 2;
constexpr int kPerHourColumn = 35;
constexpr int kNameWidth = 208;
constexpr int kDayWidth = 20;

QStringList dayLines() {
    QStringList lines;
    for (int d = 1; d <= 31; ++d)
        lines << QString("\tsum(h.d%1)\td%1%2").arg(d).arg(d < 31 ? "," : "");
    return lines;
}

QString householdSql(int type) {
    const QString t = QString::number(type);
    QStringList lines{
        "select p.s_caption fio, p.id,h.i_type, case when h.i_night=0 then 'дн.' else 'ноч.' end as s_night, "
        "h.i_night,",
        "(select sum(f.cnt) from accounts_dep.fatigue f where f.d_date<:d_date1 and f.d_date>=:d_date2 and "
        "f.id_p=p.id and f.id_o=" +
            t + " and f.i_night=h.i_night) i_time,",
        "(select sum(f.cnt*f.price)::numeric(10,2) from accounts_dep.fatigue f where f.d_date<:d_date3 and "
        "f.d_date>=:d_date4 and f.id_p=p.id and f.id_o=" +
            t + " and f.i_night=h.i_night) f_price,",
        "(select case when coalesce(sum(f.cnt),0)::numeric(10,2)=0 then 0 else "
        "coalesce(sum((f.cnt*f.price))/sum(f.cnt),0)::numeric(10,2) end ",
        "from accounts_dep.fatigue f where f.d_date<:d_date5 and f.d_date>=:d_date6 and f.id_p=p.id and "
        "f.id_o=" +
            t + " and f.i_night=h.i_night) average_price,",
    };
    lines << dayLines();
    lines << "from  cmn_contractor.person p, accounts_dep.h_tabel h"
          << "where h.year=:i_year and h.month=:i_month and h.w_id=p.id and i_type=" + t + " "
          << "group by p.id, p.s_caption, h.i_type, h.i_night"
          << "order by fio";
    return lines.join('\n');
}

// The piece sums match a worker's records through the integer id, so that the records' index on
// (w_id, data) serves each line.
// Piece money is summed with the unit price read as the exact decimal it was written as (4
// decimals), so that a month's sum of many records cannot drift in binary floating point.
const char *const kPieceMoney = "(s.kol_vo-s.brak)*s.cena::numeric";
} // namespace

QString TForm27::viewSql(Mode mode) {
    const QString money = kPieceMoney;
    QStringList lines;
    switch (mode) {
    case Piecework:
        lines
            << "select p.s_caption fio, p.id,h.i_type,"
            << "(select sum(s.time) from accounts_dep.smena s where s.data<:d_date1 and s.data>=:d_date2 and "
               "s.w_id=p.id::integer) i_time,"
            << "(select sum(" + money +
                   ")::numeric(10,2)from accounts_dep.smena s where s.data<:d_date3 and s.data>=:d_date4 and "
                   "s.w_id=p.id::integer) f_price,"
            << "(select case when coalesce(sum(s.time),0)::numeric(10,2)=0 then 0 else coalesce(sum(" +
                   money +
                   ")/sum(time),0)::numeric(10,2) end from accounts_dep.smena s where s.data<:d_date5 and "
                   "s.data>=:d_date6 and s.w_id=p.id::integer) average_price,";
        lines << dayLines();
        lines << "from  cmn_contractor.person p, accounts_dep.h_tabel h"
              << "where h.year=:i_year and h.month=:i_month and h.w_id=p.id and i_type=0"
              << "group by p.id, p.s_caption, h.i_type"
              << "order by fio";
        return lines.join('\n');
    case Household:
        return householdSql(7777);
    case AveragePiece:
        return householdSql(7778);
    case Overall:
        lines
            << "select p.s_caption fio, p.id,"
            << "coalesce((select sum(s.time) from accounts_dep.smena s where s.data<:d_date1 and "
               "s.data>=:d_date2 and s.w_id=p.id::integer),0)+"
            << "coalesce((select sum(f.cnt) from accounts_dep.fatigue f where f.d_date<:d_date7 and "
               "f.d_date>=:d_date8 and f.id_p=p.id),0) i_time,"
            << "coalesce((select sum(" + money +
                   ")::numeric(10,2)from accounts_dep.smena s where s.data<:d_date3 and s.data>=:d_date4 and "
                   "s.w_id=p.id::integer),0)+ "
            << "coalesce((select sum(f.cnt*f.price)::numeric(10,2)from accounts_dep.fatigue f where "
               "f.d_date<:d_date5 and f.d_date>=:d_date6 and f.id_p=p.id),0) f_price,";
        lines << dayLines();
        lines << "from  cmn_contractor.person p, accounts_dep.h_tabel h"
              << "where h.year=:i_year and h.month=:i_month and h.w_id=p.id"
              << "group by p.id, p.s_caption"
              << "order by fio"
              << "";
        return lines.join('\n');
    }
    return {};
}

TForm27::TForm27(QWidget *parent)
    : QDialog(parent), H_Tabel0(forms().DataModule6->ADO_DB, "H_Tabel0"),
      H_Tabel7777(forms().DataModule6->ADO_DB, "H_Tabel7777"),
      H_Tabel7778(forms().DataModule6->ADO_DB, "H_Tabel7778"),
      H_Tabel_all(forms().DataModule6->ADO_DB, "H_Tabel_all"), q_year(forms().DataModule6->ADO_DB, "q_year"),
      price8(forms().DataModule6->ADO_DB, "price8"), price7(forms().DataModule6->ADO_DB, "price7"),
      price(forms().DataModule6->ADO_DB, "price"), all_price(forms().DataModule6->ADO_DB, "all_price") {
    setObjectName("Form27");
    H_Tabel0.setSql({viewSql(Piecework)});
    H_Tabel7777.setSql({viewSql(Household)});
    H_Tabel7778.setSql({viewSql(AveragePiece)});
    H_Tabel_all.setSql({viewSql(Overall)});
    q_year.setSql({"select distinct ht.year from accounts_dep.h_tabel ht order by year"});
    price8.setSql({"select sum(f.cnt*f.price)::numeric(100,2) as price from accounts_dep.fatigue f where "
                   "f.d_date<:d_date1 and f.d_date>=:d_date2 and f.cnt>0 and f.price>0 and f.id_o=7778"});
    price7.setSql({"select sum(f.cnt*f.price)::numeric(100,2) as price from accounts_dep.fatigue f where "
                   "f.d_date<:d_date1 and f.d_date>=:d_date2 and f.cnt>0 and f.price>0 and f.id_o=7777"});
    price.setSql({QString("select sum(%1)::numeric(100,2) as price from accounts_dep.smena s where "
                          "s.data<:d_date1 and s.data>=:d_date2 and s.cena>0 and s.kol_vo>0")
                      .arg(kPieceMoney)});
    all_price.setSql(
        {QString("select (coalesce((select sum(%1) from accounts_dep.smena s where s.data<:d_date1 "
                 "and s.data>=:d_date2 and s.cena>0 and s.kol_vo>0),0)+coalesce((select "
                 "sum(f.cnt*f.price) from accounts_dep.fatigue f where f.d_date<:d_date3 and "
                 "f.d_date>=:d_date4 and f.cnt>0 and f.price>0),0))::numeric(20,2) as price")
             .arg(kPieceMoney)});

    auto *layout = new QVBoxLayout(this);
    DBGrid = newRowGrid(this, "DBGrid");
    DBGrid->setItemDelegate(new OwnColourDelegate(DBGrid));
    useOfficeGridFont(DBGrid);
    DBGrid->setTextElideMode(Qt::ElideNone);
    layout->addWidget(DBGrid, 1);

    QVector<GridColumn> columns{{"fio", "Фамилия И. О.", kNameWidth}, {"s_night", " ", 30, Qt::AlignCenter}};
    for (int d = 1; d <= 31; ++d)
        columns.append({QString("d%1").arg(d), QString::number(d), kDayWidth, Qt::AlignCenter});
    columns.append({"f_price", "Итого (р.)", 66, Qt::AlignRight | Qt::AlignVCenter, true, true});
    columns.append({"i_time", "Итого (ч.)", 66, Qt::AlignCenter});
    columns.append({"average_price", "Час (р.)", 66, Qt::AlignCenter, true, true});
    for (Dataset *view : {&H_Tabel0, &H_Tabel7777, &H_Tabel7778, &H_Tabel_all}) {
        auto *model = new DatasetModel(view, columns, this);
        // Weekends in red; the three totals bold on their own background.
        auto weekendDay = [this](int column) {
            const int day = column - kFirstDayColumn + 1;
            return day >= 1 && day <= 31 && QDate(year(), month(), 1).daysInMonth() >= day &&
                   isWeekend(QDate(year(), month(), day));
        };
        model->setCellStyle([weekendDay](int, const GridColumn &col, int role) -> QVariant {
            const bool total = col.field == QLatin1String("f_price") ||
                               col.field == QLatin1String("i_time") ||
                               col.field == QLatin1String("average_price");
            if (total && role == Qt::FontRole) {
                QFont f;
                f.setBold(true);
                return f;
            }
            if (total && role == Qt::BackgroundRole)
                return QColor(225, 228, 255);
            if (role == Qt::ForegroundRole && col.field.startsWith('d') &&
                weekendDay(kFirstDayColumn + col.field.mid(1).toInt() - 1))
                return QColor(Qt::red);
            return {};
        });
        model->setHeaderStyle([weekendDay](int column, int role) -> QVariant {
            if (role == Qt::ForegroundRole && weekendDay(column))
                return QColor(Qt::red);
            return {};
        });
        models_.append(model);
    }

    auto *footer = new QHBoxLayout;
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->addItems(monthNames());
    ComboBox1->setAccessibleName("Месяц");
    cb_year = new QComboBox(this);
    cb_year->setObjectName("cb_year");
    cb_year->setAccessibleName("Год");
    footer->addWidget(ComboBox1);
    footer->addWidget(cb_year);
    auto total = [&](QLabel *&value, const char *name, const QString &caption) {
        auto *title = new QLabel(caption, this);
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        value = new QLabel(this);
        value->setObjectName(name);
        value->setFont(bold);
        value->setMinimumWidth(90);
        value->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        title->setBuddy(value);
        value->setAccessibleName(caption);
        footer->addSpacing(12);
        footer->addWidget(title);
        footer->addWidget(value);
    };
    total(Label8, "Label8", "Ср. сдел.:");
    total(Label7, "Label7", "Хоз. работы:");
    total(Label, "Label", "Сделка:");
    total(LabelAll, "LabelAll", "Итого:");
    footer->addStretch(1);
    layout->addLayout(footer);
    // The piecework footer sums every record of the month, the grid lists the workers that have a
    // shift row: workers whose rows are missing are counted without being shown.
    LabelMissing = new QLabel(this);
    LabelMissing->setObjectName("LabelMissing");
    LabelMissing->setWordWrap(true);
    LabelMissing->setStyleSheet("QLabel { color: red; }");
    LabelMissing->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    LabelMissing->setFocusPolicy(Qt::TabFocus);
    LabelMissing->hide();
    layout->addWidget(LabelMissing);

    auto *buttons = new QHBoxLayout;
    Button2 = addPanelButton(this, buttons, "Button2", "Excel");
    Button5 = addPanelButton(this, buttons, "Button5", "Обновить");
    Button3 = addPanelButton(this, buttons, "Button3", "Перестроить");
    PB = new QProgressBar(this);
    PB->setObjectName("PB");
    PB->setAccessibleName("Перестроение месяца");
    PB->hide();
    buttons->addWidget(PB, 1);
    buttons->addStretch(1);
    Button1 = addPanelButton(this, buttons, "Button1", "Выход");
    layout->addLayout(buttons);
    resize(1280, 600);

    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button5, &QPushButton::clicked, this, guarded([this] { Button5Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    // The month follows the boxes however they are changed (keyboard, mouse, screen reader).
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, guarded([this] { monthRefresh(); }));
    connect(cb_year, &QComboBox::currentIndexChanged, this, guarded([this] { monthRefresh(); }));
}

int TForm27::month() const {
    return ComboBox1->currentIndex() + 1;
}

int TForm27::year() const {
    return cb_year->currentIndex() < 0 ? today().year() : cb_year->currentData().toInt();
}

DatasetModel *TForm27::modelOf(Dataset *view) const {
    for (DatasetModel *m : models_)
        if (m->dataset() == view)
            return m;
    return nullptr;
}

int TForm27::baseNameWidth() const {
    switch (Tag) {
    case Piecework:
        return kNameWidth + 30;
    case Overall:
        return kNameWidth + 30 + 66;
    default:
        return kNameWidth;
    }
}

void TForm27::fillYears(int wanted) {
    const QSignalBlocker quiet(cb_year);
    q_year.close();
    q_year.open();
    QList<int> years;
    for (q_year.first(); !q_year.eof(); q_year.next())
        years << q_year.asInt("year");
    // A year without timesheet rows yet (a new year) is offered too: its grid and rebuild work.
    if (!years.contains(wanted)) {
        years << wanted;
        std::sort(years.begin(), years.end());
    }
    cb_year->clear();
    for (int y : years)
        cb_year->addItem(QString::number(y), y);
    cb_year->setCurrentIndex(cb_year->findData(wanted));
}

void TForm27::prepare(Mode mode, const QDate &day) {
    Tag = mode;
    switch (mode) {
    case Piecework:
        setWindowTitle("Табель сделка (27)");
        CurrentView = &H_Tabel0;
        break;
    case Household:
        setWindowTitle("Табель хоз. работы (27)");
        CurrentView = &H_Tabel7777;
        break;
    case AveragePiece:
        setWindowTitle("Табель ср. сдельная (27)");
        CurrentView = &H_Tabel7778;
        break;
    case Overall:
        setWindowTitle("Общий табель (27)");
        CurrentView = &H_Tabel_all;
        break;
    }
    modelOf(CurrentView)->attach(DBGrid);
    {
        const QSignalBlocker quiet(ComboBox1);
        ComboBox1->setCurrentIndex(day.month() - 1);
    }
    fillYears(day.year());
    monthRefresh();
}

void TForm27::launch(Mode mode) {
    prepare(mode, today());
    showModal(this);
    CurrentView->close();
    q_year.close();
}

void TForm27::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    if (!CurrentView)
        return;
    modelOf(CurrentView)->attach(DBGrid);
    applyColumns();
}

void TForm27::applyColumns() {
    // Attaching a model resets the columns to their defaults: the mode and the month set them again.
    DBGrid->setColumnHidden(kNightColumn, Tag == Piecework || Tag == Overall);
    DBGrid->setColumnHidden(kPerHourColumn, Tag == Overall);
    const int days = QDate(year(), month(), 1).daysInMonth();
    for (int d = 1; d <= 31; ++d)
        DBGrid->setColumnHidden(kFirstDayColumn + d - 1, d > days);
    DBGrid->setColumnWidth(kNameColumn, baseNameWidth() + kDayWidth * (31 - days));
    modelOf(CurrentView)->restyle();
}

void TForm27::done(int result) {
    Button2->setText("Excel");
    QDialog::done(result);
}

void TForm27::bindMonth(Dataset &view, int month, int year) {
    const QDate first(year, month, 1);
    view.setParam("i_month", month);
    view.setParam("i_year", year);
    for (const char *lower : {"d_date2", "d_date4", "d_date6", "d_date8"})
        view.setParam(lower, first);
    for (const char *upper : {"d_date1", "d_date3", "d_date5", "d_date7"})
        view.setParam(upper, first.addMonths(1));
}

void TForm27::openNamingTheMonth(Dataset &view) {
    try {
        view.open();
    } catch (const DbError &e) {
        // A sum past what the view's columns hold: the server's words name no month.
        if (!isNumericOverflow(e.text()))
            throw;
        throw DbError(QString("Табель за %1 %2 не может быть рассчитан: суммы записей месяца больше, чем "
                              "помещается в табель. Проверьте записи месяца с очень большим количеством или "
                              "ценой.")
                          .arg(monthNames().value(month() - 1))
                          .arg(year()));
    }
}

void TForm27::monthRefresh() {
    if (!CurrentView)
        return;
    const QDate first(year(), month(), 1);
    const QDate next = first.addMonths(1);
    Dataset &view = *CurrentView;
    view.close();
    bindMonth(view, month(), year());
    openNamingTheMonth(view);

    struct Total {
        Dataset &query;
        QLabel *value;
    } totals[] = {{price8, Label8}, {price7, Label7}, {price, Label}, {all_price, LabelAll}};
    for (Total &t : totals) {
        t.query.close();
        t.query.setParam("d_date2", first);
        t.query.setParam("d_date4", first);
        t.query.setParam("d_date1", next);
        t.query.setParam("d_date3", next);
        openNamingTheMonth(t.query);
        t.value->setText(t.query.isEmpty() ? QString() : moneyText(t.query.value("price")));
    }

    showMissingRows(first, next);
    applyColumns();
}

void TForm27::showMissingRows(const QDate &first, const QDate &next) {
    int missing = 0;
    if (Tag == Piecework) {
        QSqlQuery q = forms().DataModule6->ADO_DB.run(
            "select count(distinct s.w_id) from accounts_dep.smena s where s.data>=:d1 and s.data<:d2 and "
            "not exists (select 1 from accounts_dep.h_tabel h where h.w_id=s.w_id and h.month=:m and "
            "h.year=:y and h.i_type=0)",
            {{"d1", first}, {"d2", next}, {"m", month()}, {"y", year()}});
        missing = q.next() ? q.value(0).toInt() : 0;
    }
    LabelMissing->setText(missing == 0 ? QString()
                                       : QString("В сумме «Сделка» учтены записи смен работников без строки "
                                                 "табеля (%1): их нет в списке. Перестройте месяц в окне "
                                                 "«Табель по времени» (кнопка «Перестроить»).")
                                             .arg(missing));
    LabelMissing->setAccessibleName(LabelMissing->text());
    LabelMissing->setVisible(missing > 0);
}

void TForm27::Button5Click() {
    if (!CurrentView)
        return;
    CurrentView->close();
    openNamingTheMonth(*CurrentView);
}

void TForm27::Button3Click() {
    if (!CurrentView)
        return;
    CurrentView->close();
    runThenReopen({CurrentView}, [&] { RebuildHouseholdRows(*forms().DataModule6, month(), year(), PB); });
    // This window rebuilds the household rows only: the clerk is told, and where the shift rows are.
    showInfo(QString("Перестроены строки хоз. работ за %1 %2. Строки смен перестраиваются в окне «Табель по "
                     "времени» (кнопка «Перестроить»).")
                 .arg(monthNames().value(month() - 1))
                 .arg(year()),
             "Перестроить");
}

void TForm27::Button2Click() {
    if (!CurrentView)
        return;
    Dataset &view = *CurrentView;
    const int place = view.recNo();
    const WindowLock lock(this);
    SpreadsheetApp app;
    // The grid does not follow the walk through the lines.
    const QSignalBlocker quiet(&view);
    auto back = [&] {
        if (place > 0)
            view.moveTo(place);
    };
    if (SpreadsheetExport::OpenWorkbook(app, "") == -1) {
        back();
        return;
    }
    using SpreadsheetExport::WriteCell;
    SpreadsheetExport::SetVisible(app, false);
    const int lines = view.recordCount();
    Button2->setText(QString("Excel (0 из %1)").arg(lines));
    const CellOptions heading{true, true, true};
    WriteCell(app, 1, 1, 1, ComboBox1->currentText() + ' ' + QString::number(year()), heading);
    WriteCell(app, 1, 1, 2, "Фамилия И.О.", heading);
    for (int d = 1; d <= 31; ++d)
        WriteCell(app, 1, 2 + d, 2, QString::number(d), {false, true, true});
    WriteCell(app, 1, 35, 2, "Итого (р.)", heading);
    WriteCell(app, 1, 34, 2, "Итого (ч.)", heading);
    if (Tag != Overall)
        WriteCell(app, 1, 36, 2, "Час (р.)", heading);
    const bool household = Tag == Household || Tag == AveragePiece;
    auto text = [&](const QString &field) {
        const int col = view.fieldIndex(field);
        return col < 0 ? QString() : displayText(view.value(field), view.fieldType(col).id());
    };
    int row = 3, written = 0;
    for (view.first(); !view.eof(); view.next(), ++row) {
        WriteCell(app, 1, 1, row, text("fio"), {true, true, false});
        if (household)
            WriteCell(app, 1, 2, row, text("s_night"), {true, true, false});
        for (int d = 1; d <= 31; ++d)
            WriteCell(app, 1, 2 + d, row, text(QString("d%1").arg(d)), {false, true, false});
        WriteCell(app, 1, 34, row, text("i_time"), {false, true, false});
        WriteCell(app, 1, 35, row, text("f_price"), {false, true, false});
        if (Tag != Overall)
            WriteCell(app, 1, 36, row, text("average_price"), {false, true, false});
        Button2->setText(QString("Excel (%1 из %2)").arg(++written).arg(lines));
        QApplication::processEvents();
    }
    SpreadsheetExport::SetVisible(app, true);
    back();
}
