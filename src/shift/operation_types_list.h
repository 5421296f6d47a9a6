#pragma once
// "Виды операций (8)": maintains the operation types (mode 0) and serves as the type picker of the
// operation price editor (mode 1).
#include "ui/list_window.h"

class TForm8 : public ReferenceListWindow {
    Q_OBJECT
public:
    explicit TForm8(QWidget *parent = nullptr);

    QPushButton *Button1; // "Добавить"
    QPushButton *Button2; // "Изменить" / "Выбрать"
    QPushButton *Button3; // "Удалить"

    void Button1Click();
    void Button2Click();
    void Button3Click();

private:
    void deleteType(Id id);
};
