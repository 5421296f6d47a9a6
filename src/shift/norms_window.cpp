#include "shift/norms_window.h"

#include "core/data_module.h"
#include "core/forms.h"
#include "core/guard.h"
#include "core/seams.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <cmath>

namespace {
const char *const kFields[] = {"norma", "price", "prize"};
const char *const kTitles[] = {"Норматив", "Цена", "Премия, %"};
const int kWidths[] = {133, 105, 82};

// A number as typed: either decimal separator.
bool parseNumber(const QString &text, double *value) {
    bool ok = false;
    *value = QString(text).trimmed().replace(',', '.').toDouble(&ok);
    return ok;
}
} // namespace

NormsModel::NormsModel(Dataset &norm, QObject *parent) : QAbstractTableModel(parent), norm_(norm) {
    connect(&norm_, &Dataset::rowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int NormsModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() || !norm_.isOpen() ? 0 : norm_.recordCount() + 1;
}

int NormsModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : 3;
}

QString NormsModel::priceText(double price) {
    QString s = QString::number(price, 'f', 3);
    if (s.endsWith('0'))
        s.chop(1);
    return s.replace('.', QLocale().decimalPoint().at(0));
}

QVariant NormsModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= norm_.recordCount())
        return {};
    const QVariant v = norm_.valueAt(index.row(), norm_.fieldIndex(kFields[index.column()]));
    if (role == Qt::DisplayRole) {
        if (v.isNull())
            return QString();
        return index.column() == 1 ? priceText(v.toString().toDouble()) : v.toString();
    }
    if (role == Qt::EditRole)
        return v.isNull() ? QString()
                          : (index.column() == 1 ? priceText(v.toString().toDouble()) : v.toString());
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
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const QString text = value.toString().trimmed();
    QVariant stored;
    if (!text.isEmpty()) {
        double number = 0;
        if (!parseNumber(text, &number) || (index.column() != 1 && number != std::floor(number))) {
            showError(index.column() == 1 ? "Цена должна быть числом." : "Здесь нужно целое число.",
                      "Ошибка");
            return false;
        }
        stored = index.column() == 1 ? QVariant(number) : QVariant(int(number));
    } else {
        stored = QVariant(index.column() == 1 ? QMetaType(QMetaType::Double) : QMetaType(QMetaType::Int));
    }
    Database &db = forms().DataModule6->ADO_DB;
    const QString field = kFields[index.column()];
    runGuarded([&] {
        if (index.row() >= norm_.recordCount()) {
            if (text.isEmpty())
                return;
            db.run(QString("insert into accounts_dep.norm(o_id, %1) values (:o_id, :v)").arg(field),
                   {{"o_id", operationId_}, {"v", stored}});
        } else {
            db.run(QString("update accounts_dep.norm set %1=:v where id=:id").arg(field),
                   {{"v", stored}, {"id", norm_.valueAt(index.row(), norm_.fieldIndex("id")).toLongLong()}});
        }
        norm_.close();
        norm_.open();
    });
    return true;
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
    DBGrid1->setEditTriggers(QAbstractItemView::AllEditTriggers);
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
    const int row = DBGrid1->currentIndex().row();
    if (norm.recordCount() > 1 && row >= 0 && row < norm.recordCount()) {
        forms().DataModule6->ADO_DB.run("delete from accounts_dep.norm where id=:id",
                                        {{"id", norm.valueAt(row, norm.fieldIndex("id")).toLongLong()}});
    }
    norm.close();
    norm.open();
}
