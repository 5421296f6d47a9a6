#pragma once
// "Табель ... (27)": a month of the timesheet, one line per worker (and night flag) with the day
// hours, the month's hours, money and money per hour, and the shop's four money totals. One window
// for four modes: piecework, household work, average-piece work and the overall timesheet. It also
// rebuilds the month's household rows and exports the month to a workbook.
#include "core/dataset.h"

#include <QDialog>

class DatasetModel;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

class TForm27 : public QDialog {
    Q_OBJECT
public:
    explicit TForm27(QWidget *parent = nullptr);

    // Modes: the number of the main window's menu item that opens them.
    enum Mode { Piecework = 9, Household = 14, AveragePiece = 15, Overall = 17 };
    int Tag = Piecework;

    Dataset H_Tabel0, H_Tabel7777, H_Tabel7778, H_Tabel_all;
    Dataset *CurrentView = nullptr;
    Dataset q_year;
    Dataset price8, price7, price, all_price; // the four totals

    QTableView *DBGrid;
    QComboBox *ComboBox1; // month
    QComboBox *cb_year;
    QLabel *Label8, *Label7, *Label, *LabelAll; // the totals' values
    QLabel *LabelMissing; // workers counted in the piecework total without a row of their own
    QPushButton *Button2; // "Excel"
    QPushButton *Button5; // "Обновить"
    QPushButton *Button3; // "Перестроить"
    QProgressBar *PB;
    QPushButton *Button1; // "Выход"

    // What the main window's menu item of the mode does: caption, view and column layout of the
    // mode, today's month and year, the month refresh, the window shown modally, and afterwards
    // the view and the year list closed.
    void launch(Mode mode);
    // Sets up the mode and the month without showing the window (the launch's first half).
    void prepare(Mode mode, const QDate &day);

    int month() const;
    int year() const;
    // Opens a view of the chosen month; a sum too big for the view is said in Russian with the
    // month, instead of the server's words.
    void openNamingTheMonth(Dataset &view);
    void monthRefresh();
    void showMissingRows(const QDate &first, const QDate &next);
    void Button5Click(); // "Обновить"
    void Button3Click(); // "Перестроить"
    void Button2Click(); // "Excel"

    static QString viewSql(Mode mode);
    // A view's parameters for a month: i_month, i_year and the half-open bounds d_date1 ... d_date8.
    static void bindMonth(Dataset &view, int month, int year);

protected:
    void showEvent(QShowEvent *e) override;
    void done(int result) override;

private:
    void fillYears(int wanted);
    void applyColumns();
    DatasetModel *modelOf(Dataset *view) const;
    int baseNameWidth() const;
    QVector<DatasetModel *> models_;
};
