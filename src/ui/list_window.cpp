#include "ui/list_window.h"

#include "ui/editor_dialog.h"

#include "ui/seams.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

QString sqlQuoted(const QString &text) {
    return '\'' + QString(text).replace('\'', "''") + '\'';
}

PrefixFilterEdit::PrefixFilterEdit(Dataset *dataset, const QString &field, QWidget *parent, Match match)
    : QLineEdit(parent), dataset_(dataset), field_(field), match_(match) {
    connect(this, &QLineEdit::textChanged, this, &PrefixFilterEdit::applyFilter);
}

void PrefixFilterEdit::applyFilter(const QString &text) {
    if (match_ == Contains ? text.trimmed().isEmpty() : text.isEmpty()) {
        dataset_->setFiltered(false);
        return;
    }
    dataset_->setFilter(field_ + " like " + sqlQuoted((match_ == Contains ? "%" : "") + text + '%'));
    dataset_->setFiltered(true);
}

void PrefixFilterEdit::keyPressEvent(QKeyEvent *e) {
    switch (e->key()) {
    case Qt::Key_Up:
        dataset_->prior();
        return;
    case Qt::Key_Down:
        dataset_->next();
        return;
    case Qt::Key_Backspace:
        QLineEdit::keyPressEvent(e);
        return;
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (cursorKeysEdit_)
            QLineEdit::keyPressEvent(e);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // The dialog's default and cancel buttons and the focus chain answer these.
        e->ignore();
        return;
    default:
        break;
    }
    const QString typed = e->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() &&
        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        QLineEdit::keyPressEvent(e);
    // Every other key (cursor keys, Delete, Home, End) has no effect here.
}

ReferenceListWindow::ReferenceListWindow(const QString &objectName, QWidget *parent) : QDialog(parent) {
    setObjectName(objectName);
    auto *layout = new QVBoxLayout(this);
    DBGrid1 = newRowGrid(this, "DBGrid1");
    layout->addWidget(DBGrid1, 1);
    panel_ = new QHBoxLayout;
    layout->addLayout(panel_);
}

void ReferenceListWindow::bindDataset(Dataset *dataset, QVector<GridColumn> columns,
                                      const QString &filterField, PrefixFilterEdit::Match match) {
    model_ = new DatasetModel(dataset, std::move(columns), this);
    model_->attach(DBGrid1);
    Edit1 = new PrefixFilterEdit(dataset, filterField, this, match);
    Edit1->setObjectName("Edit1");
}

QPushButton *ReferenceListWindow::panelButton(const char *name, const QString &caption) {
    return addPanelButton(this, panel_, name, caption);
}

void ReferenceListWindow::addToPanel(QWidget *widget) {
    panel_->addWidget(widget);
}

void ReferenceListWindow::finishPanel() {
    panel_->addWidget(Edit1, 1);
    panel_->addSpacing(20);
    Button4 = panelButton("Button4", "Выход");
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
}

bool ReferenceListWindow::handToOpener(Id id, const QString &text) {
    const PickTarget target = pickTargets.value(Tag);
    if (!target)
        return false;
    target(id, text);
    return true;
}

void ReferenceListWindow::runAsPicker(const PickerSetup &setup) {
    Tag = setup.mode;
    Dataset &rows = *dataset();
    rows.close();
    rows.open();
    setup.choose->setText("Выбрать");
    setup.choose->setDefault(true);
    setup.choose->show();
    for (QPushButton *b : setup.hidden)
        b->hide();
    Edit1->show();
    Edit1->clear();
    showModal(this);
    setup.choose->setDefault(false);
    if (setup.hideFilterAfter)
        Edit1->hide();
    if (setup.closeAfter)
        rows.close();
}

void ReferenceListWindow::runForMaintenance(QPushButton *change, const QList<QPushButton *> &shown,
                                            QPushButton *defaultButton) {
    Tag = 0;
    Dataset &rows = *dataset();
    rows.close();
    rows.open();
    change->setDefault(false);
    change->setText("Изменить");
    for (QPushButton *b : shown)
        b->show();
    if (defaultButton)
        defaultButton->setDefault(true);
    showModal(this);
    rows.close();
}

void ReferenceListWindow::showEvent(QShowEvent *e) {
    QDialog::showEvent(e);
    if (Edit1->isVisibleTo(this))
        Edit1->setFocus();
}

void fillLookup(QComboBox *box, Dataset &rows, const QString &captionField, const QString &keyField) {
    const QVariant chosen = box->currentData();
    box->clear();
    for (rows.first(); !rows.eof(); rows.next())
        box->addItem(rows.text(captionField), rows.value(keyField));
    box->setCurrentIndex(chosen.isValid() ? box->findData(chosen) : -1);
}
