#pragma once
// "Табель": the main working window. Shows the shift output records of one date and shift with
// their money and acceptance marks; records are added, changed, deleted and accepted here, and
// every other window is reached from its menu.
#include "core/roles.h"
#include "core/session.h"
#include "shift/shift_record_editor.h"

#include <QDate>
#include <QDialog>
#include <functional>

class Dataset;
class DatasetModel;
class QAction;
class QCheckBox;
class QDateEdit;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;

class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    // Once the connection exists: the four shift lists in the grid, shift 1 chosen, and the
    // version timer running.
    void openShiftLists();

    int ShiftNumber = 1;
    // Who works here: set by the login window when the session starts.
    Session session;
    Dataset *CurrentShiftQuery = nullptr;
    int BuildDate = 0;
    int BuildTime = 0;

    QRadioButton *RadioButton1, *RadioButton2, *RadioButton3, *RadioButton4;
    QDateEdit *DateT;
    QCheckBox *CBox1; // "Выходной"
    QTableView *DBGrid2;
    QPushButton *Button1, *Button2, *Button3, *Button8, *Button5, *Button4;
    QTimer *Timer1; // version check every 30 s
    QMenuBar *MainMenu;
    QAction *N2, *N1, *N3, *N4, *N6, *N8;
    QAction *N11, *N9, *N13, *N14, *N15, *N17;
    QAction *N7, *N10, *N5;
    QAction *N18, *N19; // "Закрыть месяц", "Открыть месяц"
    QAction *N20;       // "История изменений"
    QAction *N21;       // "Пользователи": the personal accounts
    DatasetModel *DataSource1 = nullptr, *DataSource2 = nullptr, *DataSource3 = nullptr,
                 *DataSource4 = nullptr;

    // The shift query of ShiftNumber: 2, 3, 4 their own, anything else shift 1.
    Dataset &currentShift();
    DatasetModel *sourceOf(int shiftNumber) const;

    // What the record editor starts from: the shown date, its day-off box and the shift.
    SheetDay sheetDay() const;

    // Enables the controls the role may use.
    void applyRole(Role role);

    void FormActivate();
    void DateTCloseUp();
    void selectShift(int shiftNumber);
    void Button8Click(); // "Обновить"
    void DBGrid2DblClick();
    void Button1Click(); // "Добавить"
    void Button2Click(); // "Изменить"
    void Button3Click(); // "Удалить"
    void Button5Click(); // "Ср.сд./хоз. работы"
    void N10Click();     // summary reports

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void buildMenu();
    // A menu item that opens a window and, once it is closed, activates the sheet again (coming
    // back from a window opened here counts as an activation).
    void opens(QAction *item, std::function<void()> open);
    void reopenShiftQueries(const QDate &date);
    // The lists read again once the record editor closes; after a save, a lost connection there
    // does not make the save look failed.
    void activateAfterEditor(bool saved);
    // The lists follow the date field whenever its date changes (keys, mouse, calendar), so no
    // action can use a day the lists do not show; a day already shown is not read twice.
    void followDate(const QDate &date);
    QDate shownDay_;
    bool followedSinceCloseUp_ = false; // the lists were read for a change the close-up ends
    void markDayOff(bool dayOff);
};
