#include "reports/change_history_window.h"

#include "core/formatting.h"
#include "reports/spreadsheet_export.h"
#include "ui/data_module.h"
#include "ui/dataset_model.h"
#include "ui/date_typing.h"
#include "ui/editor_dialog.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"
#include "ui/window_lock.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QVector<GridColumn> historyColumns() {
    return {
        {"changed", "Время", 150},
        {"action_name", "Действие", 100},
        {"kind", "Запись", 82},
        {"record_date", "Дата записи", 96},
        {"fio", "Рабочий", 160},
        {"login_role", "Роль", 116},
        {"workstation", "Рабочее место", 150},
        {"was", "Было", 200},
        {"became", "Стало", 200},
    };
}
} // namespace

ChangeHistoryWindow::ChangeHistoryWindow(QWidget *parent)
    : QDialog(parent), history(forms().DataModule6->ADO_DB, "history") {
    setObjectName("ChangeHistoryWindow");
    setWindowTitle("История изменений");
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto dateEdit = [this](QDateEdit *&e, const char *name) {
        e = new QDateEdit(this);
        acceptTypedDates(e);
        e->setObjectName(name);
        e->setCalendarPopup(true);
        e->setDisplayFormat("dd.MM.yyyy");
    };
    auto labelled = [this, top](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        top->addWidget(l);
        top->addWidget(buddy);
    };
    dateEdit(DTPicker1, "DTPicker1");
    dateEdit(DTPicker2, "DTPicker2");
    ComboWorker = new QComboBox(this);
    ComboWorker->setObjectName("ComboWorker");
    ComboWorker->setMinimumWidth(220);
    labelled("С", DTPicker1);
    labelled("по", DTPicker2);
    labelled("Рабочий", ComboWorker);
    top->addStretch(1);
    layout->addLayout(top);

    DBGrid1 = newRowGrid(this, "DBGrid1");
    DBGrid1->setWordWrap(false);
    DBGrid1->setAccessibleName("История изменений");
    model_ = new DatasetModel(&history, historyColumns(), this);
    model_->attach(DBGrid1);
    layout->addWidget(DBGrid1, 1);

    auto *bottom = new QHBoxLayout;
    Button1 = addPanelButton(this, bottom, "Button1", "Excel");
    bottom->addStretch(1);
    Button2 = addPanelButton(this, bottom, "Button2", "Выход");
    layout->addLayout(bottom);
    resize(1330, 560);

    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    // The list follows the period and the worker however they are chosen.
    for (QDateEdit *e : {DTPicker1, DTPicker2})
        connect(e, &QDateEdit::dateChanged, this, guarded([this] { refresh(); }));
    connect(ComboWorker, &QComboBox::currentIndexChanged, this, guarded([this] { refresh(); }));
}

QString ChangeHistoryWindow::historySql(bool oneWorker) {
    return QStringList{
        "select h.id, to_char(h.changed_at, 'DD.MM.YYYY HH24:MI:SS') as changed,",
        "case h.action when 'insert' then 'Добавление' when 'update' then 'Изменение' when 'delete' then "
        "'Удаление' when 'accept' then 'Приемка' when 'unaccept' then 'Снятие приемки' else h.action end "
        "as action_name,",
        "case h.table_name when 'smena' then 'Смена' when 'fatigue' then 'Хоз. работы' else h.table_name "
        "end as kind,",
        "h.record_id, to_char(h.record_date, 'DD.MM.YYYY') as record_date, p.s_caption as fio, h.login_role,",
        "coalesce(h.workstation, '') || case when h.login_role is null then ' (' || h.db_user || ')' else '' "
        "end as workstation,",
        "accounts_dep.history_values(h.table_name, h.before, h.after) as was,",
        "accounts_dep.history_values(h.table_name, h.after, h.before) as became",
        "from accounts_dep.change_history h left join cmn_contractor.person p on p.id = h.worker_id",
        QString("where h.changed_at >= :date1 and h.changed_at < :date2") +
            (oneWorker ? " and h.worker_id = :worker" : ""),
        "order by h.changed_at desc, h.id desc",
    }
        .join('\n');
}

void ChangeHistoryWindow::fillWorkers() {
    const QSignalBlocker quiet(ComboWorker);
    const Id chosen = toId(ComboWorker->currentData());
    ComboWorker->clear();
    ComboWorker->addItem("Все рабочие", 0);
    QSqlQuery q = forms().DataModule6->ADO_DB.run("select id, fio from accounts_dep.person order by fio");
    while (q.next())
        ComboWorker->addItem(q.value(1).toString().trimmed(), toId(q.value(0)));
    ComboWorker->setCurrentIndex(qMax(0, ComboWorker->findData(chosen)));
}

void ChangeHistoryWindow::prepare(const QDate &day) {
    fillWorkers();
    {
        const QSignalBlocker quiet1(DTPicker1);
        const QSignalBlocker quiet2(DTPicker2);
        DTPicker1->setDate(QDate(day.year(), day.month(), 1));
        DTPicker2->setDate(day);
    }
    refresh();
}

void ChangeHistoryWindow::launch() {
    prepare(today());
    showModal(this);
    history.close();
}

void ChangeHistoryWindow::refresh() {
    WaitCursor wait;
    const Id worker = toId(ComboWorker->currentData());
    history.close();
    history.setSql({historySql(worker != 0)});
    history.clearParams();
    // Whole days: from the start of the first up to the start of the day after the last.
    history.setParam("date1", DTPicker1->date());
    history.setParam("date2", DTPicker2->date().addDays(1));
    if (worker != 0)
        history.setParam("worker", worker);
    history.open();
}

void ChangeHistoryWindow::Button1Click() {
    WaitCursor wait;
    const WindowLock lock(this);
    SpreadsheetApp &app = sharedSpreadsheetApp();
    if (SpreadsheetExport::OpenWorkbook(app, "") == -1)
        return;
    using SpreadsheetExport::WriteCell;
    const auto columns = historyColumns();
    for (int c = 0; c < columns.size(); ++c)
        WriteCell(app, 1, c + 1, 1, columns[c].title, {false, true, true});
    const int place = history.recNo();
    int row = 2;
    for (history.first(); !history.eof(); history.next(), ++row)
        for (int c = 0; c < columns.size(); ++c)
            WriteCell(app, 1, c + 1, row, history.text(columns[c].field), {true, true});
    history.moveTo(place);
    SpreadsheetExport::SetVisible(app, true);
}
