// Writes that must not change paid wages or another workstation's work: saves, deletes and
// acceptance of rows changed elsewhere since they were read, and every writing action in a closed
// month, from the program's windows and from plain SQL.
#include "app/main_window.h"
#include "app/startup.h"
#include "core/db_error.h"
#include "refbooks/groups_list.h"
#include "refbooks/products_list.h"
#include "refbooks/workers_list.h"
#include "shift/shift_record_editor.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "timesheet/closed_months.h"
#include "timesheet/household_entry_editor.h"
#include "timesheet/household_work_list.h"
#include "timesheet/month_closing_window.h"
#include "timesheet/monthly_timesheet.h"
#include "timesheet/timesheet_by_time.h"
#include "ui/data_module.h"
#include "ui/forms.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSysInfo>
#include <QTableView>
#include <QTest>

using fixtures::exec;
using fixtures::scalar;

class MonthEndGuardsTest : public QObject {
    Q_OBJECT
    TDataModule6 *dm = nullptr;
    TDataModule6 *other = nullptr; // a second workstation on its own connection
    TForm1 *main = nullptr;
    TForm25 *household = nullptr;
    int ivanov = 0, petrov = 0, cutting = 0;
    qint64 shelf = 0;
    qint64 shelves = 0;
    int record = 0, entry = 0;
    const QDate march{2024, 3, 5};
    const QDate april{2024, 4, 2};

    // Everything a refused action must leave as it was: records, entries, timesheet rows, history.
    static QString snapshot() {
        return scalar("select md5(concat((select string_agg(s::text, '|' order by id) from "
                      "accounts_dep.smena s), "
                      "(select string_agg(f::text, '|' order by id) from accounts_dep.fatigue f), "
                      "(select string_agg(h::text, '|' order by id) from accounts_dep.h_tabel h), "
                      "(select count(*) from accounts_dep.change_history)))")
            .toString();
    }
    QString lastMessage() const {
        const auto &shown = testing::messages().shown;
        return shown.isEmpty() ? QString() : shown.last().text;
    }
    void showShiftSheet(const QDate &day) {
        main->DateT->setDate(day);
        main->DateTCloseUp();
        main->selectShift(1);
    }
    void showHousehold(const QDate &day) {
        household->setListDate(day);
        household->FormActivate();
    }
    void otherWrites(const QString &sql) { other->ADO_DB.run(sql); }
    // As the grid's double-click runs it: through the top-level handler.
    void doubleClick() {
        main->DBGrid2->setFocus();
        emit main->DBGrid2->doubleClicked(main->DBGrid2->currentIndex());
    }

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void staleSaveWritesNothing_data();
    void staleSaveWritesNothing();
    void acceptanceOnAStaleList_data();
    void acceptanceOnAStaleList();
    void closedMonthRefusesTheWindows_data();
    void closedMonthRefusesTheWindows();
    void closedMonthRefusesPlainSql_data();
    void closedMonthRefusesPlainSql();
    void closingAndReopeningThroughTheWindow();
    void closedMonthIsShownAsBefore();
};

void MonthEndGuardsTest::initTestCase() {
    testing::startProgram("month_end_guards");
    dm = forms().DataModule6;
    main = forms().Form1;
    household = forms().Form25;
    main->session.login = "31620574";
    for (int n = 1; n <= 4; ++n)
        dm->shiftQuery(n).setParam("ok", "ta");
    ivanov = fixtures::worker("Иванов И.И.");
    petrov = fixtures::worker("О'Нил П.П.");
    shelf = fixtures::product("СТ-101");
    cutting = fixtures::priceRow(shelf, fixtures::operationType("Резка"), 0, 10);
    shelves = fixtures::group("Стеллажи");
    fixtures::priceRow(7777, 7777, 0, 150);
    fixtures::priceRow(7778, 7778, 0, 125);
    other = new TDataModule6(nullptr, "workstation_b");
    prepareStatements(*other);
    other->ADO_DB.connect(dm->ADO_DB.connectionString());
}

void MonthEndGuardsTest::cleanupTestCase() {
    delete other;
}

void MonthEndGuardsTest::init() {
    testing::messages().clear();
    testing::setToday(april.addDays(1));
    exec("delete from accounts_dep.closed_month");
    exec("delete from accounts_dep.smena");
    exec("delete from accounts_dep.fatigue");
    exec("delete from accounts_dep.h_tabel");
    // One record and one entry, with their day cells as the editors leave them.
    record = fixtures::record({ivanov, cutting, march, 1, 10, 0, 8});
    entry = fixtures::entry({ivanov, shelves, 7777, march, 2});
    exec(QString("insert into accounts_dep.h_tabel(w_id, smena, month, year, d5) values (%1, 1, 3, 2024, 8)")
             .arg(ivanov));
    exec(QString("insert into accounts_dep.h_tabel(w_id, smena, i_type, i_night, month, year, d5) values "
                 "(%1, 0, 7777, 0, 3, 2024, 2)")
             .arg(ivanov));
    showShiftSheet(march);
    showHousehold(march);
}

void MonthEndGuardsTest::staleSaveWritesNothing_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("elsewhere");
    QTest::addColumn<QString>("left");
    // What the other workstation wrote stays; the refused save adds nothing.
    QTest::newRow("shift record saved, changed elsewhere")
        << "shift save"
        << "update accounts_dep.smena set kol_vo=55, time=6"
        << "select kol_vo::text || '/' || time from accounts_dep.smena";
    QTest::newRow("shift record saved, deleted elsewhere") << "shift save"
                                                           << "delete from accounts_dep.smena"
                                                           << "select count(*)::text from accounts_dep.smena";
    QTest::newRow("shift record deleted, changed elsewhere")
        << "shift delete"
        << "update accounts_dep.smena set kol_vo=55, time=6"
        << "select kol_vo::text || '/' || time from accounts_dep.smena";
    QTest::newRow("household entry saved, changed elsewhere") << "household save"
                                                              << "update accounts_dep.fatigue set cnt=5"
                                                              << "select cnt::text from accounts_dep.fatigue";
    QTest::newRow("household entry saved, deleted elsewhere")
        << "household save"
        << "delete from accounts_dep.fatigue"
        << "select count(*)::text from accounts_dep.fatigue";
    QTest::newRow("household entry deleted, changed elsewhere")
        << "household delete"
        << "update accounts_dep.fatigue set cnt=5"
        << "select cnt::text from accounts_dep.fatigue";
}

void MonthEndGuardsTest::staleSaveWritesNothing() {
    QFETCH(QString, action);
    QFETCH(QString, elsewhere);
    QFETCH(QString, left);
    const QString cells =
        "select string_agg(coalesce(d5, -1)::text, ',' order by id) from accounts_dep.h_tabel";
    const QString cellsBefore = scalar(cells).toString();
    bool editorClosed = false;
    if (action == "shift save") {
        testing::onModal([&](QDialog *d) {
            // The user corrects the record while the other workstation writes it.
            d->setResult(QDialog::Rejected);
            otherWrites(elsewhere);
            forms().Form11->Edit3->setText("12");
            forms().Form11->Edit6->setText("4");
            forms().Form11->Button1->click();
            editorClosed = d->result() == QDialog::Accepted;
            return d->result();
        });
        main->Button2->click();
    } else if (action == "shift delete") {
        otherWrites(elsewhere);
        testing::messages().answers = {true};
        main->Button3->click();
    } else if (action == "household save") {
        testing::onModal([&](QDialog *d) {
            d->setResult(QDialog::Rejected);
            otherWrites(elsewhere);
            forms().Form24->Edit6->setText("7");
            forms().Form24->Button1->click();
            editorClosed = d->result() == QDialog::Accepted;
            return d->result();
        });
        household->Button6->click();
    } else {
        otherWrites(elsewhere);
        testing::messages().answers = {true};
        household->Button7->click();
    }
    QCOMPARE(lastMessage(), kStaleRowMessage);
    QCOMPARE(testing::messages().shown.last().title, "Ошибка");
    // The editor stays open with what the user typed; nothing of the refused save was written.
    QVERIFY(!editorClosed);
    const QString expected = elsewhere.startsWith("delete") ? "0"
                             : elsewhere.contains("kol_vo") ? "55/6"
                                                            : "5";
    QCOMPARE(scalar(left).toString(), expected);
    QCOMPARE(scalar(cells).toString(), cellsBefore);
    // Once the list is read again, the save goes through.
    if (!elsewhere.startsWith("delete") && action == "shift save") {
        testing::messages().clear();
        showShiftSheet(march);
        testing::onModal([&](QDialog *d) {
            forms().Form11->Edit3->setText("12");
            forms().Form11->Button1->click();
            return d->result();
        });
        main->Button2->click();
        QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(lastMessage()));
        QCOMPARE(scalar(left).toString(), "12/6");
    }
}

void MonthEndGuardsTest::acceptanceOnAStaleList_data() {
    QTest::addColumn<QString>("elsewhere");
    QTest::addColumn<QString>("mark");         // after the refused double-click
    QTest::addColumn<QString>("afterRefresh"); // after "Обновить" and a double-click
    // Without the check the double-click would accept a quantity the user never saw...
    QTest::newRow("quantity changed elsewhere") << "update accounts_dep.smena set kol_vo=100"
                                                << "no"
                                                << "ok";
    // ... or flip a mark it no longer knows.
    QTest::newRow("accepted elsewhere") << "update accounts_dep.smena set ok='ok'"
                                        << "ok"
                                        << "no";
    QTest::newRow("deleted elsewhere") << "delete from accounts_dep.smena"
                                       << ""
                                       << "";
}

void MonthEndGuardsTest::acceptanceOnAStaleList() {
    QFETCH(QString, elsewhere);
    QFETCH(QString, mark);
    QFETCH(QString, afterRefresh);
    const QString markNow = "select coalesce(max(ok), '') from accounts_dep.smena";
    otherWrites(elsewhere);
    doubleClick();
    QCOMPARE(lastMessage(), kStaleRowMessage);
    QCOMPARE(scalar(markNow).toString(), mark);
    // "Обновить" reads the list again; then the double-click works on what it shows.
    testing::messages().clear();
    main->Button8->click();
    doubleClick();
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(scalar(markNow).toString(), afterRefresh);
}

void MonthEndGuardsTest::closedMonthRefusesTheWindows_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("add a shift record") << "add";
    QTest::newRow("save a record after the month was closed elsewhere") << "save after close";
    QTest::newRow("move an April record into March") << "move in";
    QTest::newRow("change a shift record") << "change";
    QTest::newRow("delete a shift record") << "delete";
    QTest::newRow("accept a shift record") << "accept";
    QTest::newRow("add a household entry") << "household add";
    QTest::newRow("change a household entry") << "household change";
    QTest::newRow("delete a household entry") << "household delete";
    QTest::newRow("recalculate the average piece rate") << "average rate";
    QTest::newRow("rebuild the shift rows") << "rebuild shifts";
    QTest::newRow("rebuild the household rows") << "rebuild household";
    // The product's records go with it: not while one of them lies in a closed month.
    QTest::newRow("delete a product with records") << "product delete";
}

void MonthEndGuardsTest::closedMonthRefusesTheWindows() {
    QFETCH(QString, action);
    const int aprilRecord = fixtures::record({petrov, cutting, april, 1, 3, 0, 2});
    bool editorShown = false;
    if (action == "save after close") {
        // This workstation still shows March open; another closes it while the editor is open.
        testing::onModal([&](QDialog *d) {
            editorShown = true;
            closeMonth(other->ADO_DB, 3, 2024, "7093");
            forms().Form11->Edit3->setText("12");
            forms().Form11->Button1->click();
            return d->result();
        });
        const QString before = snapshot();
        main->Button2->click();
        QVERIFY(editorShown);
        QCOMPARE(lastMessage(), kClosedMonthMessage);
        QCOMPARE(snapshot(), before);
        return;
    }
    if (action == "move in") {
        closeMonth(dm->ADO_DB, 3, 2024, "7093");
        showShiftSheet(april);
        QVERIFY(dm->Smena1.locate("id", aprilRecord));
        testing::onModal([&](QDialog *d) {
            forms().Form11->DTimeP->setDate(march);
            forms().Form11->Button1->click();
            return d->result();
        });
        const QString before = snapshot();
        main->Button2->click();
        QCOMPARE(lastMessage(), kClosedMonthMessage);
        QCOMPARE(snapshot(), before);
        return;
    }
    closeMonth(dm->ADO_DB, 3, 2024, "7093");
    const QString before = snapshot();
    // Editors must not even open: the user hears it before typing anything.
    testing::onModal([&](QDialog *d) {
        editorShown = true;
        return d->result();
    });
    testing::messages().answers = {true, true, true};
    if (action == "add")
        main->Button1->click();
    else if (action == "change")
        main->Button2->click();
    else if (action == "delete")
        main->Button3->click();
    else if (action == "accept")
        doubleClick();
    else if (action == "household add")
        household->Button5->click();
    else if (action == "household change")
        household->Button6->click();
    else if (action == "household delete")
        household->Button7->click();
    else if (action == "average rate")
        household->Button1->click();
    else if (action == "rebuild shifts") {
        forms().Form19->chooseMonth(march);
        forms().Form19->Button1->click();
    } else if (action == "rebuild household") {
        forms().Form27->prepare(TForm27::Household, march);
        forms().Form27->Button3->click();
    } else if (action == "product delete") {
        dm->Izdel.close();
        dm->Izdel.open();
        QVERIFY(dm->Izdel.locate("id", shelf));
        forms().Form3->Button3->click();
    }
    QVERIFY(!editorShown);
    // One refusal (a product delete asks its questions first).
    int errors = 0;
    for (const Message &m : testing::messages().shown)
        errors += m.kind == "error";
    QCOMPARE(errors, 1);
    QCOMPARE(lastMessage(), kClosedMonthMessage);
    QCOMPARE(testing::messages().shown.last().title, "Ошибка");
    QCOMPARE(snapshot(), before);
    // April stays open: the same kind of write goes through there.
    testing::messages().clear();
    showShiftSheet(april);
    doubleClick();
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(scalar(QString("select ok from accounts_dep.smena where id=%1").arg(aprilRecord)).toString(),
             "ok");
}

void MonthEndGuardsTest::closedMonthRefusesPlainSql_data() {
    QTest::addColumn<QString>("sql");
    QTest::newRow("insert a record")
        << "insert into accounts_dep.smena(data, smena, w_id, time) values ('2024-03-06', 1, 1, 8)";
    QTest::newRow("change a record") << "update accounts_dep.smena set kol_vo=1";
    QTest::newRow("accept a record") << "update accounts_dep.smena set ok='ok'";
    QTest::newRow("move a record out") << "update accounts_dep.smena set data='2024-04-01'";
    QTest::newRow("delete a record") << "delete from accounts_dep.smena";
    QTest::newRow("insert an entry")
        << "insert into accounts_dep.fatigue(id_o, id_p, d_date, i_mnth, i_year, cnt) "
           "values (7777, 1, '2024-03-06', 3, 2024, 1)";
    QTest::newRow("change an entry") << "update accounts_dep.fatigue set cnt=9";
    QTest::newRow("delete an entry") << "delete from accounts_dep.fatigue";
    QTest::newRow("insert a timesheet row")
        << "insert into accounts_dep.h_tabel(w_id, smena, month, year, d1) values (1, 2, 3, 2024, 8)";
    QTest::newRow("change a day cell") << "update accounts_dep.h_tabel set d5=1";
    QTest::newRow("delete timesheet rows") << "delete from accounts_dep.h_tabel";
}

void MonthEndGuardsTest::closedMonthRefusesPlainSql() {
    QFETCH(QString, sql);
    closeMonth(dm->ADO_DB, 3, 2024, "7093");
    const QString before = snapshot();
    QVERIFY(testing::psql("month_end_guards", sql) != 0);
    QCOMPARE(snapshot(), before);
    // Through the program's own driver the answer is the same message.
    try {
        other->ADO_DB.run(sql);
        QFAIL("the write went through");
    } catch (const DbError &e) {
        QCOMPARE(e.text(), kClosedMonthMessage);
    }
    QCOMPARE(snapshot(), before);
    // Opened again, the month takes the write.
    reopenMonth(dm->ADO_DB, 3, 2024);
    QCOMPARE(testing::psql("month_end_guards", sql), 0);
    QVERIFY(snapshot() != before);
}

void MonthEndGuardsTest::closingAndReopeningThroughTheWindow() {
    MonthClosingWindow &w = *forms().MonthClosing;
    const Session session{"7093", roleForLogin("7093"), QSysInfo::machineHostName()};
    // The menu offers last month: the one whose wages are paid now.
    w.prepare(MonthClosingWindow::Close, april.addDays(1), session);
    QCOMPARE(w.ComboBox1->currentText(), "Март");
    QCOMPARE(w.SpinYear->value(), 2024);
    QCOMPARE(w.LabelState->text(), "Месяц открыт");
    QVERIFY(w.Button1->isEnabled());
    // "No" closes nothing.
    testing::messages().answers = {false};
    w.Button1->click();
    QCOMPARE(scalar("select count(*) from accounts_dep.closed_month").toInt(), 0);
    testing::messages().answers = {true};
    w.Button1->click();
    // The role and the workstation are kept and shown, never the login text (the credential).
    const QString actor = "Администратор, " + QSysInfo::machineHostName();
    QCOMPARE(scalar("select closed_by from accounts_dep.closed_month where year=2024 and month=3").toString(),
             actor);
    QVERIFY(w.LabelState->text().startsWith("Месяц закрыт "));
    QVERIFY2(w.LabelState->text().endsWith("(" + actor + ")"), qPrintable(w.LabelState->text()));
    // Another month chosen by keyboard shows its own state.
    w.ComboBox1->setCurrentIndex(3);
    QCOMPARE(w.LabelState->text(), "Месяц открыт");
    QVERIFY(w.Button1->isEnabled());
    w.ComboBox1->setCurrentIndex(2);
    QVERIFY(!w.Button1->isEnabled());

    testing::messages().clear();
    doubleClick();
    QCOMPARE(lastMessage(), kClosedMonthMessage);

    // A month closed by an older build, which kept the login text, shows the login's role.
    closeMonth(dm->ADO_DB, 1, 2024, "7093");
    w.ComboBox1->setCurrentIndex(0);
    QVERIFY2(w.LabelState->text().endsWith("(Администратор)"), qPrintable(w.LabelState->text()));
    QVERIFY(!w.LabelState->text().contains("7093"));

    // Opening offers the latest closed month, whatever today is.
    w.prepare(MonthClosingWindow::Reopen, QDate(2025, 7, 1), session);
    QCOMPARE(w.windowTitle(), "Открыть месяц");
    QCOMPARE(w.ComboBox1->currentText(), "Март");
    QCOMPARE(w.SpinYear->value(), 2024);
    QVERIFY(w.Button1->isEnabled());
    testing::messages().answers = {true};
    w.Button1->click();
    QCOMPARE(w.LabelState->text(), "Месяц открыт");
    // Only March was opened.
    QCOMPARE(scalar("select string_agg(month::text, ',') from accounts_dep.closed_month").toString(), "1");
    testing::messages().clear();
    doubleClick();
    QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(lastMessage()));
    QCOMPARE(scalar("select ok from accounts_dep.smena").toString(), "ok");
}

void MonthEndGuardsTest::closedMonthIsShownAsBefore() {
    closeMonth(dm->ADO_DB, 3, 2024, "7093");
    // The day's sheet, the household list and both timesheets read a closed month as before.
    showShiftSheet(march);
    QCOMPARE(dm->Smena1.recordCount(), 1);
    showHousehold(march);
    QCOMPARE(household->fatigue.recordCount(), 1);
    TForm27 &monthly = *forms().Form27;
    monthly.prepare(TForm27::Piecework, march);
    QCOMPARE(monthly.CurrentView->recordCount(), 1);
    forms().Form19->chooseMonth(march);
    QCOMPARE(dm->H_Tabel_1.recordCount(), 1);
    QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(lastMessage()));
}

QTEST_MAIN(MonthEndGuardsTest)
#include "test_month_end_guards.moc"
