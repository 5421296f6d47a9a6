#pragma once
// "Операции": the operation price list, one line per operation row with its list price (the
// smallest norm price) and its number of norms. Maintains the list (mode 0), serves as the
// operation picker of the shift record editor (mode 1) and exports the list to a spreadsheet.
#include "ui/list_window.h"

class QCheckBox;

class TForm4 : public ReferenceListWindow {
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);

    QPushButton *Button1; // "Добавить"
    QPushButton *Button2; // "Изменить" / "Выбрать"
    QPushButton *Button3; // "Удалить"
    QPushButton *Button5; // "Excel"
    QCheckBox *CheckBox1; // "Цены": a double-click opens the norms

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button5Click();
    void DBGrid1DblClick();
    void openNorms();

private:
    Dataset XLS_Rep;
};
