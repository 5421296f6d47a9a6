#pragma once
// "Закрыть месяц" / "Открыть месяц": the administrator closes a month whose wages are paid, so that
// no workstation can change its records any more, or opens it again. Shows whether the chosen
// month is closed, since when and by whom.
#include "core/session.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

class MonthClosingWindow : public QDialog {
    Q_OBJECT
public:
    enum Mode { Close, Reopen };
    explicit MonthClosingWindow(QWidget *parent = nullptr);

    QComboBox *ComboBox1; // month
    QSpinBox *SpinYear;
    QLabel *LabelState;
    QPushButton *Button1; // "Закрыть месяц" / "Открыть месяц"
    QPushButton *Button2; // "Отмена"

    // What the menu item does: the mode, the month offered (for closing the month before today's,
    // whose wages are paid now; for opening the latest closed one), the window shown modally. A
    // closing is kept with the session's role and workstation.
    void launch(Mode mode, const Session &session);
    void prepare(Mode mode, const QDate &day, const Session &session);

    int month() const;
    int year() const;
    void showState();
    void Button1Click();

private:
    Mode mode_ = Close;
    Session session_;
};
