#pragma once
// "Пользователи": the administrator's list of personal accounts (name, full name, role, enabled,
// password valid until), where an account is added, its password set or reset, its role or full
// name changed, and it is disabled or enabled again. All of it goes through the database's own
// functions, which act on the program's accounts only.
#include "core/dataset.h"

#include <QDialog>

class DatasetModel;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;

// An account added (name, full name, role, password twice), changed (full name and role) or given a
// new password (twice).
class AccountEditor : public QDialog {
    Q_OBJECT
public:
    enum Mode { Add, Change, Password };
    explicit AccountEditor(QWidget *parent = nullptr);

    QLineEdit *EditName;
    QLineEdit *EditFullName;
    QComboBox *ComboRole;
    QLineEdit *EditPassword;
    QLineEdit *EditRepeat;
    QPushButton *Button1; // "Записать"
    QPushButton *Button2; // "Отмена"

    void prepare(Mode mode, const Dataset *account);
    void Button1Click();

private:
    Mode mode_ = Add;
    QString account_;
    QString group_;
    QString fullName_; // as read, so that an unchanged name is not written
};

class AccountsWindow : public QDialog {
    Q_OBJECT
public:
    explicit AccountsWindow(QWidget *parent = nullptr);

    Dataset accounts;
    QTableView *DBGrid1;
    QPushButton *Button1; // "Добавить"
    QPushButton *Button2; // "Изменить"
    QPushButton *Button3; // "Пароль"
    QPushButton *Button5; // "Отключить" / "Включить"
    QPushButton *Button4; // "Выход"
    AccountEditor *editor;

    // What the menu item does: the list read, the window shown modally.
    void launch();
    void refresh();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button5Click();

private:
    void edit(AccountEditor::Mode mode);
    void showEnabledCaption();
    DatasetModel *model_ = nullptr;
};
