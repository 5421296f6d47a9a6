#pragma once
// Adds (mode 1) or renames (mode 2) one operation type.
#include "core/id.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget *parent = nullptr);

    int Tag = 1;
    QLineEdit *Edit1;     // "Операция"
    QPushButton *Button1; // "Записать"
    QPushButton *Button2; // "Отмена"

    void Button1Click();

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool isDuplicate(const QString &name);
    void insertType(const QString &name);
    void renameType(const QString &name, Id id);
};
