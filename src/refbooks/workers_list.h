#pragma once
// "Список рабочих": maintains the workers (mode 0) and serves as the worker picker of the shift
// record editor (mode 1) and the household-work editor (mode 24).
#include "ui/list_window.h"

class TForm5 : public ReferenceListWindow {
    Q_OBJECT
public:
    explicit TForm5(QWidget *parent = nullptr);

    QPushButton *Button1; // "Добавить"
    QPushButton *Button2; // "Изменить" / "Выбрать"
    QPushButton *Button3; // "Удалить"

    void Button1Click();
    void Button2Click();
    void Button3Click();
};
