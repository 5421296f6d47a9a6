#pragma once
// "Норматив": the norms of one operation row (output norm, price, bonus), edited in place. The
// list price of the operation is the smallest of these prices; the last norm cannot be deleted.
#include <QAbstractTableModel>
#include <QDialog>

#include "core/dataset.h"

class QPushButton;
class QTableView;

// The norms of one operation row with an empty row at the end for a new norm. Every edited cell
// is written at once.
class NormsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    NormsModel(Dataset &norm, QObject *parent = nullptr);
    void setOperation(Id operationId) { operationId_ = operationId; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // "#0.00#": two to three decimals with the workstation's separator.
    static QString priceText(double price);

private:
    Dataset &norm_;
    Id operationId_ = 0;
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
