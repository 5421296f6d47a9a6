#include "refbooks/workers_list.h"

#include "refbooks/worker_card.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QPushButton>
#include <QTableView>

TForm5::TForm5(QWidget *parent) : ReferenceListWindow("Form5", parent) {
    bindDataset(&forms().DataModule6->Workers, {{"fio", "ФИО", 300}, {"s_staffpos_hl", "Должность", 300}},
                "fio");
    setWindowTitle("Список рабочих");
    Button1 = panelButton("Button1", "Добавить");
    Button2 = panelButton("Button2", "Изменить");
    Button3 = panelButton("Button3", "Удалить");
    finishPanel();
    Button1->setDefault(true);
    resize(641, 550);
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));
    connect(DBGrid1, &QTableView::doubleClicked, this, guarded([this] { Button2Click(); }));
}

void TForm5::Button1Click() {
    TForm2 &card = *forms().Form2;
    card.Edit1->clear();
    card.setWindowTitle("Заведение данных нового работника");
    card.Tag = 1;
    card.reopenLookups();
    showModal(&card);
    Dataset &workers = forms().DataModule6->Workers;
    workers.close();
    workers.open();
}

void TForm5::Button2Click() {
    Dataset &workers = forms().DataModule6->Workers;
    // No row (a filter that matches nothing): there is nobody to change.
    if (Tag == 0 && workers.isEmpty())
        return;
    if (Tag == 0) {
        TForm2 &card = *forms().Form2;
        const int place = workers.recNo();
        card.setWindowTitle("Изменение данных работника");
        card.Tag = 2;
        card.reopenLookups();
        card.Edit1->setText(workers.text("fio").trimmed());
        card.WorkerId = workers.asId("id");
        card.startOnPosition(workers.text("s_staffpos_hl"));
        showModal(&card);
        workers.close();
        workers.open();
        if (!workers.isEmpty())
            workers.moveTo(place);
    } else if (!workers.isEmpty()) {
        handToOpener(workers.asId("id"), workers.text("fio").trimmed());
    }
    accept();
}

void TForm5::Button3Click() {
    Dataset &workers = forms().DataModule6->Workers;
    if (workers.isEmpty())
        return;
    // The sheets and reports find a worker's records and entries through the worker: deleting
    // the worker would drop that pay from them while the timesheet still counts the hours.
    const Id id = workers.asId("id");
    TDataModule6 &dm = *forms().DataModule6;
    const int records =
        dm.lookup("select count(*) as cnt from accounts_dep.smena where w_id=:id", "cnt", {{"id", id}})
            .toInt();
    const int entries =
        dm.lookup("select count(*) as cnt from accounts_dep.fatigue where id_p=:id", "cnt", {{"id", id}})
            .toInt();
    if (records > 0 || entries > 0) {
        showError(QString("Работника нельзя удалить: по нему есть записи смен (%1) и записи хоз. работ (%2).")
                      .arg(records)
                      .arg(entries),
                  "Ошибка");
        return;
    }
    if (!askYesNo("Удалить работника?", "Удаление"))
        return;
    forms().Form2->deleteWorker(id);
    workers.reopenKeepingPlace();
}
