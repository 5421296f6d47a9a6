#include "shift/norms_window.h"

#include "core/formatting.h"
#include "shift/piece_pricing.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const char *const kFields[] = {"norma", "price", "prize"};
const char *const kTitles[] = {"Норматив", "Цена", "Премия, %"};
const int kWidths[] = {133, 105, 82};
} // namespace

NormsModel::NormsModel(Dataset &norm, QObject *parent) : QAbstractTableModel(parent), norm_(norm) {
    connect(&norm_, &Dataset::rowsReset, this, [this] {
        if (rereading_)
            return;
        beginResetModel();
        rows_ = readRows();
        pendingRows_ = 0;
        endResetModel();
    });
}

QVector<NormsModel::Row> NormsModel::readRows() const {
    QVector<Row> rows;
    if (!norm_.isOpen())
        return rows;
    const int id = norm_.fieldIndex("id");
    int columns[3];
    for (int c = 0; c < 3; ++c)
        columns[c] = norm_.fieldIndex(kFields[c]);
    for (int r = 0; r < norm_.recordCount(); ++r) {
        Row row;
        row.id = toId(norm_.valueAt(r, id));
        for (int c = 0; c < 3; ++c)
            row.values[c] = norm_.valueAt(r, columns[c]);
        rows.append(row);
    }
    return rows;
}

int NormsModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() || !norm_.isOpen() ? 0 : int(rows_.size()) + 1 + pendingRows_;
}

int NormsModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : 3;
}

QString NormsModel::priceText(double price) {
    QString s = QString::number(price, 'f', 4);
    for (int i = 0; i < 2 && s.endsWith('0'); ++i)
        s.chop(1);
    return s.replace('.', QLocale().decimalPoint().at(0));
}

QVariant NormsModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const QVariant v = rows_[index.row()].values[index.column()];
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        if (v.isNull())
            return QString();
        return index.column() == 1 ? priceText(v.toString().toDouble()) : v.toString();
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant NormsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 3)
        return QString(kTitles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags NormsModel::flags(const QModelIndex &index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool NormsModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.row() >= rows_.size() + 1)
        return false;
    const int column = index.column();
    const bool isNew = index.row() >= rows_.size();
    const QVariant old = isNew ? QVariant() : rows_[index.row()].values[column];
    const QString text = value.toString().trimmed();
    // An editor closed without a change writes nothing: a price with more decimals than shown, or
    // one another workstation changed meanwhile, stays as it is.
    if (text == data(index, Qt::EditRole).toString())
        return true;
    QVariant stored;
    if (text.isEmpty()) {
        if (isNew)
            return true;
        stored = QVariant(column == 1 ? QMetaType(QMetaType::Double) : QMetaType(QMetaType::Int));
    } else if (column == 1) {
        const std::optional<double> price = parseDecimal(text);
        if (!price) {
            showError("Цена должна быть числом.", "Ошибка");
            return false;
        }
        if (!old.isNull() && round4(*price) == old.toString().toDouble())
            return true;
        stored = round4(*price);
    } else {
        const std::optional<int> number = parseWholeNumber(text);
        if (!number) {
            showError("Здесь нужно целое число.", "Ошибка");
            return false;
        }
        if (!old.isNull() && qint64(*number) == old.toString().toLongLong())
            return true;
        stored = *number;
    }
    Database &db = forms().DataModule6->ADO_DB;
    const QString field = kFields[column];
    bool written = false;
    runGuarded([&] {
        Id newId = 0;
        if (isNew) {
            QSqlQuery q = db.run(
                QString("insert into accounts_dep.norm(o_id, %1) values (:o_id, :v) returning id").arg(field),
                {{"o_id", operationId_}, {"v", stored}});
            if (q.next())
                newId = toId(q.value(0));
        } else {
            db.run(QString("update accounts_dep.norm set %1=:v where id=:id").arg(field),
                   {{"v", stored}, {"id", rows_[index.row()].id}});
        }
        written = true;
        reread(newId);
    });
    return written;
}

void NormsModel::reread(Id newId) {
    const int before = int(rows_.size());
    if (newId != 0) {
        // The new norm keeps the row it was typed in; a fresh empty row follows it.
        beginInsertRows({}, before + 1, before + 1);
        pendingRows_ = 1;
        endInsertRows();
    }
    QVector<Row> fresh;
    rereading_ = true;
    try {
        norm_.close();
        norm_.open();
        rereading_ = false;
        fresh = readRows();
    } catch (...) {
        rereading_ = false;
        beginResetModel();
        rows_.clear();
        pendingRows_ = 0;
        endResetModel();
        throw;
    }
    if (fresh.size() != before + (newId != 0 ? 1 : 0)) {
        // Another workstation added or deleted norms meanwhile: show the rows afresh.
        beginResetModel();
        rows_ = fresh;
        pendingRows_ = 0;
        endResetModel();
        return;
    }
    emit layoutAboutToBeChanged();
    auto rowNow = [&](int oldRow) {
        const Id id = oldRow < before ? rows_[oldRow].id : (oldRow == before ? newId : 0);
        for (int r = 0; id != 0 && r < fresh.size(); ++r)
            if (fresh[r].id == id)
                return r;
        return int(fresh.size()); // the row of a new norm
    };
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    for (const QModelIndex &i : from)
        to << createIndex(rowNow(i.row()), i.column());
    rows_ = fresh;
    pendingRows_ = 0;
    changePersistentIndexList(from, to);
    emit layoutChanged();
}

TForm22::TForm22(QWidget *parent) : QDialog(parent), norm(forms().DataModule6->ADO_DB, "norm") {
    setObjectName("Form22");
    setWindowTitle("Норматив");
    norm.setSql(
        {"select id, o_id, norma, price, prize from accounts_dep.norm where o_id=:o_id order by norma, id"});
    auto *layout = new QVBoxLayout(this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName("DBGrid1");
    model_ = new NormsModel(norm, this);
    DBGrid1->setModel(model_);
    DBGrid1->verticalHeader()->setVisible(false);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    // A click only chooses a cell (for "Удалить" too); typing, F2, a double-click or a click on the
    // chosen cell edits it.
    DBGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                             QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    for (int c = 0; c < 3; ++c)
        DBGrid1->setColumnWidth(c, kWidths[c]);
    layout->addWidget(DBGrid1, 1);
    auto *buttons = new QHBoxLayout;
    Button1 = new QPushButton("Сохранить", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton("Удалить", this);
    Button2->setObjectName("Button2");
    Button2->setAutoDefault(false);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    setFixedSize(360, 300);
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
}

void TForm22::showFor(Id operationId) {
    norm.close();
    norm.setParam("o_id", operationId);
    model_->setOperation(operationId);
    norm.open();
    showModal(this);
}

void TForm22::Button1Click() {
    // Leaving the current cell writes a value still being edited.
    DBGrid1->setCurrentIndex(QModelIndex());
    Dataset &oper = forms().DataModule6->Oper;
    oper.reopenKeepingPlace();
    accept();
}

void TForm22::reject() {
    // Esc saves and closes as well.
    runGuarded([this] { Button1Click(); });
}

void TForm22::Button2Click() {
    const QModelIndex current = DBGrid1->currentIndex();
    const Id id = model_->idAt(current.row());
    if (model_->normCount() > 1 && id != 0)
        forms().DataModule6->ADO_DB.run("delete from accounts_dep.norm where id=:id", {{"id", id}});
    norm.close();
    norm.open();
    // The grid stays on the row number it had, or the last norm.
    if (current.isValid())
        DBGrid1->setCurrentIndex(
            model_->index(std::min(current.row(), std::max(0, model_->normCount() - 1)), current.column()));
}
