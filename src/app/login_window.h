#pragma once
// "Авторизация": the first window; the login text entered here picks the user's role, and closing
// this window ends the program.
#include "core/roles.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTimer;

class TForm23 : public QDialog {
    Q_OBJECT
public:
    explicit TForm23(QWidget *parent = nullptr);

    QLineEdit *Edit1;
    QPushButton *Button1; // "Вход"
    QPushButton *Button2; // "Отмена"
    QTimer *Timer1;       // ends the program 5 s after a failed version check

    void FormActivate();
    void Button1Click();

    void done(int result) override;

protected:
    bool event(QEvent *e) override;

private:
    // A database lacking this build's migrations: an administrator applies them (asked first);
    // anyone else is told how. False: the login does not go on.
    bool upgradedIfNeeded(Role role);
    bool checkedSinceShow_ = false;
};
