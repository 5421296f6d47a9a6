// The shared data module: decimal separators, the duplicate check, and the Dataset the windows
// browse (record numbers, locate, client-side filter).
#include "app/login_window.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "core/db_error.h"
#include "reports/change_history_window.h"
#include "shift/shift_record_editor.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "timesheet/household_work_list.h"
#include "ui/data_module.h"
#include "ui/dataset_model.h"
#include "ui/forms.h"

#include <QLineEdit>
#include <QTableView>
#include <QTest>

class DataModuleTest : public QObject {
    Q_OBJECT
    TDataModule6 *dm = nullptr;
private slots:
    void initTestCase();
    void replaceDecimalSeparator_data();
    void replaceDecimalSeparator();
    void checkDuplicate();
    void browseAndLocate();
    void filter_data();
    void filter();
    void gridFollowsCurrentRow();
    void reopenShowsNoStaleRows();
    void statementErrorCarriesDatabaseText();
    void shiftListsMatchWorkersBothWays();
    // Last: it ends the program's windows.
    void windowsGoInReverseOrderBeforeTheConnection();
};

void DataModuleTest::initTestCase() {
    testing::startProgram("data_module");
    dm = forms().DataModule6;
    for (const char *fio : {"Иванов И.И.", "иволгин П.П.", "О'Нил Д.", "Петров А.А.", "Яковлев С.С."})
        fixtures::worker(QString::fromUtf8(fio));
}

void DataModuleTest::replaceDecimalSeparator_data() {
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("comma to point") << "."
                                    << "12,5"
                                    << "12.5";
    QTest::newRow("point to comma") << ","
                                    << "12.5"
                                    << "12,5";
    // Only the first separator is replaced, and a comma wins over a point.
    QTest::newRow("only the comma") << "."
                                    << "1,2.5"
                                    << "1.2.5";
    QTest::newRow("only the first comma") << "."
                                          << "1,2,5"
                                          << "1.2,5";
    QTest::newRow("no separator") << "."
                                  << "12"
                                  << "12";
    // An empty delimiter removes the separator.
    QTest::newRow("empty delimiter") << ""
                                     << "12,5"
                                     << "125";
}

void DataModuleTest::replaceDecimalSeparator() {
    QFETCH(QString, delimiter);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString saved = dm->Delimiter;
    dm->Delimiter = delimiter;
    QCOMPARE(dm->ReplaceDecimalSeparator(text), expected);
    dm->Delimiter = saved;
}

void DataModuleTest::checkDuplicate() {
    auto &msgs = testing::messages();
    msgs.clear();
    QVERIFY(!dm->CheckDuplicate("select count(id) as cnt from accounts_dep.person where fio='Никто'",
                                "Позиция с такими параметрами уже заведена!"));
    QVERIFY(msgs.shown.isEmpty());
    QVERIFY(!dm->Control.isOpen());

    QVERIFY(dm->CheckDuplicate("select count(id) as cnt from accounts_dep.person where fio='О''Нил Д.'",
                               "Позиция с такими параметрами уже заведена!"));
    QCOMPARE(msgs.shown.size(), 1);
    QCOMPARE(msgs.shown[0].kind, "error");
    QCOMPARE(msgs.shown[0].title, "Ошибка");
    QCOMPARE(msgs.shown[0].text, "Позиция с такими параметрами уже заведена!");
    QVERIFY(!dm->Control.isOpen());
}

void DataModuleTest::browseAndLocate() {
    Dataset &w = dm->Workers;
    w.close();
    w.open();
    QCOMPARE(w.recordCount(), 5);
    QCOMPARE(w.recNo(), 1);
    w.moveTo(4);
    QCOMPARE(w.recNo(), 4);
    w.moveTo(99);
    QCOMPARE(w.recNo(), 5);
    w.next();
    QVERIFY(w.eof());
    QVERIFY(w.locate("FIO", "о'нил д."));
    QCOMPARE(w.text("fio"), "О'Нил Д.");
    QVERIFY(!w.locate("fio", "Никто"));
    QCOMPARE(w.text("fio"), "О'Нил Д.");
    w.close();
    QVERIFY(w.isEmpty());
    QVERIFY(w.value("fio").isNull());
}

void DataModuleTest::filter_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("prefix ignores case") << "fio like 'ив%'" << QStringList{"Иванов И.И.", "иволгин П.П."};
    QTest::newRow("apostrophe") << "fio like 'о''н%'" << QStringList{"О'Нил Д."};
    QTest::newRow("contains") << "fio like '%ов%'"
                              << QStringList{"Иванов И.И.", "Петров А.А.", "Яковлев С.С."};
    QTest::newRow("equal") << "fio='петров а.а.'" << QStringList{"Петров А.А."};
    QTest::newRow("empty filter shows all")
        << "" << QStringList{"Иванов И.И.", "иволгин П.П.", "О'Нил Д.", "Петров А.А.", "Яковлев С.С."};
    QTest::newRow("nothing") << "fio like 'Щ%'" << QStringList{};
}

void DataModuleTest::filter() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    Dataset &w = dm->Workers;
    w.close();
    w.setFilter(filter);
    w.setFiltered(true);
    w.open();
    QStringList names;
    for (w.first(); !w.eof(); w.next())
        names << w.text("fio");
    names.sort(Qt::CaseInsensitive);
    QStringList sorted = expected;
    sorted.sort(Qt::CaseInsensitive);
    QCOMPARE(names, sorted);
    w.setFiltered(false);
    QCOMPARE(w.recordCount(), 5);
    w.close();
}

void DataModuleTest::gridFollowsCurrentRow() {
    Dataset &w = dm->Workers;
    w.open();
    DatasetModel model(&w, {{"fio", "ФИО", 200}, {"id", "id", 50, Qt::AlignRight, false}});
    QTableView view;
    model.attach(&view);
    QVERIFY(view.isColumnHidden(1));
    QCOMPARE(view.columnWidth(0), 200);
    w.moveTo(3);
    QCOMPARE(view.currentIndex().row(), 2);
    view.selectRow(1);
    QCOMPARE(w.recNo(), 2);
    QCOMPARE(model.index(1, 0).data().toString(), w.text("fio"));
    // Tab leaves the read-only grid for the next control.
    QWidget window;
    view.setParent(&window);
    auto *next = new QLineEdit(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_Tab);
    QVERIFY(next->hasFocus());
    view.setParent(nullptr);
    w.close();
    QCOMPARE(model.rowCount(), 0);
}

void DataModuleTest::reopenShowsNoStaleRows() {
    Dataset &w = dm->Workers;
    w.open();
    const int before = w.recordCount();
    fixtures::exec("delete from accounts_dep.person where fio='Яковлев С.С.'");
    w.moveTo(before);
    w.reopenKeepingPlace();
    QCOMPARE(w.recordCount(), before - 1);
    QCOMPARE(w.recNo(), before - 1);
    QVERIFY(!w.locate("fio", "Яковлев С.С."));
    w.close();
}

void DataModuleTest::statementErrorCarriesDatabaseText() {
    try {
        dm->lookup("select nothing_here from accounts_dep.person", "x");
        QFAIL("no error raised");
    } catch (const DbError &e) {
        QVERIFY2(e.text().contains("nothing_here"), qPrintable(e.text()));
        QVERIFY(!e.connectionLost());
    }
    // The connection is still usable.
    QCOMPARE(fixtures::scalar("select 1").toInt(), 1);
}

void DataModuleTest::shiftListsMatchWorkersBothWays() {
    // A record's worker is the person with its id or the person whose code is its id; a record
    // matched by two persons shows under each of them.
    const QDate day(2024, 3, 5);
    const int cut = fixtures::priceRow(fixtures::product("СТ-1"), fixtures::operationType("Резка"), 0, 10);
    const int weld = fixtures::priceRow(fixtures::product("АА-2"), fixtures::operationType("Сварка"), 1, 10);
    const int byBoth = fixtures::scalar("select id from accounts_dep.person where fio='Петров А.А.'").toInt();
    fixtures::exec(
        "insert into cmn_contractor.person(id, s_caption, s_code) values (777777, 'Кодов К.К.', '50000')");
    fixtures::exec(
        "insert into cmn_contractor.person(id, s_caption, s_code) values (60000, 'Двоев Д.Д.', '990001'), "
        "(888888, 'Вторых В.В.', '60000')");
    for (int shift : {1, 3}) {
        for (int worker : {byBoth, 50000, 60000, 70000}) {
            fixtures::record({.worker = worker, .priceRow = cut, .date = day, .shift = shift});
            fixtures::record({.worker = worker, .priceRow = weld, .date = day, .shift = shift, .color = 5});
        }
    }
    fixtures::record({.worker = 50000, .priceRow = cut, .date = day, .shift = 1, .ok = QString()});
    for (int n : {1, 3}) {
        Dataset &list = dm->shiftQuery(n);
        list.close();
        list.setParam("data", day);
        list.setParam("ok", "ta");
        list.open();
        QStringList seen;
        for (list.first(); !list.eof(); list.next())
            seen << list.text("fio");
        QCOMPARE(seen, (QStringList{"Вторых В.В.", "Вторых В.В.", "Двоев Д.Д.", "Двоев Д.Д.", "Кодов К.К.",
                                    "Кодов К.К.", "Петров А.А.", "Петров А.А."}));
        if (n == 1) {
            // Shift 1 orders within a worker by mark, operation, kind and colour.
            list.first();
            QCOMPARE(list.text("marka"), "АА-2");
        }
        list.close();
    }
}

void DataModuleTest::windowsGoInReverseOrderBeforeTheConnection() {
    Forms &f = forms();
    QStringList gone;
    const std::pair<QObject *, QString> watched[] = {
        {f.Form1, "main"},       {f.Form23, "login"},          {f.Form11, "editor"},
        {f.Form25, "household"}, {f.ChangeHistory, "history"}, {f.DataModule6, "data module"}};
    for (const auto &[object, name] : watched)
        connect(object, &QObject::destroyed, this, [&gone, name = name] { gone << name; });
    destroyForms();
    QCOMPARE(gone, (QStringList{"history", "household", "editor", "login", "main", "data module"}));
    QVERIFY(!forms().Form1 && !forms().DataModule6);
}

QTEST_MAIN(DataModuleTest)
#include "test_data_module.moc"
