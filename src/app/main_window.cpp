#include "app/main_window.h"

#include "app/accounts_window.h"

#include "core/formatting.h"
#include "refbooks/groups_list.h"
#include "refbooks/products_list.h"
#include "refbooks/workers_list.h"
#include "reports/change_history_window.h"
#include "reports/summary_reports_window.h"
#include "shift/acceptance_mark.h"
#include "shift/operation_types_list.h"
#include "shift/price_list.h"
#include "shift/record_actions.h"
#include "timesheet/closed_months.h"
#include "timesheet/household_work_list.h"
#include "timesheet/month_closing_window.h"
#include "timesheet/monthly_timesheet.h"
#include "timesheet/timesheet_by_time.h"
#include "ui/data_module.h"
#include "ui/dataset_model.h"
#include "ui/date_typing.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"
#include "ui/version_check.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QVector<GridColumn> shiftColumns() {
    const auto center = Qt::AlignCenter;
    const auto left = Qt::AlignLeft | Qt::AlignVCenter;
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    return {
        {"fio", "Фамилия И.О.", 250, left},
        {"marka", "Марка изделия", 260, left},
        {"vid", "Операция", 155, left},
        {"nmn", "Вид", 157, left},
        {"color", "Цвет", -1, center},
        {"time", "Часы", -1, right},
        {"kol_vo", "Кол-во", 57, right},
        {"brak", "Брак", 49, right},
        {"summa", "Итого (р.)", 78, right, true, true},
        {"prize", "Премия (%)", -1, right, false},
        {"ok", "OK", 37, center},
        {"vvod", "Заведен", 72, center},
    };
}

// A reference list with "Добавить", "Изменить", "Удалить" opened to maintain it, "Добавить" the
// default.
template <class List> void maintain(List &list) {
    list.runForMaintenance(list.Button2, {list.Button1, list.Button3}, list.Button1);
}

} // namespace

TForm1::TForm1(QWidget *parent) : QDialog(parent) {
    setObjectName("Form1");
    setWindowTitle("Табель");

    auto *layout = new QVBoxLayout(this);
    MainMenu = new QMenuBar(this);
    layout->setMenuBar(MainMenu);

    auto *top = new QHBoxLayout;
    RadioButton1 = new QRadioButton("Смена №1", this);
    RadioButton2 = new QRadioButton("Смена №2", this);
    RadioButton3 = new QRadioButton("Смена №3", this);
    RadioButton4 = new QRadioButton("Переработка", this);
    QRadioButton *shiftButtons[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    for (int i = 0; i < 4; ++i) {
        shiftButtons[i]->setObjectName(QString("RadioButton%1").arg(i + 1));
        shiftButtons[i]->setAutoFillBackground(true);
        top->addWidget(shiftButtons[i]);
        const int shift = i + 1;
        // Whatever checks the button (mouse, keyboard, a screen reader) selects its shift.
        connect(shiftButtons[i], &QRadioButton::toggled, this, [this, shift](bool on) {
            if (on)
                runGuarded([this, shift] { selectShift(shift); });
        });
    }
    DateT = new QDateEdit(this);
    acceptTypedDates(DateT);
    DateT->setObjectName("DateT");
    DateT->setCalendarPopup(true);
    DateT->setDisplayFormat("dd.MM.yyyy");
    DateT->installEventFilter(this);
    // The calendar hides itself after the click; read the date once it has been taken.
    // However the calendar closes (a day clicked, Enter, Esc, a click outside), the lists follow
    // the date once the picker has taken it.
    DateT->calendarWidget()->window()->installEventFilter(this);
    CBox1 = new QCheckBox("Выходной", this);
    CBox1->setObjectName("CBox1");
    connect(CBox1, &QCheckBox::toggled, this, [this](bool on) { markDayOff(on); });
    connect(DateT, &QDateEdit::dateChanged, this, guarded([this] { followDate(DateT->date()); }));
    top->addSpacing(20);
    top->addWidget(DateT);
    top->addWidget(CBox1);
    top->addStretch(1);
    layout->addLayout(top);

    DBGrid2 = newRowGrid(this, "DBGrid2");
    useOfficeGridFont(DBGrid2);
    // The "OK" mark keeps its green or red on the current row.
    DBGrid2->setItemDelegate(new OwnColourDelegate(DBGrid2));
    connect(DBGrid2, &QTableView::doubleClicked, this, guarded([this] { DBGrid2DblClick(); }));
    // Enter or Space on a row accepts it as the double-click does, for keyboard users.
    DBGrid2->installEventFilter(this);
    layout->addWidget(DBGrid2, 1);

    auto *bottom = new QHBoxLayout;
    Button1 = addPanelButton(this, bottom, "Button1", "Добавить");
    Button2 = addPanelButton(this, bottom, "Button2", "Изменить");
    Button3 = addPanelButton(this, bottom, "Button3", "Удалить");
    Button8 = addPanelButton(this, bottom, "Button8", "Обновить");
    Button5 = addPanelButton(this, bottom, "Button5", "Ср.сд./хоз. работы");
    bottom->addStretch(1);
    Button4 = addPanelButton(this, bottom, "Button4", "Выход");
    layout->addLayout(bottom);
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(Button8, &QPushButton::clicked, this, guarded([this] { Button8Click(); }));
    connect(Button5, &QPushButton::clicked, this, guarded([this] { Button5Click(); }));
    connect(Button4, &QPushButton::clicked, this, [this] { reject(); });

    buildMenu();
    // F10 opens the menu bar, as on the desktop: the arrows and Enter then reach every menu item
    // (this style does not take the menu bar by the Alt key alone).
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        for (QAction *a : MainMenu->actions())
            if (a->isEnabled() && a->menu()) {
                MainMenu->setFocus(Qt::ShortcutFocusReason);
                MainMenu->setActiveAction(a);
                return;
            }
    });
    setFixedSize(1281, 585 + MainMenu->sizeHint().height());

    Timer1 = new QTimer(this);
    Timer1->setInterval(30000);
    connect(Timer1, &QTimer::timeout, this, guarded([] { CheckVersion(); }));
}

void TForm1::openShiftLists() {
    TDataModule6 &dm = *forms().DataModule6;
    const auto columns = shiftColumns();
    DatasetModel **sources[] = {&DataSource1, &DataSource2, &DataSource3, &DataSource4};
    for (int n = 1; n <= 4; ++n) {
        auto *model = new DatasetModel(&dm.shiftQuery(n), columns, this);
        model->setObjectName(QString("DataSource%1").arg(n));
        model->setCellStyle([model](int row, const GridColumn &col, int role) -> QVariant {
            if (col.field != QLatin1String("ok"))
                return {};
            if (role == Qt::ForegroundRole)
                return QColor(isAcceptedMark(model->cellText(row, "ok")) ? Qt::darkGreen : Qt::red);
            if (role == Qt::FontRole) {
                QFont f;
                f.setBold(true);
                return f;
            }
            return {};
        });
        *sources[n - 1] = model;
    }
    RadioButton1->setChecked(true);
    selectShift(1);
    // Started only now: a check without a connection would only stack error boxes.
    Timer1->start();
}

void TForm1::buildMenu() {
    QMenu *refbooks = MainMenu->addMenu("Справочники");
    N2 = refbooks->menuAction();
    N1 = refbooks->addAction("Рабочие");
    N3 = refbooks->addAction("Изделия");
    N4 = refbooks->addAction("Цены");
    N6 = refbooks->addAction("Операции");
    N8 = refbooks->addAction("Ном. группы");
    QMenu *timesheet = MainMenu->addMenu("Табель");
    N11 = timesheet->menuAction();
    N9 = timesheet->addAction("Табель сделка");
    N13 = timesheet->addAction("Табель по сменам");
    N14 = timesheet->addAction("Табель хоз. работ");
    N15 = timesheet->addAction("Табель ср. сдельная");
    N17 = timesheet->addAction("Общий табель");
    timesheet->addSeparator();
    N18 = timesheet->addAction("Закрыть месяц");
    N19 = timesheet->addAction("Открыть месяц");
    QMenu *reports = MainMenu->addMenu("Отчеты");
    N7 = reports->menuAction();
    N10 = reports->addAction("Сводные отчеты");
    N20 = MainMenu->addAction("История изменений");
    N21 = MainMenu->addAction("Пользователи");
    N5 = MainMenu->addAction("Выход");
    connect(N5, &QAction::triggered, this, [this] { reject(); });
    // The reference books open for maintenance: the change button captioned "Изменить", the buttons
    // that change the list shown, one of them the default.
    opens(N1, [] { maintain(*forms().Form5); });
    opens(N3, [] { maintain(*forms().Form3); });
    opens(N6, [] {
        forms().DataModule6->Vid_oper.setFiltered(false);
        maintain(*forms().Form8);
    });
    opens(N8, [] {
        TForm26 &list = *forms().Form26;
        list.runForMaintenance(list.Button3, {list.Button1, list.Button2}, nullptr);
    });
    opens(N4, [] { maintain(*forms().Form4); });
    const std::pair<QAction *, TForm27::Mode> timesheets[] = {{N9, TForm27::Piecework},
                                                              {N14, TForm27::Household},
                                                              {N15, TForm27::AveragePiece},
                                                              {N17, TForm27::Overall}};
    for (const auto &[item, mode] : timesheets)
        opens(item, [mode = mode] { forms().Form27->launch(mode); });
    connect(N10, &QAction::triggered, this, guarded([this] { N10Click(); }));
    connect(N18, &QAction::triggered, this,
            guarded([this] { forms().MonthClosing->launch(MonthClosingWindow::Close, session); }));
    connect(N19, &QAction::triggered, this,
            guarded([this] { forms().MonthClosing->launch(MonthClosingWindow::Reopen, session); }));
    opens(N20, [] { forms().ChangeHistory->launch(); });
    opens(N21, [] { forms().Accounts->launch(); });
    opens(N13, [this] { forms().Form19->launch(DateT->date()); });
}

void TForm1::opens(QAction *item, std::function<void()> open) {
    connect(item, &QAction::triggered, this, guarded([this, open] {
                open();
                FormActivate();
            }));
}

void TForm1::N10Click() {
    // The previous calendar month: from its first day up to the first day of this month.
    const QDate thisMonth(today().year(), today().month(), 1);
    TForm18 &reports = *forms().Form18;
    reports.DTPicker1->setDate(thisMonth.addMonths(-1));
    reports.DTPicker2->setDate(thisMonth);
    showModal(&reports);
    FormActivate();
}

SheetDay TForm1::sheetDay() const {
    return {DateT->date(), CBox1->isChecked(), ShiftNumber};
}

Dataset &TForm1::currentShift() {
    return forms().DataModule6->shiftQuery(ShiftNumber);
}

DatasetModel *TForm1::sourceOf(int shiftNumber) const {
    switch (shiftNumber) {
    case 2:
        return DataSource2;
    case 3:
        return DataSource3;
    case 4:
        return DataSource4;
    default:
        return DataSource1;
    }
}

void TForm1::applyRole(Role role) {
    const bool reader = role == Role::ReportReader;
    const bool admin = role == Role::Administrator;
    const bool mayAdd = role == Role::Foreman || admin;
    Button1->setEnabled(mayAdd);
    Button2->setEnabled(admin);
    Button3->setEnabled(admin);
    for (QRadioButton *b : {RadioButton1, RadioButton2, RadioButton3, RadioButton4})
        b->setEnabled(!reader);
    CBox1->setEnabled(!reader);
    Button8->setEnabled(!reader);
    DBGrid2->setEnabled(!reader);
    DateT->setEnabled(!reader);
    N2->setEnabled(admin);
    N11->setEnabled(admin);
    N20->setEnabled(admin);
    N21->setEnabled(admin);
}

void TForm1::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    runGuarded([this] { FormActivate(); });
}

bool TForm1::eventFilter(QObject *watched, QEvent *e) {
    if (watched == DBGrid2 && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            runGuarded([this] { DBGrid2DblClick(); });
            return true;
        }
    }
    if (e->type() == QEvent::Hide && watched == DateT->calendarWidget()->window() && watched != this) {
        QTimer::singleShot(0, this, guarded([this] { DateTCloseUp(); }));
        return false;
    }
    if (watched == DateT && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            runGuarded([this] { DateTCloseUp(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

void TForm1::reopenShiftQueries(const QDate &date) {
    TDataModule6 &dm = *forms().DataModule6;
    for (int n = 1; n <= 4; ++n)
        dm.shiftQuery(n).close();
    shownDay_ = QDate();
    for (int n = 1; n <= 4; ++n) {
        Dataset &q = dm.shiftQuery(n);
        q.setParam("data", date);
        q.open();
    }
    shownDay_ = date;
}

void TForm1::followDate(const QDate &date) {
    if (date == shownDay_)
        return;
    WaitCursor wait;
    reopenShiftQueries(date);
    followedSinceCloseUp_ = true;
    CBox1->setChecked(isWeekend(date));
}

void TForm1::FormActivate() {
    const QDate day = today();
    const bool dayChanges = DateT->date() != day;
    {
        // Activation reads the lists once, below.
        const QSignalBlocker quiet(DateT);
        DateT->setDate(day);
    }
    // The box prices every record saved from here: when the sheet comes back to today from
    // another day it takes today's state, as a date picked by the user does (a tick the user set
    // for a holiday on the same day stays).
    if (isWeekend(day) || dayChanges)
        CBox1->setChecked(isWeekend(day));
    TDataModule6 &dm = *forms().DataModule6;
    for (int n = 1; n <= 4; ++n)
        dm.shiftQuery(n).setFiltered(false);
    reopenShiftQueries(DateT->date());
}

void TForm1::DateTCloseUp() {
    // Closing the field after a change: the lists already follow it. Otherwise (Enter on the
    // same day) it reads the day again, as a refresh.
    if (!followedSinceCloseUp_ || shownDay_ != DateT->date()) {
        WaitCursor wait;
        reopenShiftQueries(DateT->date());
    }
    followedSinceCloseUp_ = false;
    CBox1->setChecked(isWeekend(DateT->date()));
    DBGrid2->setFocus();
}

void TForm1::markDayOff(bool dayOff) {
    CBox1->setStyleSheet(dayOff ? "QCheckBox { color: white; background-color: red; font-weight: bold; }"
                                : "");
}

void TForm1::selectShift(int shiftNumber) {
    QRadioButton *buttons[] = {RadioButton1, RadioButton2, RadioButton3, RadioButton4};
    for (int n = 1; n <= 4; ++n) {
        QRadioButton *b = buttons[n - 1];
        b->setStyleSheet(n == shiftNumber ? "QRadioButton { background-color: green; font-weight: bold; }"
                                          : "");
    }
    if (!buttons[shiftNumber - 1]->isChecked())
        buttons[shiftNumber - 1]->setChecked(true);
    ShiftNumber = shiftNumber;
    if (DatasetModel *source = sourceOf(shiftNumber))
        source->attach(DBGrid2);
}

void TForm1::Button8Click() {
    WaitCursor wait;
    TDataModule6 &dm = *forms().DataModule6;
    for (int n = 1; n <= 4; ++n)
        dm.shiftQuery(n).close();
    for (int n = 1; n <= 4; ++n)
        dm.shiftQuery(n).open();
}

void TForm1::DBGrid2DblClick() {
    // The foreman's role does not accept (its grid is open for choosing records only).
    if (session.role == Role::Foreman)
        return;
    CurrentShiftQuery = &currentShift();
    Dataset &q = *CurrentShiftQuery;
    if (q.isEmpty())
        return;
    flipAcceptance(*forms().DataModule6, ShownRecord::of(q));
    refreshAfterSaved([&] { q.reopenKeepingPlace(); });
}

void TForm1::Button5Click() {
    TForm25 &list = *forms().Form25;
    list.setListDate(DateT->date());
    showModal(&list);
    FormActivate();
}

void TForm1::activateAfterEditor(bool saved) {
    if (saved)
        refreshAfterSaved([this] { FormActivate(); });
    else
        FormActivate();
}

void TForm1::Button1Click() {
    refuseIfMonthClosed(forms().DataModule6->ADO_DB, DateT->date());
    CurrentShiftQuery = &currentShift();
    TForm11 &editor = *forms().Form11;
    editor.prepareAdd(sheetDay(), *CurrentShiftQuery);
    activateAfterEditor(showModal(&editor) == QDialog::Accepted);
}

void TForm1::Button2Click() {
    CurrentShiftQuery = &currentShift();
    Dataset &q = *CurrentShiftQuery;
    const int place = q.recNo();
    if (q.isEmpty())
        return;
    refuseIfMonthClosed(forms().DataModule6->ADO_DB, q.value("data").toDate());
    TForm11 &editor = *forms().Form11;
    editor.prepareChange(sheetDay(), q);
    // Reopened first, then moved back: the activation's reopening would undo the move.
    activateAfterEditor(showModal(&editor) == QDialog::Accepted);
    q.moveTo(place);
}

void TForm1::Button3Click() {
    Dataset &q = currentShift();
    if (q.value("id").isNull())
        return;
    const ShownRecord record = ShownRecord::of(q);
    // Refused before the question: a closed month is not worth asking about (the delete itself
    // would be refused by the database).
    refuseIfMonthClosed(forms().DataModule6->ADO_DB, record.date);
    // An accepted record is part of what the warehouse took: the question says so.
    const QString question = record.accepted
                                 ? QStringLiteral("Позиция принята складом. Удалить позицию из списка?")
                                 : QStringLiteral("Удалить позицию из списка?");
    if (!askYesNo(question, QStringLiteral("Удаление"))) {
        q.reopenKeepingPlace();
        return;
    }
    deleteShiftRecord(*forms().DataModule6, record);
    refreshAfterSaved([&] { q.reopenKeepingPlace(); });
}
