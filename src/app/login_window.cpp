#include "app/login_window.h"

#include "app/main_window.h"
#include "core/connection_string.h"
#include "core/db_error.h"
#include "core/migrations.h"
#include "core/roles.h"
#include "core/session.h"
#include "reports/summary_reports_window.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/seams.h"
#include "ui/version_check.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QTimer>
#include <QVBoxLayout>

TForm23::TForm23(QWidget *parent) : QDialog(parent) {
    setObjectName("Form23");
    setWindowTitle("Авторизация");
    const bool personal = forms().DataModule6 && forms().DataModule6->personalAccounts;
    auto *rows = new QVBoxLayout(this);
    rows->setContentsMargins(8, 8, 8, 8);
    auto *row = new QHBoxLayout;
    auto *label = new QLabel(personal ? "Пользователь:" : "Логин:", this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    // A shared login text is the credential and stays hidden; a person's name is not.
    Edit1->setEchoMode(personal ? QLineEdit::Normal : QLineEdit::Password);
    label->setBuddy(Edit1);
    auto *passwordRow = new QHBoxLayout;
    auto *passwordLabel = new QLabel("Пароль:", this);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName("Edit2");
    Edit2->setEchoMode(QLineEdit::Password);
    passwordLabel->setBuddy(Edit2);
    passwordRow->addWidget(passwordLabel);
    passwordRow->addWidget(Edit2, 1);
    Button1 = new QPushButton("Вход", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton("Отмена", this);
    Button2->setObjectName("Button2");
    row->addWidget(label);
    row->addWidget(Edit1, 1);
    if (personal) {
        rows->addLayout(row);
        rows->addLayout(passwordRow);
        auto *buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(Button1);
        buttons->addWidget(Button2);
        rows->addLayout(buttons);
        setFixedSize(330, 110);
    } else {
        row->addWidget(Button1);
        row->addWidget(Button2);
        rows->addLayout(row);
        passwordLabel->hide();
        Edit2->hide();
        setFixedSize(330, 44);
    }

    Timer1 = new QTimer(this);
    Timer1->setInterval(5000);
    connect(Timer1, &QTimer::timeout, this, [] { requestTermination(); });

    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, [this] { reject(); });

    show();
}

bool TForm23::event(QEvent *e) {
    if (e->type() == QEvent::WindowActivate) {
        checkedSinceShow_ = true;
        runGuarded([this] { FormActivate(); });
    } else if (e->type() == QEvent::Show) {
        // Without a window manager a window is never activated; check once after showing then.
        checkedSinceShow_ = false;
        QTimer::singleShot(300, this, [this] {
            if (!checkedSinceShow_ && isVisible()) {
                checkedSinceShow_ = true;
                runGuarded([this] { FormActivate(); });
            }
        });
    }
    return QDialog::event(e);
}

void TForm23::FormActivate() {
    CheckVersion();
    setWindowTitle(QStringLiteral("Авторизация (build: %1.%2)").arg(buildDate()).arg(buildTime()));
}

void TForm23::Button1Click() {
    TForm1 &main = *forms().Form1;
    TDataModule6 &dm = *forms().DataModule6;
    const QString login = Edit1->text().trimmed();
    main.ShiftNumber = 1;
    main.session = Session{};
    main.session.login = login;
    const bool personal = dm.personalAccounts;
    const Role role = personal ? logInPersonally(login, Edit2->text()) : roleForLogin(login);
    main.N11->setEnabled(role == Role::Administrator);
    // "ta" is a mark no record carries, so every record is listed.
    for (int n = 1; n <= 4; ++n)
        dm.shiftQuery(n).setParam("ok", QStringLiteral("ta"));
    if (role == Role::None) {
        if (!personal)
            showError(QStringLiteral("Введены неверные данные."), QStringLiteral("Ошибка"));
        return;
    }
    if (!upgradedIfNeeded(role))
        return;
    // The database's change history names who did what from this session on.
    main.session = personal ? startPersonalSession(dm.ADO_DB, login, role, QSysInfo::machineHostName())
                            : startSession(dm.ADO_DB, login, QSysInfo::machineHostName());
    Edit2->clear();
    main.applyRole(role);
    forms().Form18->applyRole(role);
    hide();
    showModal(&main);
    done(QDialog::Accepted);
}

Role TForm23::logInPersonally(const QString &account, const QString &password) {
    TDataModule6 &dm = *forms().DataModule6;
    if (account.isEmpty() || password.isEmpty()) {
        showError(QStringLiteral("Введите имя пользователя и пароль."), QStringLiteral("Ошибка"));
        return Role::None;
    }
    if (roleForLogin(account) != Role::None) {
        showError(QStringLiteral("Общие логины отключены: войдите под своей учётной записью."),
                  QStringLiteral("Ошибка"));
        return Role::None;
    }
    ConnectionSettings person = dm.startSettings;
    person.user = account;
    person.password = password;
    try {
        dm.ADO_DB.connect(connectionString(person));
    } catch (const DbError &e) {
        // The server says which; the password itself is never part of a message.
        QString text = e.text();
        if (text.contains(QLatin1String("password authentication failed"), Qt::CaseInsensitive) ||
            text.contains(QLatin1String("authentication failed"), Qt::CaseInsensitive))
            text = QStringLiteral("Неверное имя пользователя или пароль, или срок действия пароля истёк.");
        else if (text.contains(QLatin1String("not permitted to log in"), Qt::CaseInsensitive))
            text = QStringLiteral("Учётная запись %1 отключена: обратитесь к администратору.").arg(account);
        backToStartConnection();
        showError(text, QStringLiteral("Ошибка"));
        return Role::None;
    }
    // An account outside the program's groups may not even ask which group it is in.
    QString group;
    try {
        group = dm.lookup("select accounts_dep.account_group(current_user) as g", "g").toString();
    } catch (const DbError &) {
    }
    const Role role = roleForGroup(group);
    if (role == Role::None) {
        backToStartConnection();
        showError(QStringLiteral("Учётная запись %1 не входит ни в одну из ролей программы: обратитесь к "
                                 "администратору.")
                      .arg(account),
                  QStringLiteral("Ошибка"));
        return Role::None;
    }
    // The reports read as the person too, on their own server where one is set.
    ConnectionSettings reports = dm.reportsStartSettings;
    reports.user = account;
    reports.password = password;
    dm.reportsConnectionString = connectionString(reports);
    return role;
}

void TForm23::backToStartConnection() {
    TDataModule6 &dm = *forms().DataModule6;
    runGuarded([&dm] { dm.ADO_DB.connect(connectionString(dm.startSettings)); });
}

bool TForm23::upgradedIfNeeded(Role role) {
    TDataModule6 &dm = *forms().DataModule6;
    if (dm.pendingUpgrade.isEmpty())
        return true;
    if (role != Role::Administrator) {
        showError(upgradeNeededMessage(dm.pendingUpgrade), QStringLiteral("Ошибка"));
        return false;
    }
    if (!askYesNo(QStringLiteral("База данных требует обновления: %1. Обновить её сейчас?")
                      .arg(dm.pendingUpgrade.join(", ")),
                  QStringLiteral("Обновление базы данных")))
        return false;
    upgradeDatabase(dm.ADO_DB, buildStampText(buildDate(), buildTime()));
    dm.pendingUpgrade.clear();
    return true;
}

void TForm23::done(int result) {
    QDialog::done(result);
    // This is the application's main window: when it closes, the program ends.
    requestTermination();
}
