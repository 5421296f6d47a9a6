#pragma once
// "Изделия (3)": maintains the products (mode 0) and serves as the product picker of the operation
// price editor (mode 1). Deleting a product removes, after confirmation, its prices and records.
#include "ui/list_window.h"

class TForm3 : public ReferenceListWindow {
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    QPushButton *Button1; // "Добавить"
    QPushButton *Button2; // "Изменить" / "Выбрать"
    QPushButton *Button3; // "Удалить"

    void Button1Click();
    void Button2Click();
    void Button3Click();

private:
    int countShiftRecords(Id productId);
    int countPrices(Id productId);
    void deletePrices(Id productId);
    void deleteShiftRecords(Id productId);
    void deleteProduct(Id productId);

    Dataset Izdel_Smena;
    Dataset ii_oper;
};
