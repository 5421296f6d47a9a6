#include "refbooks/worker_card.h"

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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>

TForm2::TForm2(QWidget *parent)
    : QDialog(parent), cmd_person(forms().DataModule6->ADO_DB, "cmd_person"),
      departments_(forms().DataModule6->ADO_DB, "department"),
      staffpos_(forms().DataModule6->ADO_DB, "staffpos"), roles_(forms().DataModule6->ADO_DB, "roles") {
    setObjectName("Form2");
    setWindowTitle("Работники");
    departments_.setSql({"select id, s_caption from cmn_department.department order by s_caption"});
    staffpos_.setSql({"select id, s_caption from hrms_staffpos.staffpos order by s_caption"});
    roles_.setSql({"select id, s_caption from adm_role.roles order by s_caption"});

    auto *layout = new QVBoxLayout(this);
    auto *group = new QGroupBox("Данные о работнике", this);
    auto *form = new QFormLayout(group);
    Edit1 = new QLineEdit(group);
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(254);
    form->addRow("ФИО", Edit1);
    auto lookup = [&](QComboBox *&box, const char *name, const QString &label) {
        box = new QComboBox(group);
        box->setObjectName(name);
        box->setMaxVisibleItems(10);
        box->setFocusPolicy(Qt::StrongFocus);
        box->installEventFilter(this);
        form->addRow(label, box);
    };
    lookup(LCB_department, "LCB_department", "Подразделение");
    lookup(LCB_staffpos, "LCB_staffpos", "Должность");
    lookup(LCB_roles, "LCB_roles", "Роль");
    layout->addWidget(group);
    const SaveCancelRow row = addSaveCancelRow(this, layout, "Записать", "Отмена", "Button2");
    Button1 = row.save;
    Button2 = row.cancel;
    setFixedSize(418, 192);

    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(LCB_staffpos, &QComboBox::activated, this, [this] { keepStoredPosition_ = false; });
}

void TForm2::reopenLookups() {
    struct {
        Dataset &rows;
        QComboBox *box;
    } lookups[] = {{departments_, LCB_department}, {staffpos_, LCB_staffpos}, {roles_, LCB_roles}};
    for (auto &l : lookups) {
        l.rows.close();
        l.rows.open();
        fillLookup(l.box, l.rows, "s_caption", "id");
    }
    keepStoredPosition_ = false;
}

void TForm2::startOnPosition(const QString &storedPosition) {
    storedPosition_ = storedPosition;
    keepStoredPosition_ = true;
    LCB_staffpos->setCurrentIndex(LCB_staffpos->findText(storedPosition.trimmed()));
}

QString TForm2::positionText() const {
    if (keepStoredPosition_ && Tag != 1)
        return storedPosition_;
    return LCB_staffpos->currentIndex() < 0 ? QString() : LCB_staffpos->currentText();
}

bool TForm2::eventFilter(QObject *watched, QEvent *e) {
    if (e->type() == QEvent::Wheel) {
        // A wheel step moves only the box that has the focus, one entry at a time.
        auto *box = qobject_cast<QComboBox *>(watched);
        if (box && box->hasFocus() && box->count() > 0) {
            const int step = static_cast<QWheelEvent *>(e)->angleDelta().y() < 0 ? 1 : -1;
            const int next = std::clamp(box->currentIndex() + step, 0, box->count() - 1);
            if (next != box->currentIndex()) {
                box->setCurrentIndex(next);
                if (box == LCB_staffpos)
                    keepStoredPosition_ = false;
            }
        }
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TForm2::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    Edit1->setFocus();
}

void TForm2::insertWorker(const QString &fio, const QString &position) {
    cmd_person.setSql("INSERT INTO accounts_dep.person (fio, s_staffpos_hl)VALUES(:fio, :pos)");
    cmd_person.setParam("fio", fio);
    cmd_person.setParam("pos", position);
    cmd_person.execute();
}

void TForm2::updateWorker(const QString &fio, const QString &position) {
    cmd_person.setSql(
        "UPDATE accounts_dep.person SET fio=:fio, s_staffpos_hl=:pos where accounts_dep.person.id=:id");
    cmd_person.setParam("fio", fio);
    cmd_person.setParam("pos", position);
    cmd_person.setParam("id", WorkerId);
    cmd_person.execute();
}

void TForm2::deleteWorker(Id id) {
    cmd_person.execute("delete from accounts_dep.person where id =" + QString::number(id));
}

void TForm2::Button1Click() {
    const QString fio = Edit1->text().trimmed();
    if (fio.isEmpty()) {
        showError("ФИО нужно заполнить!", "Ошибка");
        return;
    }
    if (Tag == 1)
        insertWorker(fio, positionText());
    else
        updateWorker(fio, positionText());
    accept();
}
