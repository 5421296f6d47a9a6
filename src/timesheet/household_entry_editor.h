#pragma once
// "Хоз. работы/среднесдельная (24)": holds one household or average-piece entry: worker, group,
// work type with its hourly price, hours and the night flag. Adds (mode 0) or changes (mode 1).
#include "core/dataset.h"
#include "core/id.h"

#include <QDate>
#include <QDialog>
#include <QVector>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What the household list shows when it opens the editor: its day, that day's day-off box, its
// entries (a change edits the current one) and how the list is read again after a save.
struct HouseholdDay {
    QDate date;
    bool dayOff = false;
    Dataset *entries = nullptr;
    std::function<void()> reread;
};

class TForm24 : public QDialog {
    Q_OBJECT
public:
    explicit TForm24(QWidget *parent = nullptr);

    int Tag = 0; // 0 add, 1 change
    Id WorkerId = 0;
    Id NomenclatureId = 0;
    // Version of the entry a change was prepared from (see core/row_version.h).
    qint64 EntryVersion = 0;

    QLineEdit *Edit1;        // "ФИО"
    QPushButton *Button3;    // worker picker
    QLineEdit *Edit2;        // "Номенклатура"
    QPushButton *Button4;    // group picker
    QComboBox *cb_type_work; // work type
    QLineEdit *Edit6;        // hours
    QLineEdit *DBEdit1;      // hourly price of the type
    QLineEdit *DBEdit2;      // price times hours
    QLabel *LabelPay;        // what will be saved and paid, with its factors
    QCheckBox *CBox1;        // "Ночные"
    QPushButton *Button1;    // "Записать"
    QPushButton *Button6;    // "Выход"
    Dataset type_work;       // work types with their norm prices

    // Fills the editor for a new entry on the list's day, or from the list's current entry.
    void prepareAdd(const HouseholdDay &day);
    void prepareChange(const HouseholdDay &day);
    void closeTypes();

    void Button1Click();
    void Button3Click();
    void Button4Click();

    // The work type and price of the chosen line; 0 when none.
    int chosenType() const;
    double chosenPrice() const;

protected:
    void showEvent(QShowEvent *e) override;

private:
    HouseholdDay Day_;
    void openTypes(int type);
    void showPrice();
    // The factors of the hourly price: 2 on a day off (the list's box), 1.2 at night.
    QVector<double> entryFactors() const;
    // The hourly price saved: the type's price with those factors.
    double entryPrice() const;
};
