#pragma once
// Shows the rows of a Dataset in a grid with the window's column set, and keeps the grid's
// selection and the dataset's current row in step.
#include "core/dataset.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QStyledItemDelegate>
#include <functional>

class QTableView;

struct GridColumn {
    QString field;
    QString title;
    int width = -1; // -1: the grid's default width
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    bool visible = true;
    bool money = false; // shown with two decimals, as the reports print money
};

// Draws cells as usual, except that a cell with a text colour of its own keeps it in the selected
// row too, where the selection colour would otherwise hide it.
class OwnColourDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

// A read-only grid of whole rows as the windows use them: one row selected at a time, no editing,
// no row numbers, 20-pixel rows.
QTableView *newRowGrid(QWidget *parent, const char *objectName);
// The office's 8-point grid font, which the grids' column widths are made for.
void useOfficeGridFont(QWidget *grid);

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DatasetModel(Dataset *dataset, QVector<GridColumn> columns, QObject *parent = nullptr);

    Dataset *dataset() const { return dataset_; }
    const QVector<GridColumn> &columns() const { return columns_; }

    // Extra roles of a cell (colours, fonts): (visible row, column spec, role) -> value or null.
    using CellStyle = std::function<QVariant(int row, const GridColumn &column, int role)>;
    void setCellStyle(CellStyle style) { style_ = std::move(style); }
    // Extra roles of a column title: (column, role) -> value or null.
    using HeaderStyle = std::function<QVariant(int column, int role)>;
    void setHeaderStyle(HeaderStyle style) { headerStyle_ = std::move(style); }
    // The columns' looks changed (colours of a new month): the grid repaints.
    void restyle();

    // Puts this model into the grid with its column widths and visibility.
    void attach(QTableView *view);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The text a cell shows.
    QString cellText(int row, const QString &field) const;

    // A column's heading as shown: its title, on more lines when one is too narrow for it.
    QString headingText(int section) const;

private:
    void syncSelection(int row);
    QFont headingFont() const;

    Dataset *dataset_;
    QVector<GridColumn> columns_;
    CellStyle style_;
    HeaderStyle headerStyle_;
    QPointer<QTableView> view_;
    QMetaObject::Connection selectionLink_;
    QMetaObject::Connection headingLink_;
};
