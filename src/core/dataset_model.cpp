#include "core/dataset_model.h"

#include "core/formatting.h"

#include <QFont>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

DatasetModel::DatasetModel(Dataset *dataset, QVector<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), dataset_(dataset), columns_(std::move(columns)) {
    connect(dataset_, &Dataset::rowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(dataset_, &Dataset::currentChanged, this, &DatasetModel::syncSelection);
}

void DatasetModel::attach(QTableView *view) {
    if (view->model() != this)
        view->setModel(this);
    view_ = view;
    for (int c = 0; c < columns_.size(); ++c) {
        const GridColumn &col = columns_[c];
        view->setColumnWidth(c, col.width >= 0 ? col.width : 64);
        view->setColumnHidden(c, !col.visible);
    }
    // Selecting a row in the grid moves the dataset; the connection lives as long as this
    // selection model, which the next setModel replaces.
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() + 1 != dataset_->recNo())
                    dataset_->moveTo(current.row() + 1);
            });
    syncSelection(dataset_->recNo() - 1);
}

void DatasetModel::syncSelection(int row) {
    if (!view_ || view_->model() != this || row < 0 || row >= rowCount())
        return;
    const QModelIndex current = view_->selectionModel()->currentIndex();
    if (current.isValid() && current.row() == row)
        return;
    int column = 0;
    while (column < columns_.size() && !columns_[column].visible)
        ++column;
    view_->selectionModel()->setCurrentIndex(index(row, column),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int DatasetModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : dataset_->recordCount();
}

int DatasetModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QString DatasetModel::cellText(int row, const QString &field) const {
    const int col = dataset_->fieldIndex(field);
    if (col < 0)
        return {};
    return displayText(dataset_->valueAt(row, col), dataset_->fieldType(col).id());
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    const GridColumn &col = columns_[index.column()];
    if (style_) {
        const QVariant styled = style_(index.row(), col, role);
        if (styled.isValid())
            return styled;
    }
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), col.field);
    case Qt::TextAlignmentRole:
        return int(col.align);
    default:
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return columns_[section].title;
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::FontRole: {
        QFont f;
        f.setBold(true);
        return f;
    }
    default:
        return {};
    }
}
