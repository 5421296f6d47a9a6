// Household work and the average piece rate: entries saved through the editor with its pickers and
// prices, their day cells, delete and move, and the month's recalculation of the average rate.
#include "app/main_window.h"
#include "core/database.h"
#include "core/db_error.h"
#include "refbooks/groups_list.h"
#include "refbooks/workers_list.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "timesheet/day_cells.h"
#include "timesheet/household_entry_editor.h"
#include "timesheet/household_work_list.h"
#include "ui/data_module.h"
#include "ui/forms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using fixtures::exec;
using fixtures::scalar;

class HouseholdWorkTest : public QObject {
    Q_OBJECT
    TDataModule6 *dm = nullptr;
    TForm25 *list = nullptr;
    TForm24 *editor = nullptr;
    int ivanov = 0, petrov = 0;
    qint64 shelves = 0, boxes = 0;
    const QDate tuesday{2024, 3, 5};
    const QDate saturday{2024, 3, 9};

    // Picks worker and group through the pickers, as the office does, then fills the rest.
    void fillEditor(int worker, qint64 group, int type, const QString &hours, bool night) {
        testing::onModal([&](QDialog *d) {
            dm->Workers.locate("id", worker);
            forms().Form5->Button2->click();
            return d->result();
        });
        editor->Button3->click();
        testing::onModal([&](QDialog *d) {
            forms().Form26->item.locate("id", group);
            forms().Form26->Button3->click();
            return d->result();
        });
        editor->Button4->click();
        editor->cb_type_work->setCurrentIndex(editor->cb_type_work->findData(type));
        editor->Edit6->setText(hours);
        if (editor->CBox1->isEnabled())
            editor->CBox1->setChecked(night);
    }
    void addEntry(int worker, qint64 group, int type, const QString &hours, bool night = false) {
        testing::onModal([=, this](QDialog *d) {
            fillEditor(worker, group, type, hours, night);
            editor->Button1->click();
            return d->result();
        });
        list->Button5->click();
    }
    static QVariant cell(int worker, int type, int night, const QDate &date) {
        return scalar(
            QString("select d%1 from accounts_dep.h_tabel where w_id=%2 and i_type=%3 and i_night=%4 and "
                    "month=%5 and year=%6 and smena=0")
                .arg(date.day())
                .arg(worker)
                .arg(type)
                .arg(night)
                .arg(date.month())
                .arg(date.year()));
    }
    QString lastMessage() const {
        const auto &shown = testing::messages().shown;
        return shown.isEmpty() ? QString() : shown.last().text;
    }

private slots:
    void initTestCase();
    void init();
    void savePricesTheEntry_data();
    void savePricesTheEntry();
    void saveRefusals();
    void dayCellsFollowSavesAndDeletes();
    void movedEntryRewritesTheCellItLeft();
    void moveLocksBothCellsBeforeWriting();
    void busyCellRefusesTheSave();
    void listShowsEntriesWithoutPriceRows();
    void openedFromTheMainWindow();
    void averagePieceRate();
    void demoPricesItsPastAveragePiece();
};

void HouseholdWorkTest::initTestCase() {
    testing::startProgram("household_work");
    dm = forms().DataModule6;
    list = forms().Form25;
    editor = forms().Form24;
    ivanov = fixtures::worker("Иванов И.И.");
    petrov = fixtures::worker("Петров П.П.");
    shelves = fixtures::group("Стеллажи");
    boxes = fixtures::group("Ящики");
    // The two work types are priced through price-list rows of their own.
    fixtures::priceRow(7777, 7777, 0, 150);
    fixtures::priceRow(7778, 7778, 0, 125);
}

void HouseholdWorkTest::init() {
    testing::messages().clear();
    // The office works in March 2024 (a date more than a year back would be asked about).
    testing::setToday(tuesday);
    exec("delete from accounts_dep.fatigue");
    exec("delete from accounts_dep.h_tabel");
    exec("delete from accounts_dep.smena");
    list->setListDate(tuesday);
    list->CBox1->setChecked(false);
    list->FormActivate();
}

void HouseholdWorkTest::savePricesTheEntry_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("weekend");
    QTest::addColumn<bool>("night");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("pay"); // what the editor says will be paid, before the save
    QTest::newRow("household, weekday") << 7777 << false << false << "150"
                                        << "к начислению: 150 x 4 ч = 600.00";
    QTest::newRow("household, day off") << 7777 << true << false << "300"
                                        << "к начислению: 150 x 2 x 4 ч = 1200.00";
    QTest::newRow("household, night of a day off") << 7777 << true << true << "360"
                                                   << "к начислению: 150 x 2 x 1.2 x 4 ч = 1440.00";
    QTest::newRow("average piece, night") << 7778 << false << true << "150"
                                          << "к начислению: 125 x 1.2 x 4 ч = 600.00";
}

void HouseholdWorkTest::savePricesTheEntry() {
    QFETCH(int, type);
    QFETCH(bool, weekend);
    QFETCH(bool, night);
    QFETCH(QString, price);
    QFETCH(QString, pay);
    if (weekend) {
        // The user's own change of date to a Saturday ticks "Выходной".
        list->DTPcker1->setDate(saturday);
        QVERIFY(list->CBox1->isChecked());
    }
    const QDate day = list->listDate();
    QString shown;
    testing::onModal([&](QDialog *d) {
        fillEditor(ivanov, shelves, type, "4", night);
        shown = editor->LabelPay->text();
        editor->Button1->click();
        return d->result();
    });
    list->Button5->click();
    QCOMPARE(shown, pay);
    QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(lastMessage()));
    QCOMPARE(scalar("select price from accounts_dep.fatigue").toString(), price);
    QCOMPARE(scalar("select cnt from accounts_dep.fatigue").toInt(), 4);
    QCOMPARE(scalar("select i_holiday from accounts_dep.fatigue").toInt(), weekend ? 1 : 0);
    QCOMPARE(scalar("select i_night from accounts_dep.fatigue").toInt(), night ? 1 : 0);
    QCOMPARE(scalar("select id_nom from accounts_dep.fatigue").toLongLong(), shelves);
    QCOMPARE(scalar("select i_mnth from accounts_dep.fatigue").toInt(), 3);
    QCOMPARE(cell(ivanov, type, night ? 1 : 0, day).toInt(), 4);
    QCOMPARE(list->fatigue.recordCount(), 1);
    QCOMPARE(list->fatigue.text("s_night"), night ? "+" : "");
    QCOMPARE(list->fatigue.text("s_holiday"), weekend ? "+" : "");
}

void HouseholdWorkTest::saveRefusals() {
    // No worker: refused whatever the hours.
    testing::onModal([&](QDialog *d) {
        editor->Edit6->setText("5");
        editor->Button1->click();
        return d->result();
    });
    list->Button5->click();
    QCOMPARE(lastMessage(), "Все поля должны быть заполнены!");
    for (const QString &hours : {QString("0"), QString()}) {
        testing::messages().clear();
        testing::onModal([&](QDialog *) {
            fillEditor(ivanov, shelves, 7777, hours, false);
            editor->Button1->click();
            return int(QDialog::Rejected);
        });
        list->Button5->click();
        QCOMPARE(lastMessage(), "Нужно завести количество!");
        QCOMPARE(testing::messages().shown.last().title, "Ошибка");
    }
    // More hours than a day has.
    testing::onModal([&](QDialog *) {
        fillEditor(ivanov, shelves, 7777, "9999", false);
        editor->Button1->click();
        return int(QDialog::Rejected);
    });
    list->Button5->click();
    QCOMPARE(lastMessage(), "В одной записи не может быть больше 24 часов!");
    // Hours that are not whole are refused as typed, never read as other hours ("1,5" as 15).
    testing::onModal([&](QDialog *) {
        fillEditor(ivanov, shelves, 7777, "", false);
        testing::typeText(editor->Edit6, "1,5");
        editor->Button1->click();
        return int(QDialog::Rejected);
    });
    list->Button5->click();
    QCOMPARE(lastMessage(), "Часы: целое число от 1 до 24, без запятых и знаков (введено: «1,5»).");
    // The worker's day over shift records and household work holds 24 hours.
    exec(QString(
             "insert into accounts_dep.smena(data, smena, w_id, time, ok) values ('2024-03-05', 3, %1, 20, "
             "'no')")
             .arg(ivanov));
    testing::onModal([&](QDialog *) {
        fillEditor(ivanov, shelves, 7777, "5", false);
        editor->Button1->click();
        return int(QDialog::Rejected);
    });
    list->Button5->click();
    QCOMPARE(lastMessage(), "У работника Иванов И.И. за 05.03.2024 уже записано 20 ч во всех сменах и хоз. "
                            "работах; с этой записью будет 25 ч, а в сутках 24 часа.");
    exec("delete from accounts_dep.smena");
    // A day of a month that has not begun is asked about; No saves nothing.
    testing::setToday(tuesday);
    list->setListDate(tuesday.addMonths(1));
    testing::messages().clear();
    testing::onModal([&](QDialog *) {
        fillEditor(ivanov, shelves, 7777, "3", false);
        editor->Button1->click();
        return int(QDialog::Rejected);
    });
    list->Button5->click();
    QCOMPARE(testing::messages().shown.value(0).kind, "question");
    QVERIFY(lastMessage().contains("05.04.2024"));
    list->setListDate(tuesday);
    QCOMPARE(scalar("select count(*) from accounts_dep.fatigue").toInt(), 0);
    // "Изменить" on an empty list opens an empty editor that refuses to save.
    testing::messages().clear();
    testing::onModal([&](QDialog *d) {
        [&] {
            QVERIFY(editor->Edit1->text().isEmpty());
            QCOMPARE(editor->WorkerId, 0);
        }();
        editor->Button1->click();
        return d->result();
    });
    list->Button6->click();
    QCOMPARE(lastMessage(), "Все поля должны быть заполнены!");
}

void HouseholdWorkTest::dayCellsFollowSavesAndDeletes() {
    addEntry(ivanov, shelves, 7777, "4");
    addEntry(ivanov, boxes, 7777, "3");
    addEntry(ivanov, shelves, 7777, "2", true);
    QCOMPARE(cell(ivanov, 7777, 0, tuesday).toInt(), 7);
    QCOMPARE(cell(ivanov, 7777, 1, tuesday).toInt(), 2);
    exec("update accounts_dep.h_tabel set d20=6 where w_id=" + QString::number(ivanov));
    // Deleting one of the two day entries leaves the other's hours; the last empties the cell.
    for (int left : {4, 0}) {
        QVERIFY(list->fatigue.locate("cnt", left == 4 ? 3 : 4));
        testing::messages().answers = {true};
        list->Button7->click();
        QCOMPARE(testing::messages().shown.last().text, "Удалить позицию из списка?");
        QCOMPARE(testing::messages().shown.last().title, "Удаление");
        const QVariant c = cell(ivanov, 7777, 0, tuesday);
        if (left)
            QCOMPARE(c.toInt(), left);
        else
            QVERIFY(c.isNull());
    }
    QCOMPARE(scalar("select d20 from accounts_dep.h_tabel where i_night=0").toInt(), 6);
    QCOMPARE(cell(ivanov, 7777, 1, tuesday).toInt(), 2);
    // No answers Yes: nothing goes.
    testing::messages().answers = {false};
    list->Button7->click();
    QCOMPARE(scalar("select count(*) from accounts_dep.fatigue").toInt(), 1);
}

void HouseholdWorkTest::movedEntryRewritesTheCellItLeft() {
    addEntry(ivanov, shelves, 7777, "4");
    QVERIFY(list->fatigue.locate("id_p", ivanov));
    QString fio, hours;
    bool nightLocked = false;
    testing::onModal([&](QDialog *d) {
        fio = editor->Edit1->text();
        hours = editor->Edit6->text();
        nightLocked = !editor->CBox1->isEnabled();
        fillEditor(petrov, shelves, 7778, "5", false);
        editor->Button1->click();
        return d->result();
    });
    list->Button6->click();
    QCOMPARE(fio, "Иванов И.И.");
    QCOMPARE(hours, "4");
    QVERIFY(nightLocked);
    QVERIFY(cell(ivanov, 7777, 0, tuesday).isNull());
    QCOMPARE(cell(petrov, 7778, 0, tuesday).toInt(), 5);
    QCOMPARE(scalar("select price from accounts_dep.fatigue").toString(), "125");
}

// Two workstations moving entries between the same two keys in opposite directions must not each
// hold one cell and wait for the other: both cells are locked, in the fixed order, before the
// entry is written.
void HouseholdWorkTest::moveLocksBothCellsBeforeWriting() {
    addEntry(ivanov, shelves, 7777, "4");
    exec("create table if not exists public.locks_at_write(n int)");
    exec("create or replace function public.note_cell_locks() returns trigger language plpgsql as $$ begin "
         "insert into public.locks_at_write select count(*) from pg_locks where pid=pg_backend_pid() and "
         "locktype='advisory' and classid=74102 and granted; return new; end $$");
    exec("create trigger note_cell_locks before update on accounts_dep.fatigue for each row execute function "
         "public.note_cell_locks()");
    QVERIFY(list->fatigue.locate("id_p", ivanov));
    testing::onModal([&](QDialog *d) {
        fillEditor(petrov, shelves, 7778, "5", false);
        editor->Button1->click();
        return d->result();
    });
    list->Button6->click();
    exec("drop trigger note_cell_locks on accounts_dep.fatigue");
    QCOMPARE(scalar("select string_agg(n::text, ',') from public.locks_at_write").toString(), "2");
    QCOMPARE(cell(petrov, 7778, 0, tuesday).toInt(), 5);
}

// Another workstation holds a cell the save needs for longer than a save waits: the clerk reads
// that it is busy, in Russian, and nothing of the save is written.
void HouseholdWorkTest::busyCellRefusesTheSave() {
    addEntry(ivanov, shelves, 7777, "4");
    Database other("household_other_workstation");
    other.connect(dm->ADO_DB.connectionString());
    other.begin();
    LockDayCells(other, {{TimesheetKey::householdRow(petrov, 7778, 0), tuesday}});
    exec("set lock_timeout = '1s'");
    QVERIFY(list->fatigue.locate("id_p", ivanov));
    testing::messages().clear();
    testing::onModal([&](QDialog *d) {
        fillEditor(petrov, shelves, 7778, "5", false);
        editor->Button1->click();
        return d->result();
    });
    list->Button6->click();
    other.rollback();
    exec("set lock_timeout = '10s'");
    QCOMPARE(lastMessage(), kRowBusyMessage);
    QCOMPARE(scalar("select id_p from accounts_dep.fatigue").toInt(), ivanov);
    QCOMPARE(cell(ivanov, 7777, 0, tuesday).toInt(), 4);
    QVERIFY(cell(petrov, 7778, 0, tuesday).isNull());
}

void HouseholdWorkTest::listShowsEntriesWithoutPriceRows() {
    addEntry(ivanov, shelves, 7777, "4");
    exec("create temp table kept_oper as select * from accounts_dep.oper where i_id >= 7777");
    exec("delete from accounts_dep.oper where i_id >= 7777");
    list->FormActivate();
    QCOMPARE(list->fatigue.recordCount(), 1);
    exec("insert into accounts_dep.oper select * from kept_oper");
    exec("drop table kept_oper");
}

void HouseholdWorkTest::openedFromTheMainWindow() {
    // The opener's date brings its day's "Выходной" with it: a weekend date ticks it, and back
    // on a weekday it is cleared, so an entry is never priced by the day the list showed before.
    TForm1 &main = *forms().Form1;
    list->CBox1->setChecked(false);
    QDate shown;
    bool ticked = false;
    auto open = [&](const QDate &day) {
        main.DateT->setDate(day);
        testing::onModal([&](QDialog *) {
            shown = list->listDate();
            ticked = list->CBox1->isChecked();
            return int(QDialog::Rejected);
        });
        main.Button5->click();
    };
    open(saturday);
    QCOMPARE(shown, saturday);
    QVERIFY(ticked);
    open(tuesday);
    QVERIFY(!ticked);
    // A holiday ticked by the user on the same day stays.
    list->CBox1->setChecked(true);
    open(tuesday);
    QVERIFY(ticked);
}

void HouseholdWorkTest::averagePieceRate() {
    // Worker 17's March 2024 on products of group "Стеллажи": 100 good pieces at 5.00 in 8 hours,
    // 48 good at 6.00 in 8 hours: (500 + 288) / 16 = 49.25 an hour, 98.50 on a day off.
    const qint64 shelf = fixtures::product("СТ-1", shelves);
    const qint64 box = fixtures::product("ЯЩ-1", boxes);
    const int cut = fixtures::priceRow(shelf, fixtures::operationType("Резка"), 0, 5);
    const int weld = fixtures::priceRow(shelf, fixtures::operationType("Сварка"), 0, 6);
    const int boxCut = fixtures::priceRow(box, fixtures::operationType("Гибка"), 0, 9);
    fixtures::record(
        {.worker = ivanov, .priceRow = cut, .date = tuesday, .quantity = 100, .hours = 8, .price = 5});
    fixtures::record({.worker = ivanov,
                      .priceRow = weld,
                      .date = QDate(2024, 3, 31),
                      .quantity = 50,
                      .defects = 2,
                      .hours = 8,
                      .price = 6});
    // Not counted: another group, another month.
    fixtures::record(
        {.worker = ivanov, .priceRow = boxCut, .date = tuesday, .quantity = 10, .hours = 1, .price = 9});
    fixtures::record({.worker = ivanov,
                      .priceRow = cut,
                      .date = QDate(2024, 4, 1),
                      .quantity = 10,
                      .hours = 1,
                      .price = 50});
    auto entry = [](int worker, qint64 group, int type, const QDate &d, int holiday) {
        fixtures::entry(
            {.worker = worker, .group = group, .type = type, .date = d, .price = 125, .holiday = holiday});
    };
    entry(ivanov, shelves, 7778, tuesday, 0);
    entry(ivanov, shelves, 7778, saturday, 1);
    entry(petrov, shelves, 7778, tuesday, 0);           // no records: 0
    entry(ivanov, shelves, 7777, tuesday, 0);           // household work keeps its price
    entry(ivanov, shelves, 7778, QDate(2024, 4, 2), 0); // another month keeps its price
    list->Button1->click();
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].kind, "info");
    QCOMPARE(lastMessage(), "Цена ср. сдельной рассчитана за Март 2024: записей 3. Цена 0 у записей (1): у "
                            "работника нет сдельных работ в этой группе за месяц - Петров П.П. (Стеллажи).");
    auto price = [](const QString &where) {
        return scalar("select price from accounts_dep.fatigue where " + where).toString();
    };
    QCOMPARE(price(QString("id_p=%1 and id_o=7778 and i_holiday=0 and i_mnth=3").arg(ivanov)), "49.25");
    QCOMPARE(price(QString("id_p=%1 and id_o=7778 and i_holiday=1").arg(ivanov)), "98.50");
    QCOMPARE(price(QString("id_p=%1 and id_o=7778").arg(petrov)), "0");
    QCOMPARE(price(QString("id_p=%1 and id_o=7777").arg(ivanov)), "125");
    QCOMPARE(price(QString("id_p=%1 and i_mnth=4").arg(ivanov)), "125");
    QCOMPARE(scalar("select count(*) from accounts_dep.h_tabel").toInt(), 0);
}

void HouseholdWorkTest::demoPricesItsPastAveragePiece() {
    // A newcomer's demo shows believable average-piece money for the months already closed by the
    // office's recalculation; only the current month waits for its end.
    const QString db = testing::createDatabase("household_demo");
    auto psql = [&](const QStringList &args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PGPASSWORD", "tulwexa");
        p.setProcessEnvironment(env);
        p.start("psql", QStringList{"-q", "-At", "-h", "127.0.0.1", "-p", "5432", "-U", "sys", "-v",
                                    "ON_ERROR_STOP=1", "-d", db} +
                            args);
        p.waitForFinished(-1);
        return p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()).trimmed() : QString("failed");
    };
    QVERIFY(psql({"-f", testing::sourceDir() + "/db/demo.sql"}) != "failed");
    const QString past = "select count(*) from accounts_dep.fatigue f where id_o=7778 and "
                         "make_date(i_year, i_mnth, 1) < date_trunc('month', current_date)";
    QVERIFY(psql({"-c", past + " and price > 0"}).toInt() > 0);
    // Unpriced past entries are those of workers without piecework hours in their group.
    const QString unpriced = psql({"-c", past + " and price = 0"});
    const QString withoutHours =
        psql({"-c", past + " and not exists (select 1 from accounts_dep.smena s join accounts_dep.izdel g on "
                           "g.id=s.i_id where s.w_id=f.id_p and g.id_class_item=f.id_nom and s.time>0 and "
                           "s.data >= make_date(i_year, i_mnth, 1) and s.data < make_date(i_year, i_mnth, 1) "
                           "+ interval '1 month')"});
    QCOMPARE(unpriced, withoutHours);
}

QTEST_MAIN(HouseholdWorkTest)
#include "test_household_work.moc"
