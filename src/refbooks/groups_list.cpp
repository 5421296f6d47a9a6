#include "refbooks/groups_list.h"

#include "refbooks/group_editor.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {
QVector<GridColumn> groupColumns() {
    QVector<GridColumn> columns;
    for (const char *field : {"id_classifier", "id_level", "s_code", "s_caption", "s_description",
                              "b_excluded", "d_excluded_date", "id_parent", "id"})
        columns.append({field, field, QLatin1String(field) == QLatin1String("s_caption") ? 220 : 80});
    return columns;
}
} // namespace

TForm26::TForm26(QWidget *parent)
    : ReferenceListWindow("Form26", parent), item(forms().DataModule6->ADO_DB, "item") {
    bindDataset(&item, groupColumns(), "s_caption");
    setWindowTitle("Номенклатура (26)");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    item.setSql({"select * from cmn_classifier.item where id_level=2 order by s_caption"});
    Button2 = panelButton("Button2", "Добавить");
    Button3 = panelButton("Button3", "Изменить");
    Button1 = panelButton("Button1", "Удалить");
    finishPanel();
    resize(900, 500);
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(DBGrid1, &QTableView::doubleClicked, this, guarded([this] { Button3Click(); }));
}

void TForm26::Button2Click() {
    TForm29 &editor = *forms().Form29;
    const int place = item.recNo();
    editor.prepareAdd(item);
    showModal(&editor);
    item.moveTo(place);
}

void TForm26::Button3Click() {
    const int place = item.recNo();
    if (Tag == 24) {
        if (!item.isEmpty())
            handToOpener(item.asId("id"), item.text("s_caption"));
        accept();
        item.moveTo(place);
        return;
    }
    if (item.isEmpty())
        return;
    TForm29 &editor = *forms().Form29;
    editor.prepareChange(item);
    showModal(&editor);
    item.moveTo(place);
}
