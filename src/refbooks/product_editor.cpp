#include "refbooks/product_editor.h"

#include "ui/data_module.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/list_window.h"
#include "ui/seams.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

TForm7::TForm7(QWidget *parent) : QDialog(parent), item(forms().DataModule6->ADO_DB, "item") {
    setObjectName("Form7");
    setWindowTitle("Изделие");
    item.setSql({"select * from cmn_classifier.item where id_level=2 order by s_caption"});
    auto *layout = new QVBoxLayout(this);
    auto *group = boldGroupBox("Данные об изделии", this);
    auto *form = new QFormLayout(group);
    Edit1 = new QLineEdit(group);
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(254);
    Edit2 = new QLineEdit(group);
    Edit2->setObjectName("Edit2");
    // Pasted text obeys the same rule as typed keys: digits and points only.
    Edit2->setValidator(
        new QRegularExpressionValidator(QRegularExpression(R"(\d{0,15}(\.\d{0,6})?)"), Edit2));
    Edit2->installEventFilter(this);
    cb_item = new QComboBox(group);
    cb_item->setObjectName("cb_item");
    form->addRow("Марка", Edit1);
    form->addRow("Расценка", Edit2);
    form->addRow("Группа", cb_item);
    layout->addWidget(group);
    const SaveCancelRow row = addSaveCancelRow(this, layout, "Записать", "Отмена", "Button2");
    Button1 = row.save;
    Button2 = row.cancel;
    setFixedSize(380, 170);
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
}

bool TForm7::eventFilter(QObject *watched, QEvent *e) {
    if (watched == Edit2 && e->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(e);
        const QString typed = key->text();
        if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
            key->key() == Qt::Key_Escape || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        if (typed == "," || typed == ".") {
            Edit2->insert(".");
            return true;
        }
        if (typed.size() == 1 && typed.at(0).isDigit() && typed.at(0).unicode() < 128)
            return false;
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TForm7::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    Edit1->setFocus();
}

void TForm7::openGroups() {
    item.close();
    item.open();
    fillLookup(cb_item, item, "s_caption", "id");
}

void TForm7::chooseGroup(Id groupId) {
    int index = -1;
    for (int i = 0; i < cb_item->count(); ++i)
        if (toId(cb_item->itemData(i)) == groupId)
            index = i;
    cb_item->setCurrentIndex(index);
}

Id TForm7::chosenGroup() const {
    return cb_item->currentIndex() < 0 ? 0 : toId(cb_item->currentData());
}

QString TForm7::valueSql() const {
    // The field holds only digits and one point: the number is written as it stands, whatever
    // separator the database row names (that one is for the price list's old statements).
    QString text = Edit2->text().trimmed();
    if (text.startsWith('.'))
        text.prepend('0');
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

bool TForm7::isDuplicate(const QString &mark) {
    TDataModule6 &dm = *forms().DataModule6;
    QString sql = "select count(*) as cnt from accounts_dep.izdel where upper(marka)=:mark";
    SqlParams params{{"mark", mark.toUpper()}};
    if (Tag != 1) {
        sql += " and id<>:id";
        params.append({"id", dm.Izdel.asId("id")});
    }
    return dm.CheckDuplicate(sql, "Такая марка изделия уже заведена!", params);
}

void TForm7::insertProduct(const QString &mark) {
    Command &cmd = forms().DataModule6->SQL_exec;
    cmd.setSql("INSERT INTO cmn_gds_and_srv.gds_and_srv(s_caption, s_description, id_msm_bs, massa, "
               "id_class_item)VALUES(:mark, '', 6, " +
               valueSql() + ", :grp)");
    cmd.setParam("mark", mark);
    cmd.setParam("grp", chosenGroup());
    cmd.execute();
}

void TForm7::updateProduct(const QString &mark) {
    TDataModule6 &dm = *forms().DataModule6;
    Command &cmd = dm.SQL_exec;
    cmd.setSql(
        "UPDATE cmn_gds_and_srv.gds_and_srv SET s_caption=:mark, s_description='', id_msm_bs=6, massa=" +
        valueSql() + ", id_class_item=:grp where id=:id");
    cmd.setParam("mark", mark);
    cmd.setParam("grp", chosenGroup());
    cmd.setParam("id", dm.Izdel.asId("id"));
    cmd.execute();
}

void TForm7::Button1Click() {
    const QString mark = Edit1->text().trimmed();
    bool isNumber = false;
    Edit2->text().toDouble(&isNumber);
    if (mark.isEmpty() || !isNumber || chosenGroup() == 0) {
        showError("Все поля должны быть заполнены!", "Ошибка");
        return;
    }
    if (isDuplicate(mark))
        return;
    if (Tag == 1)
        insertProduct(mark);
    else
        updateProduct(mark);
    Dataset &izdel = forms().DataModule6->Izdel;
    izdel.close();
    izdel.open();
    accept();
}
