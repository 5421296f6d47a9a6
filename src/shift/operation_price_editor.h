#pragma once
// Adds (mode 1) or changes (mode 2) one operation row of the price list: product, operation type
// and kind; a new row can get its first norm price here, so that it is listed at once.
#include <QDialog>

#include "core/command.h"
#include "core/id.h"

class Dataset;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TForm10 : public QDialog {
    Q_OBJECT
public:
    explicit TForm10(QWidget *parent = nullptr);

    int Tag = 1;
    Id ProductId = 0;
    Id OperTypeId = 0;
    QLineEdit *Edit1;     // "Марка изделия"
    QPushButton *Button3; // product picker
    QLineEdit *Edit2;     // "Операция"
    QPushButton *Button4; // operation type picker
    QComboBox *ComboBox1; // "Вид": index 0 finished goods, 1 blanks
    QLabel *Label4;
    QLineEdit *Edit3;     // "min Цена"
    QPushButton *Button1; // "Записать"
    QPushButton *Button2; // "Отмена"
    Command norm_ins;

    void prepareAdd();
    void prepareChange(Dataset &oper);
    void Button1Click();
    void Button3Click();
    void Button4Click();

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool isDuplicate();
    void insertRow();
    void updateRow(Id id);
    Id newRowId();
    void insertFirstNorm(Id rowId, double price);
};
