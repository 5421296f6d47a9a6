#include "app/login_window.h"

#include "app/main_window.h"
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

TForm23::TForm23(QWidget *parent) : QDialog(parent) {
    setObjectName("Form23");
    setWindowTitle("Авторизация");
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 8, 8, 8);
    auto *label = new QLabel("Логин:", this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setEchoMode(QLineEdit::Password);
    label->setBuddy(Edit1);
    Button1 = new QPushButton("Вход", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton("Отмена", this);
    Button2->setObjectName("Button2");
    row->addWidget(label);
    row->addWidget(Edit1, 1);
    row->addWidget(Button1);
    row->addWidget(Button2);
    setFixedSize(330, 44);

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
    const QString login = Edit1->text().trimmed();
    main.ShiftNumber = 1;
    main.session = Session{};
    main.session.login = login;
    const Role role = roleForLogin(login);
    main.N11->setEnabled(role == Role::Administrator);
    // "ta" is a mark no record carries, so every record is listed.
    for (int n = 1; n <= 4; ++n)
        forms().DataModule6->shiftQuery(n).setParam("ok", QStringLiteral("ta"));
    if (role == Role::None) {
        showError(QStringLiteral("Введены неверные данные."), QStringLiteral("Ошибка"));
        return;
    }
    if (!upgradedIfNeeded(role))
        return;
    // The database's change history names who did what from this session on.
    main.session = startSession(forms().DataModule6->ADO_DB, login, QSysInfo::machineHostName());
    main.applyRole(role);
    forms().Form18->applyRole(role);
    hide();
    showModal(&main);
    done(QDialog::Accepted);
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
