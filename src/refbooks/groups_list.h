#pragma once
// "Номенклатура (26)": maintains the nomenclature groups (mode 0) and serves as the group picker
// of the household-work editor (mode 24). Groups are never deleted.
#include "ui/list_window.h"

class TForm26 : public ReferenceListWindow {
    Q_OBJECT
public:
    explicit TForm26(QWidget *parent = nullptr);

    Dataset item;         // the groups: classifier rows of level 2
    QPushButton *Button2; // "Добавить"
    QPushButton *Button3; // "Изменить" / "Выбрать"
    QPushButton *Button1; // "Удалить": no group is ever deleted; it acts as "Изменить"

    void Button2Click();
    void Button3Click();
};
