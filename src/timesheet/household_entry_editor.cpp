#include "timesheet/household_entry_editor.h"

#include "core/formatting.h"
#include "core/row_version.h"
#include "refbooks/groups_list.h"
#include "refbooks/workers_list.h"
#include "timesheet/day_cells.h"
#include "timesheet/day_hours.h"
#include "ui/data_module.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/input_checks.h"
#include "ui/seams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
constexpr int kPickerMode = 24;
} // namespace

TForm24::TForm24(QWidget *parent) : QDialog(parent), type_work(forms().DataModule6->ADO_DB, "type_work") {
    setObjectName("Form24");
    setWindowTitle("Хоз. работы/среднесдельная (24)");
    type_work.setSql({"select vo.id, vo.vid, n.price, (n.price*:cnt) as summ from accounts_dep.vid_oper "
                      "vo,accounts_dep.norm n, accounts_dep.oper o ",
                      "where n.o_id =o.id and o.vid=vo.id and (vo.id = 7777 or vo.id = 7778)"});
    type_work.setParam("cnt", 0);
    auto *layout = new QVBoxLayout(this);
    auto *group = boldGroupBox("Закрыто мастером", this);
    auto *grid = new QGridLayout(group);
    auto label = [&](const QString &text, QWidget *buddy, int r, int c) {
        auto *l = new QLabel(text, group);
        l->setBuddy(buddy);
        grid->addWidget(l, r, c);
    };
    auto display = [&](QLineEdit *&e, const char *name) {
        e = new QLineEdit(group);
        e->setObjectName(name);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
    };
    auto picker = [&](QPushButton *&b, const char *name) {
        b = new QPushButton("...", group);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setFixedWidth(30);
    };
    display(Edit1, "Edit1");
    picker(Button3, "Button3");
    Button3->setAccessibleName("Выбрать работника");
    label("ФИО", Edit1, 0, 0);
    grid->addWidget(Edit1, 0, 1, 1, 4);
    grid->addWidget(Button3, 0, 5);
    display(Edit2, "Edit2");
    picker(Button4, "Button4");
    Button4->setAccessibleName("Выбрать номенклатуру");
    label("Номенклатура", Edit2, 1, 0);
    grid->addWidget(Edit2, 1, 1, 1, 4);
    grid->addWidget(Button4, 1, 5);
    cb_type_work = new QComboBox(group);
    cb_type_work->setObjectName("cb_type_work");
    label("Работа", cb_type_work, 2, 0);
    grid->addWidget(cb_type_work, 2, 1, 1, 5);
    Edit6 = new QLineEdit(group);
    Edit6->setObjectName("Edit6");
    // Whole hours, checked when saved: a key the field dropped by itself would turn "1,5" into 15.
    label("Часы", Edit6, 3, 0);
    grid->addWidget(Edit6, 3, 1);
    DBEdit1 = new QLineEdit(group);
    DBEdit1->setObjectName("DBEdit1");
    DBEdit1->setEnabled(false);
    label("ч.    Цена", DBEdit1, 3, 2);
    grid->addWidget(DBEdit1, 3, 3);
    DBEdit2 = new QLineEdit(group);
    DBEdit2->setObjectName("DBEdit2");
    DBEdit2->setEnabled(false);
    label("р.    Сумма", DBEdit2, 3, 4);
    grid->addWidget(DBEdit2, 3, 5);
    CBox1 = new QCheckBox("Ночные", group);
    CBox1->setObjectName("CBox1");
    grid->addWidget(CBox1, 4, 1, 1, 2);
    // "Цена" and "Сумма" show the type's own price; this line is what the entry will be paid.
    LabelPay = new QLabel(group);
    LabelPay->setObjectName("LabelPay");
    LabelPay->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    LabelPay->setFocusPolicy(Qt::TabFocus);
    grid->addWidget(LabelPay, 4, 3, 1, 3);
    layout->addWidget(group);
    const SaveCancelRow row = addSaveCancelRow(this, layout, "Записать", "Выход", "Button6", true);
    Button1 = row.save;
    Button6 = row.cancel;
    setTabOrder(Button3, Button4);
    setTabOrder(Button4, cb_type_work);
    setTabOrder(cb_type_work, Edit6);
    setTabOrder(Edit6, CBox1);
    setTabOrder(CBox1, LabelPay);
    setTabOrder(LabelPay, Button1);
    setMinimumWidth(520);

    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(Button4, &QPushButton::clicked, this, guarded([this] { Button4Click(); }));
    // The chosen line follows the box, however it was chosen.
    connect(cb_type_work, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && type_work.isOpen())
            type_work.moveTo(index + 1);
        showPrice();
    });
    connect(Edit6, &QLineEdit::textChanged, this, [this] { showPrice(); });
    connect(CBox1, &QCheckBox::toggled, this, [this] { showPrice(); });

    forms().Form5->pickTargets[kPickerMode] = [this](Id id, const QString &fio) {
        Edit1->setText(fio);
        WorkerId = id;
    };
    forms().Form26->pickTargets[kPickerMode] = [this](Id id, const QString &caption) {
        Edit2->setText(caption.trimmed());
        NomenclatureId = id;
    };
}

void TForm24::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    // The first thing to do is to choose the worker.
    Button3->setFocus();
}

void TForm24::openTypes(int type) {
    type_work.close();
    type_work.open();
    const QSignalBlocker quiet(cb_type_work);
    cb_type_work->clear();
    int chosen = -1;
    int row = 0;
    for (type_work.first(); !type_work.eof(); type_work.next(), ++row) {
        cb_type_work->addItem(type_work.text("vid").trimmed(), type_work.asInt("id"));
        if (chosen < 0 && type_work.asInt("id") == type)
            chosen = row;
    }
    cb_type_work->setCurrentIndex(chosen);
    if (chosen >= 0)
        type_work.moveTo(chosen + 1);
    showPrice();
}

void TForm24::closeTypes() {
    type_work.close();
}

int TForm24::chosenType() const {
    return cb_type_work->currentIndex() < 0 || !type_work.isOpen() ? 0 : type_work.asInt("id");
}

double TForm24::chosenPrice() const {
    return cb_type_work->currentIndex() < 0 || !type_work.isOpen() ? 0 : type_work.asDouble("price");
}

void TForm24::showPrice() {
    const bool chosen = cb_type_work->currentIndex() >= 0;
    DBEdit1->setText(chosen ? shortestNumber(chosenPrice(), QLocale().decimalPoint().at(0)) : QString());
    // The sum follows the hours typed.
    DBEdit2->setText(
        chosen ? shortestNumber(chosenPrice() * Edit6->text().toInt(), QLocale().decimalPoint().at(0))
               : QString());
    const auto hours = parseCount(Edit6->text());
    if (!chosen || !hours) {
        LabelPay->clear();
        return;
    }
    const QChar point = QLocale().decimalPoint().at(0);
    QStringList parts{shortestNumber(chosenPrice(), point)};
    for (const double f : entryFactors())
        parts << shortestNumber(f, point);
    LabelPay->setText(QString("к начислению: %1 x %2 ч = %3")
                          .arg(parts.join(" x "))
                          .arg(*hours)
                          .arg(decimalText(entryPrice() * *hours, 2)));
    LabelPay->setAccessibleName(LabelPay->text());
}

QVector<double> TForm24::entryFactors() const {
    QVector<double> factors;
    if (Day_.dayOff)
        factors << 2;
    if (CBox1->isChecked())
        factors << 1.2;
    return factors;
}

double TForm24::entryPrice() const {
    double price = chosenPrice();
    for (const double f : entryFactors())
        price *= f;
    return price;
}

void TForm24::prepareAdd(const HouseholdDay &day) {
    Day_ = day;
    Tag = 0;
    Edit1->clear();
    Edit2->clear();
    Edit6->setText("0");
    WorkerId = 0;
    NomenclatureId = 0;
    CBox1->setChecked(false);
    CBox1->setEnabled(true);
    openTypes(7777);
}

void TForm24::prepareChange(const HouseholdDay &day) {
    Day_ = day;
    const Dataset &entry = *day.entries;
    Tag = 1;
    EntryVersion = rowVersion(entry);
    Edit1->setText(entry.text("fio").trimmed());
    Edit2->setText(entry.text("s_caption").trimmed());
    Edit6->setText(entry.isEmpty() ? QString("0") : entry.text("cnt"));
    WorkerId = entry.asId("id_p");
    NomenclatureId = entry.asId("id_nom");
    CBox1->setChecked(entry.asInt("i_night") != 0);
    // A change keeps the entry's date and night flag.
    CBox1->setEnabled(false);
    openTypes(entry.isEmpty() ? 7777 : entry.asInt("id_o"));
}

void TForm24::Button3Click() {
    TForm5 &list = *forms().Form5;
    list.runAsPicker({kPickerMode, list.Button2, {list.Button1, list.Button3}});
}

void TForm24::Button4Click() {
    TForm26 &list = *forms().Form26;
    list.runAsPicker({kPickerMode, list.Button3, {list.Button1, list.Button2}});
}

void TForm24::Button1Click() {
    if (NomenclatureId == 0 || WorkerId == 0 || chosenType() == 0) {
        showError("Все поля должны быть заполнены!", "Ошибка");
        return;
    }
    // An empty field counts as no hours; anything but digits is refused, not read as a number.
    const std::optional<qint64> typed =
        Edit6->text().trimmed().isEmpty() ? std::optional<qint64>(0) : parseCount(Edit6->text());
    if (!typed) {
        showError(
            QString("Часы: целое число от 1 до 24, без запятых и знаков (%1).").arg(typedText(Edit6->text())),
            "Ошибка");
        return;
    }
    const int hours = int(qMin<qint64>(*typed, kMostHoursInADay + 1));
    if (hours < 1) {
        showError("Нужно завести количество!", "Ошибка");
        return;
    }
    if (hours > kMostHoursInADay) {
        showError("В одной записи не может быть больше 24 часов!", "Ошибка");
        return;
    }
    if (Tag == 0 && (refusedAsLaterMonth(Day_.date) || refusedAsLongAgo(Day_.date)))
        return;
    const bool dayOff = Day_.dayOff;
    const bool night = CBox1->isChecked();
    const int type = chosenType();
    const QString priceText = shortestNumber(entryPrice());
    TDataModule6 &dm = *forms().DataModule6;
    Dataset &entries = *Day_.entries;
    // A change keeps the entry's date; the entry itself is left out of the day's hours.
    const QDate day = Tag == 0 ? Day_.date : entries.value("d_date").toDate();
    if (refusedPastADay(dm.ADO_DB, WorkerId, Edit1->text().trimmed(), day, hours, 0,
                        Tag == 0 ? 0 : entries.asId("id")))
        return;
    {
        // The entry and its day cells are written together or not at all.
        Transaction tx(dm.ADO_DB);
        const TimesheetKey after = TimesheetKey::householdRow(WorkerId, type, night ? 1 : 0);
        if (Tag == 0) {
            const QDate date = Day_.date;
            LockDayCells(dm.ADO_DB, {{after, date}});
            dm.SQL_exec.execute(
                QString("INSERT INTO accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, "
                        "i_smena, cnt, price, i_holiday, i_night)VALUES(%1, %2 ,%3, to_date('%4', "
                        "'DD.MM.YYYY'), %5, %6, 1, %7, %8, %9, %10)")
                    .arg(NomenclatureId)
                    .arg(type)
                    .arg(WorkerId)
                    .arg(sqlDate(date))
                    .arg(date.month())
                    .arg(date.year())
                    .arg(hours)
                    .arg(priceText)
                    .arg(dayOff ? 1 : 0)
                    .arg(night ? 1 : 0));
            RewriteDayCell(dm, after, date, DayCellWrite::Store);
        } else {
            const TimesheetKey before = TimesheetKey::householdRow(
                entries.asId("id_p"), entries.asInt("id_o"), entries.asInt("i_night"));
            const QDate date = entries.value("d_date").toDate();
            // Both cells' locks first, in the one order every workstation takes them: two entries
            // moved between the same two keys in opposite directions would otherwise each hold
            // one and wait for the other.
            LockDayCells(dm.ADO_DB, {{before, date}, {after, date}});
            requireRowWritten(dm.SQL_exec.execute(
                QString("UPDATE accounts_dep.fatigue SET id_nom=%1, id_o=%2, id_p=%3, cnt=%4, "
                        "price=%5, i_holiday=%6, i_night=%7 where id=%8")
                    .arg(NomenclatureId)
                    .arg(type)
                    .arg(WorkerId)
                    .arg(hours)
                    .arg(priceText)
                    .arg(dayOff ? 1 : 0)
                    .arg(night ? 1 : 0)
                    .arg(entries.asId("id")) +
                sameRowVersion(EntryVersion)));
            // An entry moved to another worker or type leaves the cell it left right too.
            if (!(before == after))
                RewriteDayCell(dm, before, date, DayCellWrite::AfterDelete);
            RewriteDayCell(dm, after, date, DayCellWrite::Store);
        }
        tx.commit();
    }
    refreshAfterSaved([this] { Day_.reread(); });
    accept();
}
