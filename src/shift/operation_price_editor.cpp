#include "shift/operation_price_editor.h"

#include "core/formatting.h"
#include "refbooks/products_list.h"
#include "shift/operation_types_list.h"
#include "shift/piece_pricing.h"
#include "ui/data_module.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

TForm10::TForm10(QWidget *parent)
    : QDialog(parent), norm_ins(forms().DataModule6->ADO_DB, "norm_ins",
                                "insert into accounts_dep.norm(o_id, price) \nvalues (:o_id, :price)") {
    setObjectName("Form10");
    auto *layout = new QVBoxLayout(this);
    auto *group = new QGroupBox("Цена операции", this);
    auto *form = new QFormLayout(group);
    auto picker = [&](QLineEdit *&edit, QPushButton *&button, const char *editName, const char *buttonName,
                      const QString &label) {
        edit = new QLineEdit(group);
        edit->setObjectName(editName);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        button = new QPushButton("...", group);
        button->setObjectName(buttonName);
        button->setAutoDefault(false);
        button->setFixedWidth(30);
        auto *row = new QHBoxLayout;
        row->addWidget(edit, 1);
        row->addWidget(button);
        form->addRow(label, row);
    };
    picker(Edit1, Button3, "Edit1", "Button3", "Марка изделия");
    picker(Edit2, Button4, "Edit2", "Button4", "Операция");
    ComboBox1 = new QComboBox(group);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->addItems({"Готовая продукция", "Заготовки"});
    form->addRow("Вид", ComboBox1);
    Edit3 = new QLineEdit(group);
    Edit3->setObjectName("Edit3");
    Edit3->setValidator(
        new QRegularExpressionValidator(QRegularExpression(R"(\d{0,9}([.,]\d{0,4})?)"), Edit3));
    Label4 = new QLabel("min Цена", group);
    Label4->setBuddy(Edit3);
    form->addRow(Label4, Edit3);
    layout->addWidget(group);
    const SaveCancelRow row = addSaveCancelRow(this, layout, "Записать", "Отмена", "Button2");
    Button1 = row.save;
    Button2 = row.cancel;
    setFixedSize(440, 210);

    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(Button4, &QPushButton::clicked, this, guarded([this] { Button4Click(); }));

    forms().Form3->pickTargets[1] = [this](Id id, const QString &mark) {
        Edit1->setText(mark);
        ProductId = id;
    };
    forms().Form8->pickTargets[1] = [this](Id id, const QString &vid) {
        Edit2->setText(vid);
        OperTypeId = id;
    };
}

void TForm10::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    Button3->setFocus();
}

void TForm10::prepareAdd() {
    Edit1->clear();
    Edit2->clear();
    Edit3->clear();
    ComboBox1->setCurrentIndex(0);
    setWindowTitle("Заведение новой цены за операцию");
    Tag = 1;
    // A new row is listed only once it has a norm: its first price is asked for here.
    Label4->show();
    Edit3->show();
}

void TForm10::prepareChange(Dataset &oper) {
    setWindowTitle("Изменение данных о цене за операцию");
    Tag = 2;
    Edit1->setText(oper.text("MARKA").trimmed());
    Edit2->setText(oper.text("VID").trimmed());
    ComboBox1->setCurrentIndex(oper.asInt("NAIMEN") == 0 ? 0 : 1);
    ProductId = oper.asId("i_id");
    OperTypeId = oper.asId("oper_vid");
    Edit3->setText(oper.text("cena").trimmed());
    Label4->hide();
    Edit3->hide();
}

void TForm10::Button3Click() {
    TForm3 &list = *forms().Form3;
    list.runAsPicker({1, list.Button2, {list.Button1, list.Button3}});
}

void TForm10::Button4Click() {
    TForm8 &list = *forms().Form8;
    list.runAsPicker({1, list.Button2, {list.Button1, list.Button3}});
}

bool TForm10::isDuplicate() {
    const QString key = QString("vid=%1 and naimen=%2 and i_id=%3")
                            .arg(OperTypeId)
                            .arg(ComboBox1->currentIndex())
                            .arg(ProductId);
    const QString sql = Tag == 1 ? "select count(ID) as cnt from accounts_dep.OPER where " + key
                                 : "select count(*) as cnt from accounts_dep.OPER where " + key +
                                       " and id<>" + QString::number(forms().DataModule6->Oper.asId("id"));
    return forms().DataModule6->CheckDuplicate(sql, "Операция с такими параметрами уже заведена!");
}

void TForm10::insertRow() {
    forms().DataModule6->Oper_ins.execute(
        QString("insert into accounts_dep.oper(vid, naimen, i_id, cena_new)values (%1, "
                "%2, %3, 0)")
            .arg(OperTypeId)
            .arg(ComboBox1->currentIndex())
            .arg(ProductId));
}

void TForm10::updateRow(Id id) {
    forms().DataModule6->Oper_ed.execute(
        QString("update accounts_dep.oper set vid=%1, naimen=%2,  i_id=%3 where id=%4")
            .arg(OperTypeId)
            .arg(ComboBox1->currentIndex())
            .arg(ProductId)
            .arg(id));
}

Id TForm10::newRowId() {
    return toId(forms().DataModule6->lookup(
        QString("select max(id) as id from accounts_dep.oper where vid=%1 and naimen=%2 and i_id=%3")
            .arg(OperTypeId)
            .arg(ComboBox1->currentIndex())
            .arg(ProductId),
        "id"));
}

void TForm10::insertFirstNorm(Id rowId, double price) {
    norm_ins.setParam("o_id", rowId);
    norm_ins.setParam("price", price);
    norm_ins.execute();
}

void TForm10::Button1Click() {
    if (Edit1->text().trimmed().isEmpty() || Edit2->text().trimmed().isEmpty() || ProductId == 0 ||
        OperTypeId == 0) {
        showError("Все поля должны быть заполнены!", "Ошибка");
        return;
    }
    if (Tag != 1 && isDuplicate())
        return;
    TDataModule6 &dm = *forms().DataModule6;
    if (Tag == 1) {
        const QString priceText = Edit3->text().trimmed();
        const std::optional<double> price = parseDecimal(priceText);
        if (!priceText.isEmpty() && !price) {
            showError("Цена должна быть числом.", "Ошибка");
            return;
        }
        if (isDuplicate())
            return;
        Transaction tx(dm.ADO_DB);
        insertRow();
        if (price)
            insertFirstNorm(newRowId(), round4(*price));
        tx.commit();
    } else {
        updateRow(dm.Oper.asId("id"));
    }
    dm.Oper.close();
    dm.Oper.open();
    accept();
}
