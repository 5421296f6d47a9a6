#pragma once
// "Норматив": the norms of one operation row (output norm, price, bonus), edited in place. The
// list price of the operation is the smallest of these prices; the last norm cannot be deleted.
#include <QAbstractTableModel>
#include <QDialog>

#include "core/dataset.h"

class QPushButton;
class QTableView;

// The norms of one operation row with an empty row at the end for a new norm. A cell is written
// only when the user changed its value; after the write the rows are read again and the grid's
// place follows its norm (a new norm to where the order puts it), so Tab goes on from there.
class NormsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    NormsModel(Dataset &norm, QObject *parent = nullptr);
    void setOperation(Id operationId) { operationId_ = operationId; }
    // The id of the norm in a grid row; 0 for the row of a new norm.
    Id idAt(int row) const { return row >= 0 && row < rows_.size() ? rows_[row].id : 0; }
    int normCount() const { return int(rows_.size()); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // "#0.00##": two to four decimals (prices are kept to 4) with the workstation's separator.
    static QString priceText(double price);

private:
    struct Row {
        Id id = 0;
        QVariant values[3];
    };
    QVector<Row> readRows() const;
    // Re-reads the rows after a write; newId is the norm just added, if any.
    void reread(Id newId);

    Dataset &norm_;
    Id operationId_ = 0;
    QVector<Row> rows_;
    bool rereading_ = false;
    int pendingRows_ = 0; // a new norm's row, announced before the rows are read again
};

class TForm22 : public QDialog {
    Q_OBJECT
public:
    explicit TForm22(QWidget *parent = nullptr);

    Dataset norm;
    QTableView *DBGrid1;
    QPushButton *Button1; // "Сохранить": Enter and Esc both save and close
    QPushButton *Button2; // "Удалить"

    // Shows the norms of the operation row modally.
    void showFor(Id operationId);
    void Button1Click();
    void Button2Click();
    void reject() override;

private:
    NormsModel *model_;
};
