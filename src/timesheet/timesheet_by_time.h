#pragma once
// "Табель по времени": a month's shift hours, a page per shift with a line per worker and a column
// per day; rebuilds the month's shift rows, prints the monthly timesheet and exports it.
#include "core/dataset.h"

#include <QDialog>

class DatasetModel;
class QComboBox;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;

class TForm19 : public QDialog {
    Q_OBJECT
public:
    explicit TForm19(QWidget *parent = nullptr);

    QTabWidget *PageControl1;
    QTableView *DBGrid1, *DBGrid2, *DBGrid3;
    QPushButton *Button1; // "Перестроить"
    QProgressBar *PB;
    QPushButton *Button2; // "Excel"
    QPushButton *Button6; // "Печать"
    QComboBox *ComboBox1; // month
    QComboBox *ComboBox2; // year
    QPushButton *Button5; // "Обновить"
    QPushButton *Button4; // "Выход"
    Dataset H_Tabel;      // the printed timesheet's query, also the export's

    // What the main window's "Табель по сменам" does: the month of date, the refresh, the window
    // shown modally, the views closed afterwards.
    void launch(const QDate &date);
    // Chooses the month and year of date (a year missing from the list is added) and refreshes.
    void chooseMonth(const QDate &date);

    int month() const;
    int year() const;
    void monthRefresh();
    void Button5Click(); // "Обновить"
    void Button1Click(); // "Перестроить"
    void Button6Click(); // "Печать"
    void Button2Click(); // "Excel"

protected:
    void showEvent(QShowEvent *e) override;

private:
    void openH_Tabel();
    QVector<DatasetModel *> models_;
    QVector<QTableView *> grids_;
};
