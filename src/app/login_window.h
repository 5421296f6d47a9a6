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

    QLineEdit *Edit1;     // the login text; with personal accounts, the person's account name
    QLineEdit *Edit2;     // the password of a personal account (hidden otherwise)
    QPushButton *Button1; // "Вход"
    QPushButton *Button2; // "Отмена"
    QTimer *Timer1;       // ends the program 5 s after a failed version check

    void FormActivate();
    void Button1Click();

    void done(int result) override;

protected:
    bool event(QEvent *e) override;

private:
    // With personal accounts: the connection opened as the person and the role the database gives
    // the account; Role::None after a refusal (told, and the start's connection back).
    Role logInPersonally(const QString &account, const QString &password);
    // The start's connection again after a refused personal login, for the version check.
    void backToStartConnection();
    // A database lacking this build's migrations: an administrator applies them (asked first);
    // anyone else is told how. False: the login does not go on.
    bool upgradedIfNeeded(Role role);
    bool checkedSinceShow_ = false;
};
