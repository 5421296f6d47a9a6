#include "ui/dataset_model.h"

#include "core/formatting.h"

#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyle>
#include <QTableView>

DatasetModel::DatasetModel(Dataset *dataset, QVector<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), dataset_(dataset), columns_(std::move(columns)) {
    connect(dataset_, &Dataset::rowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(dataset_, &Dataset::currentChanged, this, &DatasetModel::syncSelection);
}

QTableView *newRowGrid(QWidget *parent, const char *objectName) {
    auto *grid = new QTableView(parent);
    grid->setObjectName(objectName);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(20);
    return grid;
}

void useOfficeGridFont(QWidget *grid) {
    QFont font = grid->font();
    font.setPointSize(8);
    grid->setFont(font);
}

void OwnColourDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant own = index.data(Qt::ForegroundRole);
    if (own.isValid())
        option->palette.setBrush(QPalette::HighlightedText, own.value<QBrush>());
}

void DatasetModel::attach(QTableView *view) {
    if (view->model() != this) {
        // The view makes a new selection model for every model it is given; the old one is ours
        // to delete.
        QItemSelectionModel *old = view->selectionModel();
        view->setModel(this);
        delete old;
    }
    view_ = view;
    // The selected row stays marked while another control has the focus.
    QPalette palette = view->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    view->setPalette(palette);
    // The grids are read-only: Tab leaves them for the next control (arrows move within).
    view->setTabKeyNavigation(false);
    // Narrow columns (the timesheets' 20-pixel days) keep the width they are given.
    view->horizontalHeader()->setMinimumSectionSize(10);
    // A heading follows its column's width: wrapped anew when the user widens or narrows it.
    disconnect(headingLink_);
    headingLink_ = connect(view->horizontalHeader(), &QHeaderView::sectionResized, this,
                           [this](int section) { emit headerDataChanged(Qt::Horizontal, section, section); });
    for (int c = 0; c < columns_.size(); ++c) {
        const GridColumn &col = columns_[c];
        view->setColumnWidth(c, col.width >= 0 ? col.width : 64);
        view->setColumnHidden(c, !col.visible);
    }
    // Selecting a row in the grid moves the dataset.
    disconnect(selectionLink_);
    selectionLink_ = connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                             [this](const QModelIndex &current) {
                                 if (current.isValid() && current.row() + 1 != dataset_->recNo())
                                     dataset_->moveTo(current.row() + 1);
                             });
    if (!columns_.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(columns_.size()) - 1);
    syncSelection(dataset_->recNo() - 1);
}

QFont DatasetModel::headingFont() const {
    // The grid's own font (the monthly views use the 8 points their widths were made for), bold.
    QFont f = view_ ? view_->font() : QFont();
    f.setBold(true);
    return f;
}

QString DatasetModel::headingText(int section) const {
    const QString &title = columns_[section].title;
    if (!view_)
        return title;
    const int room =
        view_->columnWidth(section) - 2 * view_->style()->pixelMetric(QStyle::PM_HeaderMargin) - 2;
    const QFontMetrics metrics(headingFont());
    if (metrics.horizontalAdvance(title) <= room)
        return title;
    // Too wide for one line at the column's width: broken between words, or after "_" in a
    // field name, onto more lines (the heading grows taller rather than being cut).
    QStringList pieces; // each ends where a line may break; a space stays with its piece
    QString piece;
    for (const QChar ch : title) {
        piece += ch;
        if (ch == ' ' || ch == '_') {
            pieces << piece;
            piece.clear();
        }
    }
    if (!piece.isEmpty())
        pieces << piece;
    QStringList lines;
    QString line;
    for (const QString &p : pieces) {
        if (!line.isEmpty() && metrics.horizontalAdvance((line + p).trimmed()) > room) {
            lines << line.trimmed();
            line.clear();
        }
        line += p;
    }
    lines << line.trimmed();
    return lines.join('\n');
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

void DatasetModel::restyle() {
    if (!columns_.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(columns_.size()) - 1);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, int(columns_.size()) - 1));
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
        if (col.money) {
            const int field = dataset_->fieldIndex(col.field);
            return field < 0 ? QString() : moneyText(dataset_->valueAt(index.row(), field));
        }
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
    if (headerStyle_) {
        const QVariant styled = headerStyle_(section, role);
        if (styled.isValid())
            return styled;
    }
    switch (role) {
    case Qt::DisplayRole:
        return headingText(section);
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
        return columns_[section].title;
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::FontRole:
        return headingFont();
    default:
        return {};
    }
}
