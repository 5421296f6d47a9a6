#pragma once
// The shift record editor: a foreman enters (mode 1) or corrects (mode 2) what one worker did on
// one operation of one product on one date and shift. Picking the operation prices the record;
// saving writes it and the worker's day total into the monthly timesheet.
#include <QDate>
#include <QDialog>

#include "core/command.h"
#include "core/id.h"
#include "shift/record_actions.h"

class Dataset;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

// What the day sheet shows when it opens the editor: the day a new record starts on, that day's
// day-off box, and the sheet's shift, which every record saved from here carries.
struct SheetDay {
    QDate date;
    bool dayOff = false;
    int shift = 1;
};

class TForm11 : public QDialog {
    Q_OBJECT
public:
    explicit TForm11(QWidget *parent = nullptr);

    int Tag = 1;
    Id WorkerId = 0;
    Id ProductId = 0;
    Id OperRowId = 0;
    double PiecePrice = 0;
    // Version of the record a change was prepared from (see core/row_version.h).
    qint64 RecordVersion = 0;

    QLineEdit *Edit1; // "ФИО"
    QPushButton *Button3;
    QLineEdit *Edit2; // "Операция"
    QPushButton *Button4;
    QLineEdit *Edit3; // "Кол-во"
    QLineEdit *Edit6; // "Время"
    QLabel *Label6;
    QLineEdit *Edit5; // "Цвет"
    QDateEdit *DTimeP;
    QLineEdit *Edit4;     // "Брак"
    QLineEdit *Edit8;     // "Цена база"
    QLineEdit *Edit7;     // "Цена итог"
    QLineEdit *Edit9;     // "Сумма"
    QLabel *LabelPay;     // what will be saved and paid, with its factors
    QPushButton *Button1; // "Запись"
    QPushButton *Button2; // "Отмена"
    Command SmenaIU;

    // Prepared by the day sheet: list is the sheet's list of the shift, read again after a save;
    // a change edits its current row.
    void prepareAdd(const SheetDay &sheet, Dataset &list);
    void prepareChange(const SheetDay &sheet, Dataset &list);

    // The price list's pick: the record's product, price-list row and text; the piece price is made
    // of the list price, the sheet's day-off box and the sheet's shift.
    void takeOperation(Id productId, Id operRowId, const QString &text, double listPrice);

    void Button1Click();
    // What "Запись" writes once the fields are checked: the record (added, or changed while it
    // still has the version it was read with) and its day cells, in one transaction. False when
    // the same record is already there (the user was told; nothing written).
    bool writeRecord(const QString &price, int color, Id recordId);
    void Button3Click(); // worker picker
    void Button4Click(); // operation picker
    void recomputeDisplays();
    // "Дата" changed: a price made for a day off on a working day (or the other way round) is made
    // again for the new date, from the list price when the pick gave it, else after a question.
    void dateChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    // The day-off state of a date: the sheet's box for the sheet's own day, else the calendar's.
    bool dayOffOn(const QDate &date) const;
    SheetDay Sheet_;
    Dataset *List_ = nullptr;
    // The changed record as it was read: its id, where its day cell is, and whether accepted.
    ShownRecord Shown_;
    void showPay();
    double ListPrice_ = 0; // 0: not known (a stored record's price)
    // What the warehouse accepted of a changed record, as it was read.
    struct Accepted {
        qint64 pieces = 0, defects = 0;
        Id product = 0, operRow = 0;
    } Before_;
    // The change alters what the warehouse accepted: its mark is cleared with the save.
    bool clearsAcceptance() const;
    // A count field as the statement takes it, once checked: digits only.
    static QString countSql(const QLineEdit *field);
    bool PricedDayOff_ = false; // the day-off state PiecePrice holds
    QDate KeptPriceFor_;        // the user kept the stored price for this date
    void applyPaintRule();
    bool isPaintOperation() const;
    QString duplicateSql(int color, Id recordId) const;
    void insertRecord(const QString &price, int color);
    int updateRecord(const QString &price, int color, Id recordId);
    void clearFields();
};
