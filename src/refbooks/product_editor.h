#pragma once
// "Изделие": adds (mode 1) or changes (mode 2) one product: its mark, value and group.
#include <QDialog>

#include "core/dataset.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget *parent = nullptr);

    int Tag = 1;
    QLineEdit *Edit1; // "Марка"
    QLineEdit *Edit2; // "Расценка"
    QComboBox *cb_item;
    QPushButton *Button1; // "Записать"
    QPushButton *Button2; // "Отмена"
    Dataset item;         // the nomenclature groups of the drop-down

    void openGroups();
    void chooseGroup(Id groupId);
    Id chosenGroup() const;
    // The value field as a number literal for the statements.
    QString valueSql() const;

    void Button1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    bool isDuplicate(const QString &mark);
    void insertProduct(const QString &mark);
    void updateProduct(const QString &mark);
};
