#include "shift/operation_types_list.h"

#include "shift/operation_type_editor.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>

TForm8::TForm8(QWidget *parent) : ReferenceListWindow("Form8", parent) {
    bindDataset(&forms().DataModule6->Vid_oper, {{"vid", "Операции", 309}}, "vid");
    setWindowTitle("Виды операций (8)");
    Button1 = panelButton("Button1", "Добавить");
    Button2 = panelButton("Button2", "Изменить");
    Button3 = panelButton("Button3", "Удалить");
    finishPanel();
    Button1->setDefault(true);
    Edit1->hide();
    resize(420, 450);
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(DBGrid1, &QTableView::doubleClicked, this, guarded([this] { Button2Click(); }));
}

void TForm8::Button1Click() {
    TForm9 &editor = *forms().Form9;
    editor.Edit1->clear();
    editor.setWindowTitle("Заведение нового вида операций");
    editor.Tag = 1;
    showModal(&editor);
}

void TForm8::Button2Click() {
    Dataset &types = forms().DataModule6->Vid_oper;
    if (Tag == 1) {
        // On an empty list the opener gets an empty name and id 0, which its check refuses.
        handToOpener(types.isEmpty() ? 0 : types.asId("id"), types.text("vid").trimmed());
        accept();
        return;
    }
    if (types.isEmpty())
        return;
    TForm9 &editor = *forms().Form9;
    editor.setWindowTitle("Изменение данных вида операции");
    editor.Tag = 2;
    editor.Edit1->setText(types.text("vid").trimmed());
    showModal(&editor);
}

void TForm8::deleteType(Id id) {
    forms().DataModule6->ADO_DB.run("delete from accounts_dep.vid_oper where id=:id", {{"id", id}});
}

namespace {
struct TypeUses {
    int prices = 0;
    int records = 0;
    int entries = 0;
};

// The day sheet, the price list, the reports and the household list find pay through the type:
// deleting a used one would drop that pay from them while the timesheet still counts the hours.
TypeUses usesOfType(Id id) {
    QSqlQuery q = forms().DataModule6->ADO_DB.run(
        "select (select count(*) from accounts_dep.oper where vid=:id1) as prices, "
        "(select count(*) from accounts_dep.smena s, accounts_dep.oper o where o.id=s.o_id and o.vid=:id2) "
        "as records, (select count(*) from accounts_dep.fatigue where id_o=:id3) as entries",
        {{"id1", id}, {"id2", id}, {"id3", id}});
    TypeUses uses;
    if (q.next()) {
        uses.prices = q.value(0).toInt();
        uses.records = q.value(1).toInt();
        uses.entries = q.value(2).toInt();
    }
    return uses;
}
} // namespace

void TForm8::Button3Click() {
    Dataset &types = forms().DataModule6->Vid_oper;
    if (types.isEmpty())
        return;
    const TypeUses uses = usesOfType(types.asId("id"));
    if (uses.prices > 0 || uses.records > 0 || uses.entries > 0) {
        showError(QString("Вид операции нельзя удалить: его используют строки прейскуранта (%1), записи смен "
                          "(%2) и записи хоз. работ (%3).")
                      .arg(uses.prices)
                      .arg(uses.records)
                      .arg(uses.entries),
                  "Ошибка");
        return;
    }
    if (!askYesNo("Удалить вид операции?", "Удаление"))
        return;
    deleteType(types.asId("id"));
    types.close();
    types.open();
}
