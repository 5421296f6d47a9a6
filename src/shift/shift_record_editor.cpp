#include "shift/shift_record_editor.h"

#include "core/formatting.h"
#include "core/row_version.h"
#include "refbooks/workers_list.h"
#include "shift/piece_pricing.h"
#include "shift/price_list.h"
#include "timesheet/day_cells.h"
#include "timesheet/day_hours.h"
#include "ui/data_module.h"
#include "ui/date_typing.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/input_checks.h"
#include "ui/seams.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
bool mentionsPaint(const QString &text) {
    return text.toUpper().contains(QStringLiteral("КРАСКА"));
}
} // namespace

TForm11::TForm11(QWidget *parent) : QDialog(parent), SmenaIU(forms().DataModule6->ADO_DB, "SmenaIU") {
    setObjectName("Form11");
    auto *layout = new QVBoxLayout(this);
    auto *group = boldGroupBox("Закрыто мастером", this);
    auto *grid = new QGridLayout(group);
    int row = 0;
    auto label = [&](const QString &text, QWidget *buddy, int r, int c) {
        auto *l = new QLabel(text, group);
        l->setBuddy(buddy);
        grid->addWidget(l, r, c);
        return l;
    };
    auto edit = [&](QLineEdit *&e, const char *name) {
        e = new QLineEdit(group);
        e->setObjectName(name);
        return e;
    };
    auto display = [&](QLineEdit *&e, const char *name) {
        edit(e, name);
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
    };
    auto pickerButton = [&](QPushButton *&b, const char *name) {
        b = new QPushButton("...", group);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setFixedWidth(30);
    };
    display(Edit1, "Edit1");
    pickerButton(Button3, "Button3");
    label("ФИО", Edit1, row, 0);
    grid->addWidget(Edit1, row, 1, 1, 4);
    grid->addWidget(Button3, row++, 5);
    display(Edit2, "Edit2");
    pickerButton(Button4, "Button4");
    label("Операция", Edit2, row, 0);
    grid->addWidget(Edit2, row, 1, 1, 4);
    grid->addWidget(Button4, row++, 5);
    for (QLineEdit *e : {Edit1, Edit2})
        e->installEventFilter(this);

    // Quantity, defects and hours are whole numbers, checked when saved: a key the field dropped
    // by itself would turn "1,5" hours into 15 without a word. The colour is a number of digits.
    edit(Edit3, "Edit3");
    edit(Edit6, "Edit6");
    edit(Edit5, "Edit5");
    Edit5->setMaxLength(9);
    Edit5->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), Edit5));
    edit(Edit4, "Edit4");
    DTimeP = new QDateEdit(group);
    acceptTypedDates(DTimeP);
    DTimeP->setObjectName("DTimeP");
    DTimeP->setCalendarPopup(true);
    DTimeP->setDisplayFormat("dd.MM.yyyy");
    label("Кол-во", Edit3, row, 0);
    grid->addWidget(Edit3, row, 1);
    label("Время", Edit6, row, 2);
    grid->addWidget(Edit6, row++, 3);
    Label6 = label("Цвет", Edit5, row, 0);
    grid->addWidget(Edit5, row, 1);
    label("Дата", DTimeP, row, 2);
    grid->addWidget(DTimeP, row++, 3);
    label("Брак", Edit4, row, 0);
    grid->addWidget(Edit4, row++, 1);
    display(Edit8, "Edit8");
    display(Edit7, "Edit7");
    display(Edit9, "Edit9");
    label("Цена база", Edit8, row, 0);
    grid->addWidget(Edit8, row, 1);
    label("Цена итог", Edit7, row, 2);
    grid->addWidget(Edit7, row++, 3);
    label("Сумма", Edit9, row, 0);
    grid->addWidget(Edit9, row++, 1);
    // "Сумма" counts every piece at the final price, as it always has; the line beside it is what
    // the record will be paid: good pieces only, at the price as saved.
    LabelPay = new QLabel(group);
    LabelPay->setObjectName("LabelPay");
    LabelPay->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    LabelPay->setFocusPolicy(Qt::TabFocus);
    LabelPay->setWordWrap(true);
    grid->addWidget(LabelPay, row++, 0, 1, 6);
    layout->addWidget(group);

    const SaveCancelRow buttons = addSaveCancelRow(this, layout, "Запись", "Отмена", "Button2");
    Button1 = buttons.save;
    Button2 = buttons.cancel;
    setTabOrder(Button3, Button4);
    setTabOrder(Button4, Edit3);
    setTabOrder(Edit3, Edit6);
    setTabOrder(Edit6, Edit5);
    setTabOrder(Edit5, DTimeP);
    setTabOrder(DTimeP, Edit4);
    setTabOrder(Edit4, LabelPay);
    setTabOrder(LabelPay, Button1);
    setFixedSize(520, 340);

    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(Button4, &QPushButton::clicked, this, guarded([this] { Button4Click(); }));
    connect(Edit3, &QLineEdit::editingFinished, this, guarded([this] { recomputeDisplays(); }));
    connect(Edit6, &QLineEdit::editingFinished, this, guarded([this] { recomputeDisplays(); }));
    connect(Edit4, &QLineEdit::editingFinished, this, guarded([this] { recomputeDisplays(); }));
    // A date typed part by part passes through other days ("1", "13", ...): it is priced once the
    // field is left or the record saved; one picked from the calendar or set at once, at once.
    connect(DTimeP, &QDateEdit::dateChanged, this, guarded([this] {
                if (!DTimeP->hasFocus())
                    dateChanged();
            }));
    connect(DTimeP, &QDateEdit::editingFinished, this, guarded([this] { dateChanged(); }));

    forms().Form5->pickTargets[1] = [this](Id id, const QString &fio) {
        Edit1->setText(fio);
        WorkerId = id;
    };
    // The price list hands over the chosen row of the operations list it shows.
    forms().Form4->pickTargets[1] = [this](Id operRowId, const QString &text) {
        const Dataset &oper = forms().DataModule6->Oper;
        takeOperation(oper.asId("i_id"), operRowId, text, oper.asDouble("cena"));
    };
}

bool TForm11::eventFilter(QObject *watched, QEvent *e) {
    if (e->type() == QEvent::MouseButtonPress && (watched == Edit1 || watched == Edit2)) {
        if (watched == Edit1)
            runGuarded([this] { Button3Click(); });
        else
            runGuarded([this] { Button4Click(); });
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TForm11::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    Button3->setFocus();
}

void TForm11::prepareAdd(const SheetDay &sheet, Dataset &list) {
    Sheet_ = sheet;
    List_ = &list;
    Shown_ = {};
    {
        const QSignalBlocker quiet(DTimeP);
        DTimeP->setDate(sheet.date);
    }
    OperRowId = 0;
    PiecePrice = 0;
    ListPrice_ = 0;
    LabelPay->clear();
    Edit1->clear();
    Edit2->clear();
    Edit3->clear();
    Edit5->clear();
    Edit4->setText("0");
    Edit6->setText("0");
    setWindowTitle("Заведение новой позиции (11)");
    Tag = 1;
}

void TForm11::prepareChange(const SheetDay &sheet, Dataset &list) {
    Sheet_ = sheet;
    List_ = &list;
    const Dataset &row = list;
    Shown_ = ShownRecord::of(row);
    setWindowTitle("Изменение данных о позиции (11)");
    Tag = 2;
    RecordVersion = rowVersion(row);
    Before_ = {qRound64(row.asDouble("kol_vo")), qRound64(row.asDouble("brak")), row.asId("i_id"),
               row.asId("o_id")};
    PiecePrice = row.asDouble("cena");
    ListPrice_ = 0;
    Edit7->setText(priceDisplay(round4(PiecePrice)));
    Edit9->setText(priceDisplay(round4(row.asDouble("kol_vo") * PiecePrice)));
    {
        const QSignalBlocker quiet(DTimeP);
        DTimeP->setDate(row.value("data").toDate());
    }
    PricedDayOff_ = dayOffOn(DTimeP->date());
    KeptPriceFor_ = QDate();
    Edit1->setText(row.text("fio").trimmed());
    Edit2->setText(row.text("marka").trimmed() + "; " + row.text("vid").trimmed() + "; " +
                   productKindName(row.asInt("naimen")));
    Edit3->setText(row.text("kol_vo").trimmed());
    Edit4->setText(row.text("brak").trimmed());
    WorkerId = row.asId("w_id");
    ProductId = row.asId("i_id");
    OperRowId = row.asId("o_id");
    Edit6->setText(QString::number(row.asInt("time")));
    const bool paint = mentionsPaint(row.text("vid").trimmed());
    Edit5->setEnabled(paint);
    Label6->setEnabled(paint);
    if (paint)
        Edit5->setText(row.text("color"));
    else
        Edit5->clear();
    // "Цена база" shows the list price of the record's operation from the start.
    Dataset &oper = forms().DataModule6->Oper;
    oper.close();
    oper.setFiltered(false);
    oper.open();
    oper.locate("id", OperRowId);
    Edit8->setText(
        priceDisplay(oper.recNo() > 0 && oper.asId("id") == OperRowId ? round4(oper.asDouble("cena")) : 0));
    showPay();
}

void TForm11::takeOperation(Id productId, Id operRowId, const QString &text, double listPrice) {
    const bool dayOff = Sheet_.dayOff;
    ProductId = productId;
    OperRowId = operRowId;
    PiecePrice = shiftPiecePrice(listPrice, dayOff, Sheet_.shift);
    ListPrice_ = listPrice;
    PricedDayOff_ = dayOff;
    Edit2->setText(text);
}

bool TForm11::dayOffOn(const QDate &date) const {
    return date == Sheet_.date ? Sheet_.dayOff : isWeekend(date);
}

void TForm11::dateChanged() {
    if (Edit2->text().trimmed().isEmpty() || OperRowId == 0)
        return;
    const QDate date = DTimeP->date();
    const bool dayOff = dayOffOn(date);
    if (dayOff == PricedDayOff_)
        return;
    if (ListPrice_ > 0) {
        PiecePrice = shiftPiecePrice(ListPrice_, dayOff, Sheet_.shift);
    } else {
        // A stored record's price: its day-off factor alone changes, and only when the user says so
        // (asked once for a date).
        if (date == KeptPriceFor_)
            return;
        const double again = round4(dayOff ? PiecePrice * 2 : PiecePrice / 2);
        const QString question =
            QString("Дата записи изменена на %1 (%2). Цена %3 рассчитана для %4. Пересчитать цену: %5?")
                .arg(sqlDate(date), dayOff ? "выходной день" : "рабочий день",
                     priceDisplay(round4(PiecePrice)), dayOff ? "рабочего дня" : "выходного дня",
                     priceDisplay(again));
        if (!askYesNo(question, "Цена")) {
            KeptPriceFor_ = date;
            return;
        }
        PiecePrice = again;
    }
    PricedDayOff_ = dayOff;
    recomputeDisplays();
}

void TForm11::showPay() {
    const auto pieces = parseCount(Edit3->text());
    const auto defects =
        Edit4->text().trimmed().isEmpty() ? std::optional<qint64>(0) : parseCount(Edit4->text());
    if (!pieces || !defects || Edit2->text().trimmed().isEmpty() || *defects > *pieces) {
        LabelPay->clear();
        return;
    }
    const double price = round4(PiecePrice);
    QString factors;
    if (ListPrice_ > 0) {
        QStringList parts{priceDisplay(round4(ListPrice_))};
        for (const double f : pieceFactors(PricedDayOff_, Sheet_.shift))
            parts << priceDisplay(f);
        if (parts.size() > 1)
            factors = " (" + parts.join(" x ") + ")";
    }
    LabelPay->setText(
        QString("к начислению: (%1 - %2) шт. x %3%4 = %5")
            .arg(*pieces)
            .arg(*defects)
            .arg(priceDisplay(price), factors, moneyText(recordPayText(*pieces - *defects, price))));
    LabelPay->setAccessibleName(LabelPay->text());
}

void TForm11::Button3Click() {
    TForm5 &list = *forms().Form5;
    list.runAsPicker({1, list.Button2, {list.Button1, list.Button3}, false});
}

void TForm11::Button4Click() {
    TForm4 &list = *forms().Form4;
    Dataset &oper = forms().DataModule6->Oper;
    list.Tag = 1;
    oper.close();
    oper.setFiltered(false);
    oper.open();
    if (Tag != 1)
        oper.locate("id", Before_.operRow);
    list.Button2->setText("Выбрать");
    list.Button1->hide();
    list.Button3->hide();
    list.Button2->setDefault(true);
    list.Edit1->show();
    // Clearing the filter field must not move the list off the record's operation.
    const int place = oper.recNo();
    list.Edit1->clear();
    oper.moveTo(place);
    showModal(&list);
    list.Button2->setDefault(false);
    list.Edit1->hide();
    // The list stays open on the chosen row, also when a filter was in effect.
    const QVariant chosen = oper.value("id");
    oper.setFiltered(false);
    if (!chosen.isNull())
        oper.locate("id", chosen);
    applyPaintRule();
    recomputeDisplays();
}

bool TForm11::isPaintOperation() const {
    return mentionsPaint(Edit2->text());
}

void TForm11::applyPaintRule() {
    const bool paint = isPaintOperation();
    Edit5->setEnabled(paint);
    Label6->setEnabled(paint);
    if (!paint)
        Edit5->clear();
}

void TForm11::recomputeDisplays() {
    if (Edit6->text().isEmpty())
        Edit6->setText("0");
    if (Edit3->text().isEmpty())
        Edit3->setText("0");
    Edit7->setText(priceDisplay(round4(PiecePrice)));
    Dataset &oper = forms().DataModule6->Oper;
    Edit8->setText(priceDisplay(oper.isOpen() && !oper.isEmpty() ? round4(oper.asDouble("cena")) : 0));
    Edit9->setText(priceDisplay(round4(Edit3->text().toDouble() * PiecePrice)));
    showPay();
}

QString TForm11::duplicateSql(int color, Id recordId) const {
    const int shift = Sheet_.shift;
    QString sql =
        QString("select count(id) as cnt from accounts_dep.SMENA where w_id=%1 and o_id=%2 and i_id=%3 and "
                "data=to_date('%4', 'DD.MM.YYYY') and smena=%5")
            .arg(WorkerId)
            .arg(OperRowId)
            .arg(ProductId)
            .arg(sqlDate(DTimeP->date()))
            .arg(shift);
    if (Tag != 1)
        sql += " and id<>" + QString::number(recordId);
    return sql + " and color=" + QString::number(color);
}

QString TForm11::countSql(const QLineEdit *field) {
    return QString::number(parseCount(field->text()).value_or(0));
}

bool TForm11::clearsAcceptance() const {
    return Tag != 1 && Shown_.accepted &&
           (parseCount(Edit3->text()).value_or(-1) != Before_.pieces ||
            parseCount(Edit4->text()).value_or(-1) != Before_.defects || ProductId != Before_.product ||
            OperRowId != Before_.operRow);
}

void TForm11::insertRecord(const QString &price, int color) {
    SmenaIU.execute(
        QString(
            "insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, "
            "vvod,ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) values(%1, %2, "
            "%3, %4,%5, %6, to_date('%7', 'DD.MM.YYYY HH24:MI:SS'), %8, %9, %10, to_date('%11', "
            "'DD.MM.YYYY'), 'no', 0, 0, 0, 0, 0, 0)")
            .arg(WorkerId)
            .arg(ProductId)
            .arg(OperRowId)
            .arg(price, countSql(Edit3), countSql(Edit4), sqlDate(DTimeP->date()))
            .arg(Sheet_.shift)
            .arg(color)
            .arg(countSql(Edit6), sqlDate(today())));
}

int TForm11::updateRecord(const QString &price, int color, Id recordId) {
    return SmenaIU.execute(
        QString("update accounts_dep.SMENA set w_id=%1, i_id=%2, o_id=%3, cena=%4, kol_vo=%5, brak=%6, "
                "data=to_date('%7', 'DD.MM.YYYY'), smena=%8, color=%9, time=%10, vvod=to_date('%11', "
                "'DD.MM.YYYY'), prize=0, id_doc=0, id_doc_item=0, f_gds_qty_use=0, id_gds_use=0, "
                "id_cons_use=0%12 where id=%13")
            .arg(WorkerId)
            .arg(ProductId)
            .arg(OperRowId)
            .arg(price, countSql(Edit3), countSql(Edit4), sqlDate(DTimeP->date()))
            .arg(Sheet_.shift)
            .arg(color)
            .arg(countSql(Edit6), sqlDate(today()))
            // What the warehouse accepted is no longer what the record says.
            .arg(clearsAcceptance() ? QStringLiteral(", ok='no'") : QString())
            .arg(recordId) +
        sameRowVersion(RecordVersion));
}

void TForm11::clearFields() {
    for (QLineEdit *e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9})
        e->clear();
}

bool TForm11::writeRecord(const QString &price, int color, Id recordId) {
    TDataModule6 &dm = *forms().DataModule6;
    const int shift = Sheet_.shift;
    const QDate date = DTimeP->date();
    const TimesheetKey key = TimesheetKey::shiftRow(WorkerId, shift);
    // The record and its day cells are written together or not at all.
    Transaction tx(dm.ADO_DB);
    QList<QPair<TimesheetKey, QDate>> cells{{key, date}};
    const bool moved =
        Tag != 1 && (Shown_.worker != WorkerId || Shown_.shift != shift || Shown_.date != date);
    const TimesheetKey oldKey = TimesheetKey::shiftRow(Shown_.worker, Shown_.shift);
    const QDate oldDate = Shown_.date;
    if (moved)
        cells.append({oldKey, oldDate});
    // Two workstations entering the same record at once: the second one waits for the first one's
    // key and then finds its record, instead of both passing the check and saving it twice.
    LockDayCells(dm.ADO_DB, cells);
    // Told after the rollback: no message waits for the user while the locks are held.
    if (dm.lookup(duplicateSql(color, recordId), "cnt").toInt() > 0)
        return false;
    if (Tag == 1) {
        insertRecord(price, color);
    } else {
        requireRowWritten(updateRecord(price, color, recordId));
        // A record moved to another worker, date or shift leaves its old cell right too.
        if (moved)
            RewriteDayCell(dm, oldKey, oldDate, DayCellWrite::AfterDelete);
    }
    RewriteDayCell(dm, key, date, DayCellWrite::Store);
    tx.commit();
    return true;
}

void TForm11::Button1Click() {
    const bool paint = isPaintOperation();
    for (QLineEdit *e : {Edit1, Edit2, Edit3, Edit4}) {
        if (e->text().trimmed().isEmpty()) {
            showError("Все поля должны быть заполнены!", "Ошибка");
            return;
        }
    }
    if ((paint && Edit5->text().trimmed().isEmpty()) || Edit6->text().trimmed().isEmpty()) {
        showError("Все поля должны быть заполнены!", "Ошибка");
        return;
    }
    // A date typed and saved without leaving the field is priced now.
    dateChanged();
    const std::optional<qint64> pieces = parseCount(Edit3->text());
    const std::optional<qint64> defects = parseCount(Edit4->text());
    const std::optional<qint64> hours = parseCount(Edit6->text());
    if (!pieces || *pieces > kMostPiecesInARecord) {
        showError(QString("Кол-во: целое число штук от 0 до %1, без запятых и знаков (%2).")
                      .arg(kMostPiecesInARecord)
                      .arg(typedText(Edit3->text())),
                  "Ошибка");
        return;
    }
    if (!defects || *defects > kMostDefectsInARecord) {
        showError(QString("Брак: целое число штук, без запятых и знаков (%1).").arg(typedText(Edit4->text())),
                  "Ошибка");
        return;
    }
    if (!hours) {
        showError(QString("Время: целое число часов от 0 до 24, без запятых и знаков (%1).")
                      .arg(typedText(Edit6->text())),
                  "Ошибка");
        return;
    }
    if (*defects > *pieces) {
        showError("Брак не может быть больше количества!", "Ошибка");
        return;
    }
    if (*hours > kMostHoursInADay) {
        showError("В одной записи не может быть больше 24 часов!", "Ошибка");
        return;
    }
    if (double(*pieces - *defects) * round4(PiecePrice) > kMostPayOfARecord) {
        showError(QString("Сумма записи %1 больше, чем может быть начислено за одну запись (%2): проверьте "
                          "количество и цену.")
                      .arg(recordPayText(*pieces - *defects, round4(PiecePrice)),
                           decimalText(kMostPayOfARecord, 2)),
                  "Ошибка");
        return;
    }
    if (refusedAsLaterMonth(DTimeP->date()) || refusedAsLongAgo(DTimeP->date()) || refusedAsNoPieces(*pieces))
        return;
    const QString price = priceSql(round4(PiecePrice));
    const int color = Edit5->text().trimmed().isEmpty() ? 0 : Edit5->text().trimmed().toInt();
    TDataModule6 &dm = *forms().DataModule6;
    const Id recordId = Tag == 1 ? 0 : Shown_.id;
    if (refusedPastADay(dm.ADO_DB, WorkerId, Edit1->text().trimmed(), DTimeP->date(), int(*hours), recordId,
                        0))
        return;
    const bool unaccepted = clearsAcceptance();
    if (!writeRecord(price, color, recordId)) {
        showError("Позиция с такими параметрами уже заведена!", "Ошибка");
        return;
    }
    if (unaccepted)
        showInfo("Запись была принята складом. Изменены количество, брак, изделие или операция, поэтому "
                 "отметка приёмки снята: склад примет запись заново.",
                 "Приемка");
    refreshAfterSaved([this] { List_->reopenKeepingPlace(); });
    for (Dataset *t : {&dm.H_Tabel_1, &dm.H_Tabel_2, &dm.H_Tabel_3})
        t->close();
    clearFields();
    accept();
}
