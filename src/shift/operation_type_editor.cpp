#include "shift/operation_type_editor.h"

#include "ui/data_module.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/list_window.h"
#include "ui/seams.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm9::TForm9(QWidget *parent) : QDialog(parent) {
    setObjectName("Form9");
    setWindowTitle("Вид операции");
    auto *layout = new QVBoxLayout(this);
    auto *group = new QGroupBox("Вид операции", this);
    auto *form = new QFormLayout(group);
    Edit1 = new QLineEdit(group);
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(50);
    form->addRow("Операция", Edit1);
    layout->addWidget(group);
    const SaveCancelRow row = addSaveCancelRow(this, layout, "Записать", "Отмена", "Button2");
    Button1 = row.save;
    Button2 = row.cancel;
    setFixedSize(380, 130);
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
}

void TForm9::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    Edit1->setFocus();
}

bool TForm9::isDuplicate(const QString &name) {
    TDataModule6 &dm = *forms().DataModule6;
    QString sql = "select count(*) as cnt from accounts_dep.vid_oper where upper(vid)=:vid";
    SqlParams params{{"vid", name.toUpper()}};
    if (Tag != 1) {
        sql += " and id<>:id";
        params.append({"id", dm.Vid_oper.asId("id")});
    }
    return dm.CheckDuplicate(sql, "Такая операция уже заведена!", params);
}

void TForm9::insertType(const QString &name) {
    forms().DataModule6->ADO_DB.run("insert into accounts_dep.vid_oper(vid) values (:vid)", {{"vid", name}});
}

void TForm9::renameType(const QString &name, Id id) {
    forms().DataModule6->ADO_DB.run("update accounts_dep.vid_oper set vid=:vid where id=:id",
                                    {{"vid", name}, {"id", id}});
}

void TForm9::Button1Click() {
    const QString name = Edit1->text().trimmed();
    if (name.isEmpty()) {
        showError("Все поля должны быть заполнены!", "Ошибка");
        return;
    }
    if (isDuplicate(name))
        return;
    Dataset &types = forms().DataModule6->Vid_oper;
    if (Tag == 1)
        insertType(name);
    else
        renameType(name, types.asId("id"));
    types.close();
    types.open();
    accept();
}
