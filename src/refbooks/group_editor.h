#pragma once
// "Ведение групп (29)": adds (mode 1) or renames (mode 2) a nomenclature group.
#include "core/id.h"

#include <QDialog>

class Dataset;

class QLineEdit;
class QPushButton;

class TForm29 : public QDialog {
    Q_OBJECT
public:
    explicit TForm29(QWidget *parent = nullptr);

    int Tag = 1;
    QLineEdit *Edit1;     // "Наименование"
    QPushButton *Button1; // "Записать"
    QPushButton *Button6; // "Выход"

    // Prepared by the groups list with its groups: a new one, or its current one renamed; the
    // list is read again after a save.
    void prepareAdd(Dataset &groups);
    void prepareChange(Dataset &groups);

    void Button1Click();

private:
    Dataset *Groups_ = nullptr;
    void insertGroup(const QString &name);
    void renameGroup(const QString &name, Id id);
};
