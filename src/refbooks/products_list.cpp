#include "refbooks/products_list.h"

#include "refbooks/product_editor.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

TForm3::TForm3(QWidget *parent)
    : ReferenceListWindow("Form3", parent), Izdel_Smena(forms().DataModule6->ADO_DB, "Izdel_Smena"),
      ii_oper(forms().DataModule6->ADO_DB, "ii_oper") {
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    bindDataset(&forms().DataModule6->Izdel,
                {{"marka", "marka", 200},
                 {"id", "id", 80, right},
                 {"nom", "nom", 180},
                 {"massa", "massa", 70, right},
                 {"id_class_item", "id_class_item", 90, right}},
                "marka");
    Edit1->setCursorKeysEdit(true);
    setWindowTitle("Изделия (3)");
    Izdel_Smena.setSql(
        {"select count(*) as cnt from accounts_dep.smena s where s.i_id =cast(:id_ii as bigint) and "
         "s.\"data\">=:dt"});
    // The product id is a shared 15-digit one: compared as bigint, not as the column's integer.
    ii_oper.setSql({"select count(*) as cnt from accounts_dep.oper o where o.i_id =cast(:id_ii as bigint)"});
    Button1 = panelButton("Button1", "Добавить");
    Button2 = panelButton("Button2", "Изменить");
    Button3 = panelButton("Button3", "Удалить");
    finishPanel();
    Button1->setDefault(true);
    setTabOrder(Edit1, DBGrid1);
    resize(720, 550);
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(DBGrid1, &QTableView::doubleClicked, this, guarded([this] { Button2Click(); }));
}

void TForm3::Button1Click() {
    Dataset &izdel = forms().DataModule6->Izdel;
    TForm7 &editor = *forms().Form7;
    const int place = izdel.recNo();
    editor.Edit1->clear();
    editor.Edit2->clear();
    editor.setWindowTitle("Заведение нового изделия (7)");
    editor.Tag = 1;
    editor.openGroups();
    showModal(&editor);
    editor.item.close();
    izdel.moveTo(place);
}

void TForm3::Button2Click() {
    Dataset &izdel = forms().DataModule6->Izdel;
    if (Tag == 1) {
        if (!izdel.isEmpty())
            handToOpener(izdel.asId("id"), izdel.text("marka").trimmed());
        accept();
        return;
    }
    if (izdel.isEmpty())
        return;
    TForm7 &editor = *forms().Form7;
    const int place = izdel.recNo();
    editor.setWindowTitle("Изменение данных изделия (7)");
    editor.Tag = 2;
    editor.Edit1->setText(izdel.text("marka").trimmed());
    editor.Edit2->setText(izdel.text("massa").trimmed());
    editor.openGroups();
    editor.chooseGroup(izdel.asId("id_class_item"));
    showModal(&editor);
    editor.item.close();
    izdel.moveTo(place);
}

int TForm3::countShiftRecords(Id productId) {
    // From the first day of last month's number in the year 2000: in effect every record.
    const int lastMonth = today().month() == 1 ? 12 : today().month() - 1;
    Izdel_Smena.close();
    Izdel_Smena.setParam("id_ii", productId);
    Izdel_Smena.setParam("dt", QDate(2000, lastMonth, 1));
    Izdel_Smena.open();
    const int n = Izdel_Smena.asInt("cnt");
    Izdel_Smena.close();
    return n;
}

int TForm3::countPrices(Id productId) {
    ii_oper.close();
    ii_oper.setParam("id_ii", productId);
    ii_oper.open();
    const int n = ii_oper.asInt("cnt");
    ii_oper.close();
    return n;
}

void TForm3::deletePrices(Id productId) {
    // A price row that records use stays: the day sheets and reports find the records' pay through
    // it. (When the product goes too, its records are deleted first and no such row is left.)
    forms().DataModule6->DelSmena.execute(
        "delete from accounts_dep.oper o where o.i_id =" + QString::number(productId) +
        " and not exists (select 1 from accounts_dep.smena s where s.o_id=o.id)");
}

void TForm3::deleteShiftRecords(Id productId) {
    forms().DataModule6->DelSmena.execute("delete from accounts_dep.smena s where s.i_id =" +
                                          QString::number(productId));
}

void TForm3::deleteProduct(Id productId) {
    forms().DataModule6->DelSmena.execute("delete from cmn_gds_and_srv.gds_and_srv  where id=" +
                                          QString::number(productId));
}

void TForm3::Button3Click() {
    TDataModule6 &dm = *forms().DataModule6;
    Dataset &izdel = dm.Izdel;
    if (izdel.isEmpty())
        return;
    const Id id = izdel.asId("id");
    const int records = countShiftRecords(id);
    const int prices = countPrices(id);
    // Every question first; then what the answers chose runs as one transaction, so a failing
    // product delete leaves its prices and records in place.
    const bool dropPrices =
        prices > 0 && askYesNo("По изделию есть расценки они будут удалены!!!", "Удаление");
    bool dropProduct;
    if (records > 0)
        dropProduct = askYesNo("По изделию есть операции в текущем, предыдущем месяцах и ранее, они будут "
                               "удалены. Удалить изделие? ",
                               "Удаление");
    else
        dropProduct = askYesNo("Удалить изделие? ", "Удаление");
    if (dropPrices || dropProduct) {
        Transaction tx(dm.ADO_DB);
        if (dropProduct && records > 0)
            deleteShiftRecords(id);
        if (dropPrices)
            deletePrices(id);
        if (dropProduct)
            deleteProduct(id);
        tx.commit();
        const int kept = dropPrices && !dropProduct ? countPrices(id) : 0;
        if (kept > 0)
            showInfo(QString("Расценки, по которым есть записи смен (%1), не удалены: по ним считается "
                             "оплата этих записей.")
                         .arg(kept),
                     "Удаление");
    }
    izdel.close();
    izdel.open();
}
