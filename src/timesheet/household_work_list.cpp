#include "timesheet/household_work_list.h"

#include "core/formatting.h"
#include "core/row_version.h"
#include "timesheet/closed_months.h"
#include "timesheet/day_cells.h"
#include "timesheet/household_entry_editor.h"
#include "ui/data_module.h"
#include "ui/dataset_model.h"
#include "ui/date_typing.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSqlQuery>
#include <QTableView>
#include <QVBoxLayout>

TForm25::TForm25(QWidget *parent) : QDialog(parent), fatigue(forms().DataModule6->ADO_DB, "fatigue") {
    setObjectName("Form25");
    setWindowTitle("Хоз. работы (25)");
    // The list shows every entry of the date: no join with unrelated price-list rows.
    fatigue.setSql({
        "select distinct vo.vid, p.fio, i.s_caption, (f.cnt*f.price) as summ,  f.*, case when f.i_holiday=0 "
        "then '' "
        "else '+' end as s_holiday, case when f.i_night=0 then '' else '+' end as s_night, " +
            rowVersionColumn("f"),
        "from accounts_dep.fatigue f, cmn_classifier.item i, accounts_dep.person p,accounts_dep.vid_oper vo ",
        "where f.id_nom =i.id and p.id=f.id_p and vo.id = f.id_o and f.d_date = :d_date",
        "order by p.fio, f.id",
    });
    auto *layout = new QVBoxLayout(this);
    DBGrid1 = newRowGrid(this, "DBGrid1");
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    model_ = new DatasetModel(&fatigue,
                              {{"fio", "ФИО", 200},
                               {"s_caption", "Номенклатура", 180},
                               {"vid", "Работа", 120},
                               {"price", "Цена", 60, right},
                               {"cnt", "Кол-во", 60, right},
                               {"summ", "Итого", 70, right, true, true},
                               {"s_holiday", "Вых.", 40, Qt::AlignCenter},
                               {"s_night", "Ноч.", 40, Qt::AlignCenter}},
                              this);
    model_->attach(DBGrid1);
    layout->addWidget(DBGrid1, 1);

    auto *bottom = new QHBoxLayout;
    Button5 = addPanelButton(this, bottom, "Button5", "Добавить");
    Button6 = addPanelButton(this, bottom, "Button6", "Изменить");
    Button7 = addPanelButton(this, bottom, "Button7", "Удалить");
    Button1 = addPanelButton(this, bottom, "Button1", "Расчитать ср.сд.");
    DTPcker1 = new QDateEdit(this);
    acceptTypedDates(DTPcker1);
    DTPcker1->setObjectName("DTPcker1");
    DTPcker1->setCalendarPopup(true);
    DTPcker1->setDisplayFormat("dd.MM.yyyy");
    DTPcker1->setAccessibleName("Дата");
    bottom->addWidget(DTPcker1);
    CBox1 = new QCheckBox("Выходной", this);
    CBox1->setObjectName("CBox1");
    bottom->addWidget(CBox1);
    bottom->addStretch(1);
    Button8 = addPanelButton(this, bottom, "Button8", "Выход");
    layout->addLayout(bottom);
    resize(900, 500);

    connect(Button5, &QPushButton::clicked, this, guarded([this] { Button5Click(); }));
    connect(Button6, &QPushButton::clicked, this, guarded([this] { Button6Click(); }));
    connect(DBGrid1, &QTableView::doubleClicked, this, guarded([this] { Button6Click(); }));
    connect(Button7, &QPushButton::clicked, this, guarded([this] { Button7Click(); }));
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button8, &QPushButton::clicked, this, &QDialog::reject);
    // Any change of the date by the user (typed, stepped, picked); the opener's own setting of the
    // date is silenced in setListDate.
    connect(DTPcker1, &QDateEdit::dateChanged, this, guarded([this] { dateChangedByUser(); }));
    connect(CBox1, &QCheckBox::toggled, this, [this](bool on) { markDayOff(on); });
}

void TForm25::setListDate(const QDate &date) {
    // The box prices every entry saved from here: another day brings that day's state with it, as
    // a date picked by the user does (a tick the user set for a holiday on the same day stays).
    if (date != DTPcker1->date())
        CBox1->setChecked(isWeekend(date));
    const QSignalBlocker quiet(DTPcker1);
    DTPcker1->setDate(date);
}

QDate TForm25::listDate() const {
    return DTPcker1->date();
}

void TForm25::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    runGuarded([this] { FormActivate(); });
}

void TForm25::FormActivate() {
    fatigue.close();
    fatigue.setParam("d_date", listDate());
    fatigue.open();
}

void TForm25::dateChangedByUser() {
    CBox1->setChecked(isWeekend(listDate()));
    FormActivate();
}

void TForm25::markDayOff(bool dayOff) {
    CBox1->setStyleSheet(dayOff ? "QCheckBox { color: white; background-color: red; font-weight: bold; }"
                                : "");
}

HouseholdDay TForm25::shownDay() {
    return {listDate(), CBox1->isChecked(), &fatigue, [this] { reopenKeepingPlace(); }};
}

void TForm25::reopenKeepingPlace() {
    fatigue.setParam("d_date", listDate());
    fatigue.reopenKeepingPlace();
}

void TForm25::Button5Click() {
    refuseIfMonthClosed(forms().DataModule6->ADO_DB, listDate());
    TForm24 &editor = *forms().Form24;
    editor.prepareAdd(shownDay());
    showModal(&editor);
    editor.closeTypes();
}

void TForm25::Button6Click() {
    if (!fatigue.isEmpty())
        refuseIfMonthClosed(forms().DataModule6->ADO_DB, fatigue.value("d_date").toDate());
    TForm24 &editor = *forms().Form24;
    editor.prepareChange(shownDay());
    showModal(&editor);
    editor.closeTypes();
}

void TForm25::Button7Click() {
    if (fatigue.isEmpty())
        return;
    refuseIfMonthClosed(forms().DataModule6->ADO_DB, fatigue.value("d_date").toDate());
    if (!askYesNo("Удалить позицию из списка?", "Удаление"))
        return;
    TDataModule6 &dm = *forms().DataModule6;
    const TimesheetKey key =
        TimesheetKey::householdRow(fatigue.asId("id_p"), fatigue.asInt("id_o"), fatigue.asInt("i_night"));
    // The entry's own date: the cell it left.
    const QDate date = fatigue.value("d_date").toDate();
    {
        Transaction tx(dm.ADO_DB);
        requireRowWritten(dm.SQL_exec.execute(
            "delete from accounts_dep.fatigue where id=" + QString::number(fatigue.asId("id")) +
            sameRowVersion(rowVersion(fatigue))));
        RewriteDayCell(dm, key, date, DayCellWrite::AfterDelete);
        tx.commit();
    }
    refreshAfterSaved([this] { reopenKeepingPlace(); });
}

void TForm25::Button1Click() {
    const QDate first(listDate().year(), listDate().month(), 1);
    const QDate next = first.addMonths(1);
    refuseIfMonthClosed(forms().DataModule6->ADO_DB, first);
    // Each average-piece entry of the month: the worker's piece money per hour on the group's
    // products in that month, doubled on a day off; 0 without hours.
    forms().DataModule6->SQL_exec.execute(
        QString(
            "UPDATE accounts_dep.fatigue f SET price=coalesce((select case when "
            "coalesce(sum(s.time),0)::numeric(10,2)=0 then 0 else  "
            "coalesce(sum((s.kol_vo-s.brak)*(s.cena+s.cena*f.i_holiday))/sum(time),0)::numeric(10,2) end as "
            "price  from cmn_classifier.item i, accounts_dep.smena s, accounts_dep.izdel gas, "
            "accounts_dep.person p where i.id_level =2 and s.i_id = gas.id and gas.id_class_item =i.id  and "
            "s.data<'01.%1.%2' and s.data>='01.%3.%4' and p.id=s.w_id and p.id=f.id_p and i.id=f.id_nom "
            "group "
            "by i.s_caption, i.id, p.id order by fio),0) where i_mnth = %3 and i_year = %4 and id_o =7778")
            .arg(next.month())
            .arg(next.year())
            .arg(first.month())
            .arg(first.year()));
    refreshAfterSaved([this] { reopenKeepingPlace(); });
    tellAveragePieceResult(first);
}

void TForm25::tellAveragePieceResult(const QDate &first) {
    // What was priced, and which entries got 0: their worker has no piece work in the entry's group
    // that month, which the clerk must see rather than find on the payslip.
    QSqlQuery q = forms().DataModule6->ADO_DB.run(
        "select count(*), count(*) filter (where coalesce(f.price,0)=0), string_agg(distinct "
        "coalesce(p.fio, f.id_p::text) || ' (' || coalesce(i.s_caption, '') || ')', ', ') filter (where "
        "coalesce(f.price,0)=0) from accounts_dep.fatigue f left join accounts_dep.person p on p.id=f.id_p "
        "left join cmn_classifier.item i on i.id=f.id_nom where f.i_mnth=:m and f.i_year=:y and f.id_o=7778",
        {{"m", first.month()}, {"y", first.year()}});
    if (!q.next())
        return;
    const int priced = q.value(0).toInt();
    const int zero = q.value(1).toInt();
    const QString period = monthNames().value(first.month() - 1) + ' ' + QString::number(first.year());
    QString text = priced == 0
                       ? QString("За %1 нет записей ср. сдельной: рассчитывать нечего.").arg(period)
                       : QString("Цена ср. сдельной рассчитана за %1: записей %2.").arg(period).arg(priced);
    if (zero > 0)
        text += QString(" Цена 0 у записей (%1): у работника нет сдельных работ в этой группе за месяц - %2.")
                    .arg(zero)
                    .arg(q.value(2).toString());
    showInfo(text, "Расчитать ср.сд.");
}
