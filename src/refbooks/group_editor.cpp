#include "refbooks/group_editor.h"

#include "core/dataset.h"
#include "ui/data_module.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm29::TForm29(QWidget *parent) : QDialog(parent) {
    setObjectName("Form29");
    setWindowTitle("Ведение групп (29)");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto *layout = new QVBoxLayout(this);
    auto *group = boldGroupBox("Номенклатурная группа", this);
    auto *form = new QFormLayout(group);
    Edit1 = new QLineEdit(group);
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(254);
    Edit1->setFocusPolicy(Qt::ClickFocus);
    form->addRow("Наименование", Edit1);
    layout->addWidget(group);
    const SaveCancelRow row = addSaveCancelRow(this, layout, "Записать", "Выход", "Button6", true);
    Button1 = row.save;
    Button6 = row.cancel;
    setFixedSize(400, 130);
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
}

void TForm29::insertGroup(const QString &name) {
    // Only level-2 rows are groups: the new one is listed at once on any database.
    Command &cmd = forms().DataModule6->SQL_exec;
    cmd.setSql("INSERT INTO cmn_classifier.item(s_caption, id_level) VALUES(:name, 2)");
    cmd.setParam("name", name);
    cmd.execute();
}

void TForm29::renameGroup(const QString &name, Id id) {
    Command &cmd = forms().DataModule6->SQL_exec;
    cmd.setSql("UPDATE cmn_classifier.item SET s_caption=:name where id=:id");
    cmd.setParam("name", name);
    cmd.setParam("id", id);
    cmd.execute();
}

void TForm29::prepareAdd(Dataset &groups) {
    Groups_ = &groups;
    Tag = 1;
    Edit1->clear();
}

void TForm29::prepareChange(Dataset &groups) {
    Groups_ = &groups;
    Tag = 2;
    Edit1->setText(groups.text("s_caption").trimmed());
}

void TForm29::Button1Click() {
    const QString name = Edit1->text().trimmed();
    // A group without a name would show as an empty line in the pickers, and entries booked to it
    // could not be told from others.
    if (name.isEmpty()) {
        showError("Все поля должны быть заполнены!", "Ошибка");
        return;
    }
    Dataset &item = *Groups_;
    if (Tag == 1)
        insertGroup(name);
    else
        renameGroup(name, item.asId("id"));
    item.close();
    item.open();
    accept();
}
