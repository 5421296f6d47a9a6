#include "shift/price_list.h"

#include "core/formatting.h"
#include "reports/spreadsheet_export.h"
#include "shift/norms_window.h"
#include "shift/operation_price_editor.h"
#include "shift/piece_pricing.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"
#include "ui/window_lock.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

TForm4::TForm4(QWidget *parent)
    : ReferenceListWindow("Form4", parent), XLS_Rep(forms().DataModule6->ADO_DB, "XLS_Rep") {
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    bindDataset(&forms().DataModule6->Oper,
                {{"MARKA", "Марка", 200},
                 {"VID", "Опреция", 160},
                 {"cena", "Цена (min)", 74, right},
                 {"nmn", "Вид", 139},
                 {"norma", "Нормы (шт.)", 76, right},
                 {"id", "id", -1, right, false},
                 {"i_id", "i_id", -1, right, false},
                 {"oper_vid", "oper_vid", -1, right, false}},
                "marka", PrefixFilterEdit::Contains);
    setWindowTitle("Операции");
    XLS_Rep.setSql(
        {"select izdel.MARKA, vid_oper.VID, oper.NAIMEN,(SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' "
         "ELSE 'Заготовки' END)) as nmn, oper.CENA_new as cena, oper.id, oper.i_id,",
         " oper.VID as oper_vid from accounts_dep.OPER,accounts_dep.IZDEL,accounts_dep.VID_OPER where "
         "OPER.i_id=IZDEL.id ",
         "and oper.vid=vid_oper.id order by izdel.marka, vid_oper.vid, oper.naimen"});
    Button1 = panelButton("Button1", "Добавить");
    Button2 = panelButton("Button2", "Изменить");
    Button3 = panelButton("Button3", "Удалить");
    Button5 = panelButton("Button5", "Excel");
    CheckBox1 = new QCheckBox("Цены", this);
    CheckBox1->setObjectName("CheckBox1");
    addToPanel(CheckBox1);
    finishPanel();
    Button1->setDefault(true);
    setFixedSize(760, 560);
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(Button5, &QPushButton::clicked, this, guarded([this] { Button5Click(); }));
    connect(DBGrid1, &QTableView::doubleClicked, this, guarded([this] { DBGrid1DblClick(); }));
}

void TForm4::DBGrid1DblClick() {
    if (Tag == 0 && CheckBox1->isChecked())
        openNorms();
    else
        Button2Click();
}

void TForm4::openNorms() {
    Dataset &oper = forms().DataModule6->Oper;
    if (oper.isEmpty())
        return;
    TForm22 &norms = *forms().Form22;
    norms.showFor(oper.asId("id"));
}

void TForm4::Button1Click() {
    TForm10 &editor = *forms().Form10;
    editor.prepareAdd();
    showModal(&editor);
}

void TForm4::Button2Click() {
    Dataset &oper = forms().DataModule6->Oper;
    if (Tag == 1) {
        if (!oper.isEmpty()) {
            const Id productId = oper.asId("i_id");
            const QString mark =
                forms()
                    .DataModule6
                    ->lookup("select marka from accounts_dep.izdel where id=" + QString::number(productId),
                             "marka")
                    .toString()
                    .trimmed();
            // The editor prices the pick from this row's list price, its day off and its shift.
            handToOpener(oper.asId("id"), mark + "; " + oper.text("VID").trimmed() + "; " +
                                              productKindName(oper.asInt("NAIMEN")));
        }
        accept();
        return;
    }
    if (oper.isEmpty())
        return;
    TForm10 &editor = *forms().Form10;
    editor.prepareChange(oper);
    showModal(&editor);
}

void TForm4::Button3Click() {
    TDataModule6 &dm = *forms().DataModule6;
    if (dm.Oper.isEmpty())
        return;
    // The day sheets find a record's operation through this row: deleting it would hide the
    // records, and their pay, without a word.
    const Id id = dm.Oper.asId("id");
    const int records =
        dm.lookup("select count(*) as cnt from accounts_dep.smena where o_id=:id", "cnt", {{"id", id}})
            .toInt();
    if (records > 0) {
        showError(QString("Операцию нельзя удалить: её используют записи смен (%1). Сначала удалите или "
                          "измените эти записи.")
                      .arg(records),
                  "Ошибка");
        return;
    }
    if (!askYesNo("Удалить операцию?", "Удаление"))
        return;
    dm.Oper_del.setParam("id", id);
    dm.Oper_del.execute();
    dm.Oper.close();
    dm.Oper.open();
}

void TForm4::Button5Click() {
    WaitCursor wait;
    const WindowLock lock(this);
    XLS_Rep.close();
    XLS_Rep.open();
    SpreadsheetApp &app = sharedSpreadsheetApp();
    if (SpreadsheetExport::OpenWorkbook(app, "") == -1)
        return;
    using SpreadsheetExport::WriteCell;
    WriteCell(app, 1, 1, 1, "Марка");
    WriteCell(app, 1, 2, 1, "Операция");
    WriteCell(app, 1, 3, 1, "Цена");
    WriteCell(app, 1, 4, 1, "Вид");
    int row = 2;
    for (XLS_Rep.first(); !XLS_Rep.eof(); XLS_Rep.next(), ++row) {
        WriteCell(app, 1, 1, row, XLS_Rep.text("MARKA"));
        WriteCell(app, 1, 2, row, XLS_Rep.text("VID"));
        WriteCell(app, 1, 3, row, priceDisplay(XLS_Rep.asDouble("cena")));
        WriteCell(app, 1, 4, row, productKindName(XLS_Rep.asInt("NAIMEN")));
    }
    SpreadsheetExport::SetVisible(app, true);
    XLS_Rep.close();
}
