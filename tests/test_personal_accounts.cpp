// Personal accounts switched on: the workstation's settings file logs in as an account that may read
// the version row and nothing that pays wages; the login window asks for a person's account and
// password, refuses what cannot log in with a clear message, and works as the person afterwards.
#include "app/accounts_window.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "core/connection_string.h"
#include "core/db_error.h"
#include "core/session.h"
#include "shift/shift_record_editor.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/guard.h"
#include "ui/version_check.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kPassword = QStringLiteral("пароль-проверки");
}

class PersonalAccountsTest : public QObject {
    Q_OBJECT
    QTemporaryDir home;
    TDataModule6 *dm = nullptr;
    TForm23 *login = nullptr;
    TForm1 *main = nullptr;
    int record = 0;
    const QDate day{2024, 3, 5};

    // The connection as an account, and the session the login window would start on it.
    void workAs(const QString &account, Role role) {
        ConnectionSettings person = dm->startSettings;
        person.user = account;
        person.password = kPassword;
        dm->ADO_DB.connect(connectionString(person));
        main->session = startPersonalSession(dm->ADO_DB, account, role, "ws-test");
    }
    QString recordField(const QString &field) {
        return fixtures::scalar(
                   QString("select %1::text from accounts_dep.smena where id=%2").arg(field).arg(record))
            .toString();
    }

    static void sys(const QString &sql) { QCOMPARE(testing::psql("personal_accounts", sql), 0); }
    QString currentUser() { return dm->lookup("select current_user::text as u", "u").toString(); }

private slots:
    void initTestCase() {
        const QString database = testing::createDatabase("personal_accounts");
        sys("drop role if exists pa_start, pa_foreman, pa_off, pa_none, pa_admin, pa_new, pa_expired, "
            "pa_warehouse, pa_reader");
        const QString password = "'" + kPassword + "'";
        sys("create role pa_start login password " + password + " in role piecework_start");
        sys("create role pa_foreman login password " + password + " in role piecework_foreman");
        sys("create role pa_off nologin password " + password + " in role piecework_foreman");
        sys("create role pa_none login password " + password);
        sys("create role pa_expired login password " + password +
            " valid until '2000-01-01' in role piecework_foreman");
        sys("create role pa_admin login password " + password + " in role piecework_admin");
        sys("create role pa_warehouse login password " + password + " in role piecework_warehouse");
        sys("create role pa_reader login password " + password + " in role piecework_reader");
        // The office's settings: the start account, and personal accounts on.
        QFile conf(home.filePath("piecework.conf"));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write(QString("[database]\nuser=pa_start\npassword=%1\n\n[login]\npersonal_accounts=yes\n")
                       .arg(kPassword)
                       .toUtf8());
        conf.close();
        conf.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        qputenv("PIECEWORK_SYSTEM_CONF", conf.fileName().toUtf8());
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        QVERIFY(testing::startProgramOn(database));
        dm = forms().DataModule6;
        login = forms().Form23;
        main = forms().Form1;
        QVERIFY(dm->personalAccounts);
        QVERIFY(login->Edit2->isVisibleTo(login));
        // A record of a working day, made as the database's owner.
        const ConnectionSettings start = dm->startSettings;
        ConnectionSettings owner = start;
        owner.user = "sys";
        owner.password = "tulwexa";
        dm->ADO_DB.connect(connectionString(owner));
        const int worker = fixtures::worker("Иванов И.И.");
        const int row =
            fixtures::priceRow(fixtures::product("СТ-101"), fixtures::operationType("Резка"), 0, 10);
        record = fixtures::record({worker, row, day});
        dm->ADO_DB.connect(connectionString(start));
    }

    void cleanupTestCase() {
        testing::psql("personal_accounts", "drop role if exists pa_start, pa_foreman, pa_off, pa_none, "
                                           "pa_admin, pa_new, pa_expired, pa_warehouse, pa_reader");
    }

    // What a workstation's file holds cannot pay wages: the start account reads the version row only.
    void startAccountWritesNothing() {
        QCOMPARE(currentUser(), "pa_start");
        QString error;
        try {
            dm->ADO_DB.run("update accounts_dep.smena set kol_vo=kol_vo+1");
        } catch (const DbError &e) {
            error = e.text();
        }
        QVERIFY2(error.startsWith("Нет прав на это действие: база данных отказала ("), qPrintable(error));
    }

    // The first copy of a newer build raises the build's stamp, also as the start account (the
    // older copies then end).
    void startAccountRaisesTheStamp() {
        testing::messages().clear();
        seams::setBuildStamp(20240102, 0);
        CheckVersion();
        seams::setBuildStamp(20240101, 3600);
        QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(testing::messages().shown.value(0).text));
        QCOMPARE(dm->lookup("select max(d) as d from accounts_dep.ver", "d").toInt(), 20240102);
        sys("update accounts_dep.ver set d=20240101, t=3600");
    }

    void refused_data() {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing typed") << ""
                                       << ""
                                       << "Введите имя пользователя и пароль.";
        QTest::newRow("a shared login text")
            << "quorbel" << kPassword << "Общие логины отключены: войдите под своей учётной записью.";
        QTest::newRow("wrong password")
            << "pa_foreman"
            << "не тот"
            << "Неверное имя пользователя или пароль, или срок действия пароля истёк.";
        QTest::newRow("no such account")
            << "pa_nobody" << kPassword
            << "Неверное имя пользователя или пароль, или срок действия пароля истёк.";
        QTest::newRow("expired password")
            << "pa_expired" << kPassword
            << "Неверное имя пользователя или пароль, или срок действия пароля истёк.";
        QTest::newRow("disabled") << "pa_off" << kPassword
                                  << "Учётная запись pa_off отключена: обратитесь к администратору.";
        QTest::newRow("of no role")
            << "pa_none" << kPassword
            << "Учётная запись pa_none не входит ни в одну из ролей программы: обратитесь к администратору.";
    }

    void refused() {
        QFETCH(QString, account);
        QFETCH(QString, password);
        QFETCH(QString, message);
        testing::messages().clear();
        bool shown = false;
        testing::onModal([&](QDialog *) {
            shown = true;
            return int(QDialog::Rejected);
        });
        login->show();
        login->Edit1->setText(account);
        login->Edit2->setText(password);
        login->Button1->click();
        QVERIFY(!shown);
        QCOMPARE(testing::messages().shown.size(), 1);
        QCOMPARE(testing::messages().shown[0].text, message);
        QVERIFY(!testing::messages().shown[0].text.contains(kPassword));
        QVERIFY(login->isVisible());
        // The version check goes on as the start account.
        QCOMPARE(currentUser(), "pa_start");
    }

    // "Пользователи" as an administrator's account: an account added, a password refused, an account
    // disabled; the database's functions do the work.
    void theAdministratorManagesAccounts() {
        ConnectionSettings admin = dm->startSettings;
        admin.user = "pa_admin";
        admin.password = kPassword;
        dm->ADO_DB.connect(connectionString(admin));
        AccountsWindow &w = *forms().Accounts;
        AccountEditor &e = *w.editor;
        testing::messages().clear();
        QString addedRole, addedState, captionAfter, mismatch;
        testing::onModal([&](QDialog *) {
            testing::onModal([&](QDialog *d) {
                e.EditName->setText("pa_new");
                e.EditFullName->setText("О'Нил Д.");
                e.ComboRole->setCurrentIndex(e.ComboRole->findText("Склад"));
                e.EditPassword->setText("длинный пароль");
                e.EditRepeat->setText("длинный пароль");
                e.Button1->click();
                return d->result();
            });
            w.Button1->click();
            if (w.accounts.locate("account", "pa_new")) {
                addedRole = w.accounts.text("role_name") + " " + w.accounts.text("full_name");
                addedState = w.accounts.text("enabled_text");
            }
            testing::onModal([&](QDialog *d) {
                e.EditPassword->setText("пароль-один");
                e.EditRepeat->setText("пароль-два");
                e.Button1->click();
                mismatch = testing::messages().shown.value(0).text;
                return d->result();
            });
            w.Button3->click();
            testing::messages().answers = {true};
            w.Button5->click();
            w.accounts.locate("account", "pa_new");
            captionAfter = w.Button5->text();
            return int(QDialog::Rejected);
        });
        w.launch();
        QCOMPARE(addedRole, "Склад О'Нил Д.");
        QCOMPARE(addedState, "да");
        QCOMPARE(mismatch, "Пароли не совпадают.");
        QCOMPARE(captionAfter, "Включить");
        QCOMPARE(testing::psql("personal_accounts",
                               "do $$ begin if (select rolcanlogin from pg_roles where "
                               "rolname='pa_new') then raise exception 'enabled'; end if; "
                               "end $$"),
                 0);
        dm->ADO_DB.connect(connectionString(dm->startSettings));
    }

    // The warehouse's account accepts through the day sheet, and the database names it; what its role
    // may not do is refused with the message, whatever window tried it. The reader's account reads
    // the sheet and is refused the acceptance.
    void theWarehouseAndTheReaderThroughTheSheet() {
        testing::setToday(day);
        workAs("pa_warehouse", Role::Warehouse);
        main->FormActivate();
        main->selectShift(1);
        QCOMPARE(main->currentShift().recordCount(), 1);
        testing::messages().clear();
        main->DBGrid2DblClick();
        QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(testing::messages().shown.value(0).text));
        QCOMPARE(recordField("ok"), "ok");
        QCOMPARE(
            testing::psql("personal_accounts",
                          QString("do $$ begin if (select db_user || ' ' || login_role from "
                                  "accounts_dep.change_history where record_id=%1 order by id desc limit 1) "
                                  "<> 'pa_warehouse Склад' then raise exception 'not named'; end if; end $$")
                              .arg(record)),
            0);
        // A change of the pieces through the editor, as if its button were not off for the role.
        testing::onModal([&](QDialog *d) {
            forms().Form11->Edit3->setText("99");
            forms().Form11->Button1->click();
            return d->result();
        });
        main->Button2Click();
        QCOMPARE(testing::messages().shown.value(0).text,
                 "Нет прав на это действие: база данных отказала (таблица smena). Изменения не сохранены.");
        QCOMPARE(recordField("kol_vo"), "10");

        workAs("pa_reader", Role::ReportReader);
        main->FormActivate();
        QCOMPARE(main->currentShift().recordCount(), 1);
        testing::messages().clear();
        // As the grid's double-click runs it: through the error guard.
        runGuarded([this] { main->DBGrid2DblClick(); });
        QVERIFY(testing::messages().shown.value(0).text.startsWith("Нет прав на это действие"));
        QCOMPARE(recordField("ok"), "ok");
        dm->ADO_DB.connect(connectionString(dm->startSettings));
    }

    // Last: the accepted login ends the program when its main window closes.
    void theProgramWorksAsThePerson() {
        testing::messages().clear();
        QString user, roleInHistory, personInHistory;
        bool mayAdd = false, mayChange = true;
        testing::onModal([&](QDialog *d) {
            if (d != main)
                return int(QDialog::Rejected);
            user = currentUser();
            mayAdd = main->Button1->isEnabled();
            mayChange = main->Button2->isEnabled();
            // A record the person saves: the history names the account and its role.
            dm->ADO_DB.run(
                "insert into accounts_dep.smena(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, "
                "time, vvod, ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) "
                "values (1, 1, 1, 10, 5, 0, '2024-03-06', 1, 0, 4, '2024-03-06', 'no', 0, 0, 0, 0, 0, 0)");
            return int(QDialog::Rejected);
        });
        login->show();
        login->Edit1->setText("  pa_foreman ");
        login->Edit2->setText(kPassword);
        login->Button1->click();
        QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(testing::messages().shown.value(0).text));
        QCOMPARE(user, "pa_foreman");
        QVERIFY(mayAdd && !mayChange);
        QCOMPARE(main->session.login, "pa_foreman");
        QVERIFY(main->session.personalAccount);
        QCOMPARE(main->session.role, Role::Foreman);
        QVERIFY(login->Edit2->text().isEmpty());
        QCOMPARE(
            testing::psql("personal_accounts",
                          "do $$ begin if not exists (select 1 from accounts_dep.change_history where "
                          "db_user='pa_foreman' and login_role='Мастер') then raise exception 'not named'; "
                          "end if; end $$"),
            0);
    }
};

QTEST_MAIN(PersonalAccountsTest)
#include "test_personal_accounts.moc"
