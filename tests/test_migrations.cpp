// The program's additions to the shared database as numbered migrations: a database with only the
// company's base schema and its data is brought up to date, once; a failing migration leaves the
// database as it was; a database lacking one is found at start, and an administrator applies it.
#include "app/login_window.h"
#include "app/main_window.h"
#include "core/database.h"
#include "core/db_error.h"
#include "core/migrations.h"
#include "support/test_program.h"
#include "ui/data_module.h"
#include "ui/forms.h"

#include <QLineEdit>
#include <QSqlQuery>
#include <QTest>

class MigrationsTest : public QObject {
    Q_OBJECT
    // A database of the company's base schema alone, with a worker's record in it.
    static QString baseDatabase(const QString &name) {
        const QString db = "piecework_" + name;
        const QString psql =
            "PGPASSWORD=tulwexa PGOPTIONS='-c client_min_messages=warning' psql -q -h 127.0.0.1 "
            "-p 5432 -U sys -v ON_ERROR_STOP=1 ";
        const int rc = testing::shell(
            QString(
                "%1 -d postgres -c 'drop database if exists %2 with (force)' -c 'create database %2' && "
                "%1 -d %2 -f %3/db/schema.sql && %1 -d %2 -c \"insert into accounts_dep.smena(data, smena, "
                "w_id, kol_vo, time, ok) values ('05.03.2024', 1, 1000, 10, 8, 'no')\"")
                .arg(psql, db, testing::sourceDir()));
        return rc == 0 ? db : QString();
    }
    static QString value(Database &db, const QString &sql) {
        QSqlQuery q = db.run(sql);
        return q.next() ? q.value(0).toString() : QString();
    }
    static void connect(Database &db, const QString &name) {
        db.connect(
            QString("DRIVER={PostgreSQL UNICODE};DATABASE=%1;SERVER=127.0.0.1;PORT=5432;UID=sys;PWD=tulwexa;")
                .arg(name));
    }

private slots:
    void statementsOfAScript_data();
    void statementsOfAScript();
    void upgradeOnceFromTheBaseSchema();
    void failingMigrationLeavesTheDatabase();
    void missingMigrationFoundAtStart();
    void personCodesThatAreNotNumbers_data();
    void personCodesThatAreNotNumbers();
};

void MigrationsTest::statementsOfAScript_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("statements");
    QTest::newRow("two statements, a comment")
        << "create table a(x int); -- a; comment\ninsert into a values (1);"
        << QStringList{"create table a(x int)", "insert into a values (1)"};
    QTest::newRow("semicolon in a string")
        << "select 'a;b'''; select 2" << QStringList{"select 'a;b'''", "select 2"};
    QTest::newRow("function body in dollar quotes")
        << "create function f() returns int language sql as $$ select 1; $$; select $tag$;$tag$;"
        << QStringList{"create function f() returns int language sql as $$ select 1; $$",
                       "select $tag$;$tag$"};
}

void MigrationsTest::statementsOfAScript() {
    QFETCH(QString, script);
    QFETCH(QStringList, statements);
    QCOMPARE(splitStatements(script), statements);
}

void MigrationsTest::upgradeOnceFromTheBaseSchema() {
    const QString name = baseDatabase("migrations_base");
    QVERIFY(!name.isEmpty());
    Database db("migrations_base");
    connect(db, name);
    QCOMPARE(migrationNames(missingMigrations(db)), migrationNames(programMigrations()));
    QVERIFY(programMigrations().size() >= 2);
    QCOMPARE(upgradeDatabase(db, "20240101.3600"), migrationNames(programMigrations()));
    // Recorded with the build that applied them; the guards are in place; the data is kept.
    QCOMPARE(
        value(db, "select count(*) from accounts_dep.schema_migration where build='20240101.3600'").toInt(),
        int(programMigrations().size()));
    QVERIFY(!value(db, "select to_regclass('accounts_dep.closed_month')").isEmpty());
    QVERIFY(!value(db, "select to_regclass('cmn_contractor.person_code_as_id')").isEmpty());
    QCOMPARE(value(db, "select count(*) from accounts_dep.smena").toInt(), 1);
    // A second run has nothing to do.
    QVERIFY(missingMigrations(db).isEmpty());
    QCOMPARE(upgradeDatabase(db, "20240101.3601"), QStringList{});
    QCOMPARE(value(db, "select count(*) from accounts_dep.schema_migration").toInt(),
             int(programMigrations().size()));
}

void MigrationsTest::failingMigrationLeavesTheDatabase() {
    const QString name = baseDatabase("migrations_failing");
    QVERIFY(!name.isEmpty());
    Database db("migrations_failing");
    connect(db, name);
    QVector<Migration> list{programMigrations().value(0)};
    list.append(
        {9001, "9001_broken",
         "create table accounts_dep.half_done(x int);\ninsert into accounts_dep.half_done values (1);\n"
         "select no_such_function();"});
    bool failed = false;
    try {
        upgradeDatabase(db, "test", list);
    } catch (const DbError &) {
        failed = true;
    }
    QVERIFY(failed);
    // The migration before it stays; nothing of the broken one is left.
    QCOMPARE(value(db, "select string_agg(name, ',') from accounts_dep.schema_migration"),
             programMigrations().value(0).name);
    QVERIFY(value(db, "select to_regclass('accounts_dep.half_done')").isEmpty());
    QCOMPARE(migrationNames(missingMigrations(db, list)), QStringList{"9001_broken"});
}

void MigrationsTest::personCodesThatAreNotNumbers_data() {
    QTest::addColumn<bool>("upgradedBefore");
    // The company's persons table already holds codes of other programs that are not numbers.
    QTest::newRow("such codes before the upgrade") << false;
    // An office upgraded by an older build has the cast index that refused them; it goes.
    QTest::newRow("older build's cast index in place") << true;
}

// The persons' table is the company's: the program's upgrade must pass on codes that are not
// numbers, and other programs must go on storing them afterwards.
void MigrationsTest::personCodesThatAreNotNumbers() {
    QFETCH(bool, upgradedBefore);
    const QString name = baseDatabase("migrations_codes");
    QVERIFY(!name.isEmpty());
    Database db("migrations_codes");
    connect(db, name);
    const QString otherProgramsPersons = "insert into cmn_contractor.person(s_caption, s_code) values "
                                         "('Поставщик', ''), ('Подрядчик', 'A-17'), ('Гость', null)";
    if (upgradedBefore)
        db.run("create index person_code_as_id on cmn_contractor.person ((s_code::t_id))");
    else
        db.run(otherProgramsPersons);
    db.run("insert into cmn_contractor.person(id, s_caption, s_code) values (2000, 'Иванов', '1000')");
    QCOMPARE(upgradeDatabase(db, "test"), migrationNames(programMigrations()));
    if (upgradedBefore)
        db.run(otherProgramsPersons);
    db.run("insert into cmn_contractor.person(s_caption, s_code) values ('Ещё один', 'Б/Н')");
    // The worker's record still finds its person by the code; the other codes find nobody.
    QCOMPARE(value(db, "select string_agg(p.s_caption, ',') from accounts_dep.smena s join "
                       "cmn_contractor.person p on accounts_dep.code_as_id(p.s_code)=s.w_id"),
             "Иванов");
    QCOMPARE(value(db, "select indexdef from pg_indexes where indexname='person_code_as_id'"),
             "CREATE INDEX person_code_as_id ON cmn_contractor.person USING btree "
             "(accounts_dep.code_as_id((s_code)::text))");
}

void MigrationsTest::missingMigrationFoundAtStart() {
    // A database upgraded by an older build: its newest migration is missing.
    const QString name = baseDatabase("migrations_start");
    QVERIFY(!name.isEmpty());
    {
        Database db("migrations_older");
        connect(db, name);
        upgradeDatabase(db, "older", programMigrations().mid(0, programMigrations().size() - 1));
    }
    const QString last = programMigrations().last().name;
    QVERIFY(testing::startProgramOn(name));
    QCOMPARE(testing::messages().shown.size(), 1);
    QVERIFY2(testing::messages().shown[0].text.startsWith("База данных требует обновления") &&
                 testing::messages().shown[0].text.contains(last) &&
                 testing::messages().shown[0].text.contains("--upgrade-database"),
             qPrintable(testing::messages().shown[0].text));
    TForm23 &login = *forms().Form23;
    // A foreman cannot go on; an administrator is asked, and "Да" upgrades and goes on.
    testing::messages().clear();
    login.Edit1->setText("quorbel");
    login.Button1Click();
    QCOMPARE(testing::messages().shown.size(), 1);
    QVERIFY(testing::messages().shown[0].text.startsWith("База данных требует обновления"));
    QVERIFY(!missingMigrations(forms().DataModule6->ADO_DB).isEmpty());
    testing::messages().clear();
    testing::messages().answers = {true};
    bool mainShown = false;
    testing::onModal([&](QDialog *d) {
        mainShown = d == forms().Form1;
        return int(QDialog::Rejected);
    });
    login.Edit1->setText("7093");
    login.Button1Click();
    QCOMPARE(testing::messages().shown.value(0).kind, "question");
    QVERIFY(mainShown);
    QVERIFY(missingMigrations(forms().DataModule6->ADO_DB).isEmpty());
}

QTEST_MAIN(MigrationsTest)
#include "test_migrations.moc"
