#pragma once
// "Хоз. работы (25)": the household and average-piece entries of one date; adds, changes and
// deletes them, and prices a month's average-piece entries at each worker's own piece rate.
#include "core/dataset.h"

#include <QDialog>

class DatasetModel;
struct HouseholdDay;
class QCheckBox;
class QDateEdit;
class QPushButton;
class QTableView;

class TForm25 : public QDialog {
    Q_OBJECT
public:
    explicit TForm25(QWidget *parent = nullptr);

    Dataset fatigue; // the entries of the date
    QTableView *DBGrid1;
    QPushButton *Button5; // "Добавить"
    QPushButton *Button6; // "Изменить"
    QPushButton *Button7; // "Удалить"
    QPushButton *Button1; // "Расчитать ср.сд."
    QDateEdit *DTPcker1;
    QCheckBox *CBox1;     // "Выходной"
    QPushButton *Button8; // "Выход"

    // The opener's date; "Выходной" keeps its state (only the user's own change of date sets it).
    void setListDate(const QDate &date);
    QDate listDate() const;
    // Reopens the list and returns to the line number it had.
    void reopenKeepingPlace();
    // What the entry editor starts from: the shown day, its day-off box and the entries.
    HouseholdDay shownDay();

    void FormActivate();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    // Says how many average-piece entries of the month were priced, and which got 0.
    void tellAveragePieceResult(const QDate &first);
    void Button1Click();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void dateChangedByUser();
    void markDayOff(bool dayOff);
    DatasetModel *model_;
};
