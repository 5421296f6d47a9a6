// A database restart while the program runs: a read meets the dropped connection and is simply
// asked again on a new one; a write that meets it is not repeated behind the user's back, says in
// Russian that nothing was saved, and works when the user repeats it.
#include "app/main_window.h"
#include "core/database.h"
#include "core/db_error.h"
#include "core/session.h"
#include "refbooks/worker_card.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/guard.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

class ReconnectTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void survivesRestart();
    void savedThoughTheListIsNotReadAgain();
    void commitThatLosesItsConnection();
    void singleWriteThatLosesItsReply();
    void datesReadDayFirstWhateverTheServerSays();
};

void ReconnectTest::initTestCase() {
    testing::startProgram("reconnect");
}

void ReconnectTest::survivesRestart() {
    TForm1 &main = *forms().Form1;
    main.session.login = "31620574";
    // What the login leaves in the session for the change history.
    startSession(forms().DataModule6->ADO_DB, main.session.login, "reconnect-test");
    for (int n = 1; n <= 4; ++n)
        forms().DataModule6->shiftQuery(n).setParam("ok", "ta");
    const int worker = fixtures::worker("Иванов И.И.");
    const int row = fixtures::priceRow(fixtures::product("СТ-101"), fixtures::operationType("Резка"), 0, 10);
    const QDate day(2024, 3, 5);
    fixtures::record({.worker = worker, .priceRow = row, .date = day});
    testing::setToday(day);
    main.FormActivate();
    QCOMPARE(forms().DataModule6->Smena1.recordCount(), 1);

    QCOMPARE(testing::shell(testing::sourceDir() + "/scripts/db restart"), 0);

    // "Обновить" after the restart shows the day, with no message.
    testing::messages().clear();
    main.Button8->click();
    QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(testing::messages().shown.value(0).text));
    QCOMPARE(forms().DataModule6->Smena1.recordCount(), 1);

    // A write that meets a restart saves nothing and says so. (An action that reads first, such
    // as the acceptance's closed-month check, is already on the new connection when it writes.)
    QCOMPARE(testing::shell(testing::sourceDir() + "/scripts/db restart"), 0);
    runGuarded([] { forms().DataModule6->ADO_DB.run("update accounts_dep.smena set ok='ok'"); });
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].kind, "error");
    QCOMPARE(testing::messages().shown[0].text, kConnectionLostWriteMessage);
    QCOMPARE(fixtures::scalar("select ok from accounts_dep.smena").toString(), "no");

    // Repeated, it is saved.
    testing::messages().clear();
    main.Button8->click();
    emit main.DBGrid2->doubleClicked(main.DBGrid2->currentIndex());
    QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(testing::messages().shown.value(0).text));
    QCOMPARE(fixtures::scalar("select ok from accounts_dep.smena").toString(), "ok");
    // The new connection still names the login in the history.
    QCOMPARE(
        fixtures::scalar("select login_role || ', ' || workstation from accounts_dep.change_history where "
                         "action='accept'")
            .toString(),
        "Администратор, reconnect-test");
}

// The connection drops after a write was committed, while the list is read again: the user hears
// that the change is saved (not "Нет связи", which would make the clerk enter it twice).
void ReconnectTest::savedThoughTheListIsNotReadAgain() {
    TForm1 &main = *forms().Form1;
    Dataset &list = forms().DataModule6->Smena1;
    testing::messages().clear();
    main.Button8->click();
    QCOMPARE(list.recordCount(), 1);
    const QString before = fixtures::scalar("select ok from accounts_dep.smena").toString();
    // The list's next reading ends its own connection, on the retry as well.
    const QString sql = list.sqlText();
    list.setSql({"select * from (" + sql + ") x where pg_terminate_backend(pg_backend_pid())"});
    emit main.DBGrid2->doubleClicked(main.DBGrid2->currentIndex());
    list.setSql(sql.split('\n'));
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].text, kSavedListNotRefreshedMessage);
    QVERIFY(fixtures::scalar("select ok from accounts_dep.smena").toString() != before);
}

// The connection ends while the server commits: the program asks a new connection what became of
// the transaction instead of guessing.
void ReconnectTest::commitThatLosesItsConnection() {
    Database &db = forms().DataModule6->ADO_DB;
    testing::messages().clear();
    // The question itself, on a transaction committed and on one rolled back.
    auto transactionId = [&] {
        QSqlQuery q = db.run("select txid_current()");
        q.next();
        return q.value(0).toLongLong();
    };
    db.begin();
    const qint64 committed = transactionId();
    db.commit();
    db.begin();
    const qint64 rolledBack = transactionId();
    db.rollback();
    QCOMPARE(db.fateOf(committed), Database::Fate::Committed);
    QCOMPARE(db.fateOf(rolledBack), Database::Fate::Aborted);

    // A check deferred to the commit ends its own session: the commit does not go through, and the
    // user hears that nothing was saved.
    fixtures::exec("create function public.end_own_session() returns trigger language plpgsql as $$ begin "
                   "perform pg_terminate_backend(pg_backend_pid()); return null; end $$");
    fixtures::exec(
        "create constraint trigger end_session_at_commit after insert on accounts_dep.closed_month "
        "deferrable initially deferred for each row execute function public.end_own_session()");
    runGuarded([&] {
        Transaction tx(db);
        db.run("insert into accounts_dep.closed_month(year, month) values (2001, 1)");
        tx.commit();
    });
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].text, kConnectionLostWriteMessage);
    QCOMPARE(fixtures::scalar("select count(*) from accounts_dep.closed_month where year=2001").toInt(), 0);

    // The server crashes before it is asked: after a crash it may have handed the same transaction
    // id to another session, so its answer proves nothing and the user hears that it is unknown.
    testing::messages().clear();
    db.setBeforeFateQuestion([] { QCOMPARE(testing::shell(testing::sourceDir() + "/scripts/db crash"), 0); });
    runGuarded([&] {
        Transaction tx(db);
        db.run("insert into accounts_dep.closed_month(year, month) values (2001, 2)");
        tx.commit();
    });
    db.setBeforeFateQuestion({});
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].text, kCommitUnknownMessage);
    fixtures::exec("drop trigger end_session_at_commit on accounts_dep.closed_month");
}

// A single statement outside a transaction, such as the worker card's insert, whose reply is lost:
// the server is asked what became of it, as for a commit, instead of "not saved" by guess, which
// made the clerk add the worker a second time when the server had saved the first.
void ReconnectTest::singleWriteThatLosesItsReply() {
    Database &db = forms().DataModule6->ADO_DB;
    TForm2 &card = *forms().Form2;
    fixtures::exec("create constraint trigger end_session_at_commit after insert on accounts_dep.person "
                   "deferrable initially deferred for each row execute function public.end_own_session()");
    struct Case {
        const char *fio;
        bool crash; // the server crashes before it is asked
        QString message;
    };
    const Case cases[] = {{"Лосев Л.Л.", false, kConnectionLostWriteMessage},
                          {"Крылов К.К.", true, kCommitUnknownMessage}};
    for (const Case &c : cases) {
        testing::messages().clear();
        int asked = 0;
        db.setBeforeFateQuestion([&] {
            ++asked;
            if (c.crash)
                QCOMPARE(testing::shell(testing::sourceDir() + "/scripts/db crash"), 0);
        });
        card.Tag = 1;
        card.Edit1->setText(c.fio);
        card.Button1->click();
        db.setBeforeFateQuestion({});
        QCOMPARE(asked, 1);
        QCOMPARE(testing::messages().shown.size(), 1);
        QCOMPARE(testing::messages().shown[0].text, c.message);
        QCOMPARE(
            fixtures::scalar("select count(*) from accounts_dep.person where fio=:f", {{"f", c.fio}}).toInt(),
            0);
    }
    fixtures::exec("drop trigger end_session_at_commit on accounts_dep.person");
}

// A server made under an English locale reads '02.03.2024' as 3 February; the program's sessions,
// on a new connection as on the first, read the day first as every statement writes it.
void ReconnectTest::datesReadDayFirstWhateverTheServerSays() {
    fixtures::exec("alter role sys in database piecework_reconnect set datestyle to 'ISO, MDY'");
    Database db("datestyle");
    db.connect(forms().DataModule6->ADO_DB.connectionString());
    auto day = [&] {
        QSqlQuery q = db.run("select '02.03.2024'::date");
        return q.next() ? q.value(0).toDate() : QDate();
    };
    QCOMPARE(day(), QDate(2024, 3, 2));
    fixtures::endServerProcess(fixtures::serverProcessOf(db));
    QCOMPARE(day(), QDate(2024, 3, 2));
    fixtures::exec("alter role sys in database piecework_reconnect reset datestyle");
}

QTEST_MAIN(ReconnectTest)
#include "test_reconnect.moc"
