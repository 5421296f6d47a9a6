// The program's four roles as the database enforces them: an account of each group role runs plain
// statements outside the program, and what its role may not do is refused by the database itself.
#include "core/connection_string.h"
#include "core/database.h"
#include "core/db_error.h"
#include "support/fixtures.h"
#include "support/test_program.h"

#include <QTest>

using fixtures::exec;

namespace {
const QStringList kRoles{"reader", "foreman", "warehouse", "admin"};
const QString kPassword = QStringLiteral("Проверка-1'\"");
} // namespace

class RoleRightsTest : public QObject {
    Q_OBJECT
    QString database;
    QMap<QString, Database *> accounts; // role -> a connection as an account of it
    int worker = 0, priceRow = 0, record = 0, cell = 0;
    qint64 group = 0;

    // Runs statement as the account of role and rolls it back; empty when it ran, else the error.
    QString attempt(const QString &role, const QString &statement) {
        Database &db = *accounts.value(role);
        try {
            Transaction tx(db);
            db.run(statement);
            return {};
        } catch (const DbError &e) {
            return e.text();
        }
    }

private slots:
    void initTestCase() {
        testing::startProgram("role_rights");
        database = "piecework_role_rights";
        worker = fixtures::worker("Иванов И.И.");
        group = fixtures::group("Стеллажи");
        priceRow =
            fixtures::priceRow(fixtures::product("СТ-101", group), fixtures::operationType("Резка"), 0, 10);
        record = fixtures::record({worker, priceRow, QDate(2024, 3, 5)});
        cell = fixtures::scalar(
                   "insert into accounts_dep.h_tabel(w_id, smena, month, year, d5) values (:w, 1, 3, "
                   "2024, 8) returning id",
                   {{"w", worker}})
                   .toInt();
        for (const QString &role : kRoles) {
            const QString account = "piecework_test_" + role;
            exec(QString("drop role if exists %1").arg(account));
            // The password as a person might choose it: apostrophe, quote and Cyrillic letters.
            exec(QString("create role %1 login password %2 in role piecework_%3")
                     .arg(account, "'" + QString(kPassword).replace("'", "''") + "'", role));
            ConnectionSettings s;
            s.server = "127.0.0.1";
            s.database = database;
            s.user = account;
            s.password = kPassword;
            auto *db = new Database("account_" + role);
            db->connect(connectionString(s));
            accounts.insert(role, db);
        }
    }

    void cleanupTestCase() {
        qDeleteAll(accounts);
        accounts.clear();
        for (const QString &role : kRoles)
            exec("drop role if exists piecework_test_" + role);
    }

    void statements_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("allowed"); // the roles that may, in the order of kRoles: r f w a
        const QString all = "rfwa", admin = "a";
        QTest::newRow("read the records") << "select count(*) from accounts_dep.smena" << all;
        QTest::newRow("read the persons") << "select count(*) from cmn_contractor.person" << all;
        QTest::newRow("read the history") << "select count(*) from accounts_dep.change_history" << admin;
        QTest::newRow("add a household entry")
            << QString(
                   "insert into accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, "
                   "cnt, price, i_holiday, i_night) values (%1, 7777, %2, '2024-03-06', 3, 2024, 1, 4, 150, "
                   "0, 0)")
                   .arg(group)
                   .arg(worker)
            << all;
        QTest::newRow("write a day cell")
            << QString("update accounts_dep.h_tabel set d6=4 where id=%1").arg(cell) << all;
        QTest::newRow("add a record")
            << QString(
                   "insert into accounts_dep.smena(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, "
                   "time, vvod, ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) "
                   "select %1, i_id, id, 10, 5, 0, '2024-03-06', 1, 0, 4, '2024-03-06', 'no', 0, 0, 0, 0, "
                   "0, 0 from accounts_dep.oper where id=%2")
                   .arg(worker)
                   .arg(priceRow)
            << "fa";
        QTest::newRow("accept a record")
            << QString("update accounts_dep.smena set ok='ok' where id=%1").arg(record) << "wa";
        QTest::newRow("change a record's pieces")
            << QString("update accounts_dep.smena set kol_vo=kol_vo+1 where id=%1").arg(record) << admin;
        QTest::newRow("accept and change the pieces")
            << QString("update accounts_dep.smena set ok='ok', kol_vo=kol_vo+1 where id=%1").arg(record)
            << admin;
        QTest::newRow("delete a record")
            << QString("delete from accounts_dep.smena where id=%1").arg(record) << admin;
        QTest::newRow("change a price")
            << QString("update accounts_dep.norm set price=price+1 where o_id=%1").arg(priceRow) << admin;
        QTest::newRow("add an operation type")
            << "insert into accounts_dep.vid_oper(vid) values ('Гибка')" << admin;
        QTest::newRow("close a month")
            << "insert into accounts_dep.closed_month(year, month, closed_by) values (2024, 3, 'проверка')"
            << admin;
        QTest::newRow("rebuild a month")
            << "delete from accounts_dep.h_tabel where month=3 and year=2024" << admin;
        QTest::newRow("rename a group")
            << QString("update cmn_classifier.item set s_caption='Полки' where id=%1").arg(group) << admin;
        QTest::newRow("raise the build's stamp") << "update accounts_dep.ver set d=d, t=t" << all;
        QTest::newRow("the version row's separator") << "update accounts_dep.ver set delim=delim" << admin;
        QTest::newRow("the migrations' list") << "delete from accounts_dep.schema_migration where version=4"
                                              << "";
    }

    void statements() {
        QFETCH(QString, statement);
        QFETCH(QString, allowed);
        for (int i = 0; i < kRoles.size(); ++i) {
            const bool may = allowed.contains("rfwa"[i]);
            const QString error = attempt(kRoles[i], statement);
            if (may)
                QVERIFY2(error.isEmpty(), qPrintable(kRoles[i] + ": " + error));
            else
                QVERIFY2(error.startsWith("Нет прав на это действие: база данных отказала ("),
                         qPrintable(kRoles[i] + " was let through or failed otherwise: " + error));
        }
    }

    // A connection as account with password; empty when it opened, else why not.
    QString logIn(const QString &account, const QString &password) {
        ConnectionSettings s;
        s.server = "127.0.0.1";
        s.database = database;
        s.user = account;
        s.password = password;
        Database db("login_" + account);
        try {
            db.connect(connectionString(s));
            return {};
        } catch (const DbError &e) {
            return e.text();
        }
    }
    QString asAdmin(const QString &statement, const SqlParams &params = {}) {
        try {
            accounts.value("admin")->run(statement, params);
            return {};
        } catch (const DbError &e) {
            return e.text();
        }
    }

    // The administrator's account adds, changes and disables accounts through the program's
    // functions, and only accounts of the program; no other role may call them.
    void accountsThroughTheFunctions() {
        exec("drop role if exists piecework_test_new");
        QCOMPARE(asAdmin("select accounts_dep.add_account(:a, :f, :g, :p)", {{"a", "piecework_test_new"},
                                                                             {"f", "Новиков Н.Н."},
                                                                             {"g", "piecework_foreman"},
                                                                             {"p", "первый пароль"}}),
                 QString());
        QCOMPARE(logIn("piecework_test_new", "первый пароль"), QString());
        QCOMPARE(
            fixtures::scalar("select full_name || ' ' || account_role from accounts_dep.accounts() where "
                             "account='piecework_test_new'")
                .toString(),
            "Новиков Н.Н. piecework_foreman");
        // A new role and a reset password take effect at once; a disabled account cannot log in.
        QCOMPARE(
            asAdmin("select accounts_dep.set_account_group('piecework_test_new', 'piecework_warehouse')"),
            QString());
        QCOMPARE(fixtures::scalar("select accounts_dep.account_group('piecework_test_new')").toString(),
                 "piecework_warehouse");
        QCOMPARE(asAdmin("select accounts_dep.set_account_password('piecework_test_new', :p)",
                         {{"p", "второй пароль"}}),
                 QString());
        QVERIFY(!logIn("piecework_test_new", "первый пароль").isEmpty());
        QCOMPARE(logIn("piecework_test_new", "второй пароль"), QString());
        QCOMPARE(asAdmin("select accounts_dep.set_account_enabled('piecework_test_new', false)"), QString());
        QVERIFY(!logIn("piecework_test_new", "второй пароль").isEmpty());
        QCOMPARE(asAdmin("select accounts_dep.set_account_enabled('piecework_test_new', true)"), QString());
        QCOMPARE(logIn("piecework_test_new", "второй пароль"), QString());

        // What the functions refuse, in their own words.
        QCOMPARE(asAdmin("select accounts_dep.set_account_password('piecework_test_new', 'короткий')"),
                 QString());
        QCOMPARE(asAdmin("select accounts_dep.set_account_password('piecework_test_new', 'кратко')"),
                 "Пароль должен быть не короче 8 знаков");
        QCOMPARE(asAdmin("select accounts_dep.set_account_group('sys', 'piecework_admin')"),
                 "Учётная запись sys не относится к программе");
        QCOMPARE(asAdmin("select accounts_dep.set_account_group('piecework_test_new', 'pg_read_all_data')"),
                 "Роль должна быть одной из ролей программы");
        QCOMPARE(asAdmin("select accounts_dep.set_account_group('piecework_test_admin', 'piecework_reader')"),
                 "Свою роль изменить нельзя");
        // A foreman cannot make itself an administrator.
        const QString refused =
            attempt("foreman", "select accounts_dep.set_account_group('piecework_test_foreman', "
                               "'piecework_admin')");
        QVERIFY2(refused.startsWith("Нет прав на это действие"), qPrintable(refused));
        QCOMPARE(fixtures::scalar("select accounts_dep.account_group('piecework_test_foreman')").toString(),
                 "piecework_foreman");
        exec("drop role piecework_test_new");
    }

    // The refusal names what was refused, and a transaction refused halfway writes nothing.
    void refusedHalfwayWritesNothing() {
        Database &db = *accounts.value("foreman");
        QString error;
        try {
            Transaction tx(db);
            db.run(QString("update accounts_dep.h_tabel set d7=2 where id=%1").arg(cell));
            db.run(QString("update accounts_dep.smena set kol_vo=1 where id=%1").arg(record));
            tx.commit();
        } catch (const DbError &e) {
            error = e.text();
        }
        QCOMPARE(error,
                 "Нет прав на это действие: база данных отказала (таблица smena). Изменения не сохранены.");
        QVERIFY(
            fixtures::scalar(QString("select d7 from accounts_dep.h_tabel where id=%1").arg(cell)).isNull());
    }
};

QTEST_MAIN(RoleRightsTest)
#include "test_role_rights.moc"
