#pragma once
// "История изменений": who added, changed, deleted or accepted which shift record or household
// entry, when, from which workstation and with which login, and the values before and after;
// newest first, for a period of changes and one worker or all, and exported to a workbook. The
// database writes the history itself; this window only reads it.
#include "core/dataset.h"

#include <QDialog>

class DatasetModel;
class QComboBox;
class QDateEdit;
class QPushButton;
class QTableView;

class ChangeHistoryWindow : public QDialog {
    Q_OBJECT
public:
    explicit ChangeHistoryWindow(QWidget *parent = nullptr);

    Dataset history;
    QDateEdit *DTPicker1; // changes from this day
    QDateEdit *DTPicker2; // up to and including this day
    QComboBox *ComboWorker;
    QTableView *DBGrid1;
    QPushButton *Button1; // "Excel"
    QPushButton *Button2; // "Выход"

    // What the menu item does: the workers, the month up to today, the list, the window shown
    // modally.
    void launch();
    void prepare(const QDate &day);
    // Re-reads the list for the period and worker chosen.
    void refresh();
    void Button1Click();

    static QString historySql(bool oneWorker);

private:
    void fillWorkers();
    DatasetModel *model_;
};
