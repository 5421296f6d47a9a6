// The monthly timesheet's rules: the month rebuilds write exactly the rows of the day-by-day,
// key-by-key loop the office has always run, touch only their own kind, fail as a whole, respect
// month lengths; two workstations writing one new key get one row.
#include "core/connection_string.h"
#include "core/db_error.h"
#include "support/fixtures.h"
#include "support/literal_rebuild.h"
#include "support/test_program.h"
#include "timesheet/day_cells.h"
#include "timesheet/month_rebuild.h"
#include "ui/data_module.h"
#include "ui/forms.h"

#include <QProgressBar>
#include <QTest>
#include <atomic>
#include <thread>

using fixtures::exec;
using fixtures::scalar;

class TimesheetRulesTest : public QObject {
    Q_OBJECT
    TDataModule6 *dm = nullptr;
    int cut = 0;

    // Every timesheet row as text, in a fixed order, ids left out.
    static QStringList table() {
        QStringList days;
        for (int d = 1; d <= 31; ++d)
            days << QString("coalesce(d%1::text,'-')").arg(d);
        QSqlQuery q = forms().DataModule6->ADO_DB.run(
            "select concat_ws(' ', w_id, smena, i_type, i_night, month, year, " + days.join(", ") +
            ") from accounts_dep.h_tabel order by 1");
        QStringList rows;
        while (q.next())
            rows << q.value(0).toString();
        return rows;
    }

    // Workstation B: its own connection, storing one day cell in a thread of its own, so that the
    // test can see whether it waits.
    struct OtherWorkstation {
        std::atomic<bool> done{false};
        QString failure;
        std::thread thread;
        void store(const QString &connection, const TimesheetKey &key, const QDate &date, int hours) {
            thread = std::thread([this, connection, key, date, hours] {
                try {
                    TDataModule6 other(nullptr, "workstation_b");
                    other.ADO_DB.connect(connection);
                    StoreDayHours(other, key, date, hours, DayCellWrite::Store);
                } catch (const DbError &e) {
                    failure = e.text();
                }
                done = true;
            });
        }
        void finish() {
            thread.join();
            QSqlDatabase::removeDatabase("workstation_b");
        }
    };

private slots:
    void initTestCase();
    void init();
    void rebuildsMatchTheDayByDayLoop_data();
    void rebuildsMatchTheDayByDayLoop();
    void monthLengths_data();
    void monthLengths();
    void failedRebuildLeavesTheMonth();
    void twoWritersOfOneNewKey();
    void writeDuringARebuildWaitsForIt();
    void deleteRewriteEmptiesTheCell();
    void rebuildsReproduceTheEditorsCells();
};

void TimesheetRulesTest::initTestCase() {
    testing::startProgram("timesheet_rules");
    dm = forms().DataModule6;
    cut = fixtures::priceRow(fixtures::product("СТ-1"), fixtures::operationType("Резка"), 0, 10);
}

void TimesheetRulesTest::init() {
    exec("delete from accounts_dep.smena");
    exec("delete from accounts_dep.fatigue");
    exec("delete from accounts_dep.h_tabel");
}

void TimesheetRulesTest::rebuildsMatchTheDayByDayLoop_data() {
    QTest::addColumn<bool>("household");
    QTest::newRow("shift rows") << false;
    QTest::newRow("household rows") << true;
}

void TimesheetRulesTest::rebuildsMatchTheDayByDayLoop() {
    QFETCH(bool, household);
    // A generated month around March 2024: 25 workers, several records a day in every shift,
    // household and average-piece entries by day and night, and stale rows of both kinds.
    exec("select setseed(0.5)");
    exec("insert into accounts_dep.smena(data, smena, w_id, i_id, o_id, cena, kol_vo, brak, time, ok) "
         "select d::date, 1 + (w + k) % 4, 5000 + w, o.i_id, o.id, 10, 5, 0, 1 + floor(random() * 8)::int, "
         "'no' "
         "from generate_series(date '2024-02-27', date '2024-04-02', interval '1 day') d, "
         "generate_series(1, 25) w, generate_series(1, 3) k, accounts_dep.oper o "
         "where o.id = " +
         QString::number(cut) + " and random() < 0.6");
    exec("insert into accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, "
         "i_holiday, i_night) select 1, case when random() < 0.5 then 7777 else 7778 end, 5000 + w, d::date, "
         "extract(month from d), extract(year from d), 1, 1 + floor(random() * 4)::int, 100, 0, "
         "case when random() < 0.3 then 1 else 0 end "
         "from generate_series(date '2024-02-27', date '2024-04-02', interval '1 day') d, "
         "generate_series(1, 25) w, generate_series(1, 2) k where random() < 0.3");
    // Stale rows: a worker with nothing this month, and wrong hours of a worker who has some.
    exec("insert into accounts_dep.h_tabel(smena, w_id, month, year, d3) values (1, 4999, 3, 2024, 8), "
         "(2, 5001, 3, 2024, 99), (1, 5001, 2, 2024, 7)");
    exec("insert into accounts_dep.h_tabel(i_type, w_id, i_night, month, year, d4) values "
         "(7777, 4999, 0, 3, 2024, 5), (7778, 5002, 1, 3, 2024, 77), (7777, 5002, 0, 4, 2024, 3)");
    const QStringList before = table();
    literalRebuild(*dm, household, 3, 2024);
    const QStringList expected = table();
    exec("delete from accounts_dep.h_tabel");
    for (const QString &row : before) {
        const QStringList v = row.split(' ');
        QStringList cols{"w_id", "smena", "i_type", "i_night", "month", "year"}, vals;
        for (int d = 1; d <= 31; ++d)
            cols << QString("d%1").arg(d);
        for (const QString &x : v)
            vals << (x == "-" ? "null" : x);
        exec("insert into accounts_dep.h_tabel(" + cols.join(',') + ") values (" + vals.join(',') + ")");
    }
    QCOMPARE(table(), before);
    QProgressBar bar;
    if (household)
        RebuildHouseholdRows(*dm, 3, 2024, &bar);
    else
        RebuildShiftRows(*dm, 3, 2024, &bar);
    QCOMPARE(table(), expected);
    QVERIFY(expected != before);
    QCOMPARE(bar.maximum(), 31);
    QCOMPARE(bar.value(), 31);
    QVERIFY(bar.isHidden());
    // The other kind, and the other months, stayed as they were.
    const QStringList after = table();
    for (const QString &row : before) {
        const QStringList v = row.split(' ');
        const bool householdRow = v[1] == "0";
        if (householdRow != household || v[4] != "3" || v[5] != "2024")
            QVERIFY2(after.contains(row), qPrintable(row));
    }
}

void TimesheetRulesTest::monthLengths_data() {
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("days");
    QTest::newRow("February of a leap year") << 2 << 2024 << 29;
    QTest::newRow("February of another year") << 2 << 2023 << 28;
    QTest::newRow("December, next to January") << 12 << 2024 << 31;
    QTest::newRow("April") << 4 << 2024 << 30;
}

void TimesheetRulesTest::monthLengths() {
    QFETCH(int, month);
    QFETCH(int, year);
    QFETCH(int, days);
    const QDate first(year, month, 1);
    // Records on every day from the day before the month to the day after it.
    for (QDate d = first.addDays(-1); d <= first.addMonths(1); d = d.addDays(1)) {
        fixtures::record({.worker = 7001, .priceRow = cut, .date = d, .hours = d.day() % 9 + 1});
        fixtures::entry({.worker = 7001, .date = d});
    }
    QProgressBar bar;
    RebuildShiftRows(*dm, month, year, &bar);
    QCOMPARE(bar.maximum(), days);
    RebuildHouseholdRows(*dm, month, year, &bar);
    QCOMPARE(scalar(QString("select count(*) from accounts_dep.h_tabel where month=%1 and year=%2")
                        .arg(month)
                        .arg(year))
                 .toInt(),
             2);
    for (int d = 1; d <= 31; ++d) {
        const QVariant shift =
            scalar(QString("select d%1 from accounts_dep.h_tabel where smena=1 and month=%2 and year=%3")
                       .arg(d)
                       .arg(month)
                       .arg(year));
        const QVariant household =
            scalar(QString("select d%1 from accounts_dep.h_tabel where smena=0 and month=%2 and year=%3")
                       .arg(d)
                       .arg(month)
                       .arg(year));
        if (d <= days) {
            QCOMPARE(shift.toInt(), d % 9 + 1);
            QCOMPARE(household.toInt(), 2);
        } else {
            QVERIFY2(shift.isNull() && household.isNull(), qPrintable(QString("day %1").arg(d)));
        }
    }
    // Neither neighbour month got rows.
    QCOMPARE(scalar("select count(*) from accounts_dep.h_tabel").toInt(), 2);
}

void TimesheetRulesTest::failedRebuildLeavesTheMonth() {
    for (int d = 1; d <= 20; ++d)
        fixtures::record({.worker = 7002, .priceRow = cut, .date = QDate(2024, 3, d), .hours = 8});
    exec(
        "insert into accounts_dep.h_tabel(smena, w_id, month, year, d1, d2) values (1, 7002, 3, 2024, 3, 3)");
    const QStringList before = table();
    // The database refuses the write of day 15 (a dropped connection would do the same).
    exec("create function pg_temp.refuse() returns trigger language plpgsql as "
         "$$ begin if new.d15 is not null then raise exception 'day 15 refused'; end if; return new; end $$");
    exec(
        "create trigger refuse before insert or update on accounts_dep.h_tabel for each row execute function "
        "pg_temp.refuse()");
    QProgressBar bar;
    bool failed = false;
    try {
        RebuildShiftRows(*dm, 3, 2024, &bar);
    } catch (const DbError &e) {
        failed = e.text().contains("day 15 refused");
    }
    exec("drop trigger refuse on accounts_dep.h_tabel");
    QVERIFY(failed);
    QCOMPARE(table(), before);
    QVERIFY(bar.isHidden());
    // Run again, it restores the month.
    RebuildShiftRows(*dm, 3, 2024, &bar);
    QCOMPARE(scalar("select d15 from accounts_dep.h_tabel where w_id=7002").toInt(), 8);
    QCOMPARE(scalar("select d1 from accounts_dep.h_tabel where w_id=7002").toInt(), 8);
}

void TimesheetRulesTest::twoWritersOfOneNewKey() {
    // Workstation A writes a new key and has not committed yet; workstation B writes another day
    // of the same key meanwhile. B must wait and find A's row instead of adding a second one.
    const TimesheetKey key = TimesheetKey::shiftRow(7003, 2);
    const QString connection = dm->ADO_DB.connectionString();
    Transaction a(dm->ADO_DB);
    StoreDayHours(*dm, key, QDate(2024, 5, 6), 8, DayCellWrite::Store);
    OtherWorkstation b;
    b.store(connection, key, QDate(2024, 5, 7), 4);
    QTest::qWait(500);
    const bool waited = !b.done;
    a.commit();
    b.finish();
    QVERIFY2(b.failure.isEmpty(), qPrintable(b.failure));
    QVERIFY(waited);
    QCOMPARE(scalar("select count(*) from accounts_dep.h_tabel where w_id=7003").toInt(), 1);
    QCOMPARE(scalar("select d6 from accounts_dep.h_tabel where w_id=7003").toInt(), 8);
    QCOMPARE(scalar("select d7 from accounts_dep.h_tabel where w_id=7003").toInt(), 4);
}

void TimesheetRulesTest::writeDuringARebuildWaitsForIt() {
    // Workstation B saves a day cell of June while A rebuilds June. B must wait for the rebuild
    // (the month lock): writing into the rows the rebuild is replacing would lose B's hours or
    // leave the key with two rows.
    for (int d = 3; d <= 7; ++d)
        fixtures::record({.worker = 7004, .priceRow = cut, .date = QDate(2024, 6, d), .hours = 8});
    RebuildShiftRows(*dm, 6, 2024, nullptr);
    const TimesheetKey key = TimesheetKey::shiftRow(7004, 1);
    const QString connection = dm->ADO_DB.connectionString();
    OtherWorkstation b;
    bool waited = false;
    QProgressBar bar;
    // Halfway through the rebuild's days, inside its transaction.
    connect(&bar, &QProgressBar::valueChanged, this, [&](int day) {
        if (day != 15 || b.thread.joinable())
            return;
        b.store(connection, key, QDate(2024, 6, 7), 11);
        QTest::qWait(500);
        waited = !b.done;
    });
    RebuildShiftRows(*dm, 6, 2024, &bar);
    QVERIFY(b.thread.joinable());
    b.finish();
    QVERIFY2(b.failure.isEmpty(), qPrintable(b.failure));
    QVERIFY(waited);
    QCOMPARE(scalar("select count(*) from accounts_dep.h_tabel where w_id=7004").toInt(), 1);
    QCOMPARE(scalar("select d7 from accounts_dep.h_tabel where w_id=7004").toInt(), 11);
    QCOMPARE(scalar("select d6 from accounts_dep.h_tabel where w_id=7004").toInt(), 8);
}

void TimesheetRulesTest::deleteRewriteEmptiesTheCell() {
    // Household key: day and night are separate rows; a rewrite after the last entry went empties
    // the cell and keeps the row and its other days.
    const QDate day(2024, 3, 2);
    exec("insert into accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, cnt, price, i_night) "
         "values "
         "(1, 7777, 7004, '02.03.2024', 3, 2024, 4, 100, 0), (1, 7777, 7004, '02.03.2024', 3, 2024, 3, 100, "
         "0), "
         "(1, 7777, 7004, '02.03.2024', 3, 2024, 5, 100, 1)");
    RewriteDayCell(*dm, TimesheetKey::householdRow(7004, 7777, 0), day, DayCellWrite::Store);
    RewriteDayCell(*dm, TimesheetKey::householdRow(7004, 7777, 1), day, DayCellWrite::Store);
    QCOMPARE(scalar("select d2 from accounts_dep.h_tabel where w_id=7004 and i_night=0").toInt(), 7);
    QCOMPARE(scalar("select d2 from accounts_dep.h_tabel where w_id=7004 and i_night=1").toInt(), 5);
    exec("update accounts_dep.h_tabel set d9=1 where w_id=7004");
    exec("delete from accounts_dep.fatigue where id_p=7004 and i_night=0");
    RewriteDayCell(*dm, TimesheetKey::householdRow(7004, 7777, 0), day, DayCellWrite::AfterDelete);
    QVERIFY(scalar("select d2 from accounts_dep.h_tabel where w_id=7004 and i_night=0").isNull());
    QCOMPARE(scalar("select d9 from accounts_dep.h_tabel where w_id=7004 and i_night=0").toInt(), 1);
    QCOMPARE(scalar("select d2 from accounts_dep.h_tabel where w_id=7004 and i_night=1").toInt(), 5);
    QCOMPARE(scalar("select i_type from accounts_dep.h_tabel where w_id=7004 and i_night=1").toInt(), 7777);
    QCOMPARE(scalar("select smena from accounts_dep.h_tabel where w_id=7004 and i_night=1").toInt(), 0);
}

void TimesheetRulesTest::rebuildsReproduceTheEditorsCells() {
    // Each save writes its key's day cell; rebuilding the month afterwards changes nothing.
    const QDate first(2024, 4, 1);
    for (int i = 0; i < 40; ++i) {
        const QDate day = first.addDays((i * 7) % 30);
        const int worker = 7100 + i % 5, shift = 1 + i % 4;
        fixtures::record(
            {.worker = worker, .priceRow = cut, .date = day, .shift = shift, .hours = 1 + i % 8, .color = i});
        RewriteDayCell(*dm, TimesheetKey::shiftRow(worker, shift), day, DayCellWrite::Store);
        const int type = i % 3 ? 7777 : 7778, night = i % 2;
        fixtures::entry({.worker = worker, .type = type, .date = day, .hours = 1 + i % 3, .night = night});
        RewriteDayCell(*dm, TimesheetKey::householdRow(worker, type, night), day, DayCellWrite::Store);
    }
    const QStringList written = table();
    QVERIFY(written.size() > 10);
    RebuildShiftRows(*dm, 4, 2024, nullptr);
    RebuildHouseholdRows(*dm, 4, 2024, nullptr);
    QCOMPARE(table(), written);
}

QTEST_MAIN(TimesheetRulesTest)
#include "test_timesheet_rules.moc"
