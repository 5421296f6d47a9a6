// The timesheet by time: day columns inside and outside the month, weekend and hour looks, month
// bounds, the rebuild agreeing with the editors' cells, the printed timesheet (its header on every
// page, and with no rows) and the export read back.
#include "core/db_error.h"
#include "reports/engine/report_engine.h"
#include "reports/printed_timesheet.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "support/workbook_reader.h"
#include "timesheet/day_cells.h"
#include "timesheet/timesheet_by_time.h"
#include "ui/data_module.h"
#include "ui/forms.h"

#include <QComboBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using fixtures::exec;

class TimesheetByTimeTest : public QObject {
    Q_OBJECT
    TForm19 *window = nullptr;
    int cut = 0;
    testing::ExportDesk desk;

    QAbstractItemModel *grid(int shift) const {
        return (shift == 1 ? window->DBGrid1 : shift == 2 ? window->DBGrid2 : window->DBGrid3)->model();
    }
    void record(int worker, const QDate &day, int hours, int shift = 1) {
        fixtures::record({.worker = worker,
                          .priceRow = cut,
                          .date = day,
                          .shift = shift,
                          .hours = hours,
                          .color = int(exec_counter++)});
        RewriteDayCell(*forms().DataModule6, TimesheetKey::shiftRow(worker, shift), day, DayCellWrite::Store);
    }
    int exec_counter = 1;

private slots:
    void initTestCase();
    void init();
    void dayColumns_data();
    void dayColumns();
    void weekendsAndHours();
    void decemberBounds();
    void rebuildAgreesWithTheEditors();
    void printedTimesheet();
    void exportReadBack();
};

void TimesheetByTimeTest::initTestCase() {
    testing::startProgram("timesheet_by_time");
    window = forms().Form19;
    cut = fixtures::priceRow(fixtures::product("СТ-1"), fixtures::operationType("Резка"), 0, 10);
}

void TimesheetByTimeTest::init() {
    exec("delete from accounts_dep.smena");
    exec("delete from accounts_dep.h_tabel");
    testing::messages().clear();
}

void TimesheetByTimeTest::dayColumns_data() {
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("days");
    QTest::newRow("February 2023") << QDate(2023, 2, 10) << 28;
    QTest::newRow("February 2024") << QDate(2024, 2, 10) << 29;
    QTest::newRow("April") << QDate(2024, 4, 10) << 30;
}

void TimesheetByTimeTest::dayColumns() {
    QFETCH(QDate, day);
    QFETCH(int, days);
    const int worker = fixtures::worker("Иванов И.И.");
    record(worker, QDate(day.year(), day.month(), 1), 8);
    window->chooseMonth(day);
    QAbstractItemModel *m = grid(1);
    QCOMPARE(m->rowCount(), 1);
    const QColor base = window->DBGrid1->palette().color(QPalette::Base);
    for (int d = days + 1; d <= 31; ++d) {
        // Outside the month: a silver title, texts in the background colour.
        QCOMPARE(m->headerData(d, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
                 QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(m->index(0, d).data(Qt::ForegroundRole).value<QColor>(), base);
    }
    const QVariant lastTitle = m->headerData(days, Qt::Horizontal, Qt::ForegroundRole);
    QVERIFY(!lastTitle.isValid() || lastTitle.value<QColor>() == QColor(Qt::red));
}

void TimesheetByTimeTest::weekendsAndHours() {
    // 1 March 2024 was a Friday.
    const int worker = fixtures::worker("Иванов И.И.");
    record(worker, QDate(2024, 3, 2), 0); // a weekend 0
    record(worker, QDate(2024, 3, 4), 0); // a weekday 0
    record(worker, QDate(2024, 3, 5), 8);
    record(worker, QDate(2024, 3, 6), 10);
    record(worker, QDate(2024, 3, 7), 4);
    window->chooseMonth(QDate(2024, 3, 1));
    QAbstractItemModel *m = grid(1);
    QList<int> red;
    for (int d = 1; d <= 31; ++d)
        if (m->headerData(d, Qt::Horizontal, Qt::ForegroundRole).value<QColor>() == QColor(Qt::red))
            red << d;
    QCOMPARE(red, (QList<int>{2, 3, 9, 10, 16, 17, 23, 24, 30, 31}));
    auto cell = [&](int d, int role) { return m->index(0, d).data(role); };
    QCOMPARE(cell(2, Qt::ForegroundRole).value<QColor>(), QColor(Qt::red)); // a 0 stays red there
    QCOMPARE(cell(4, Qt::ForegroundRole).value<QColor>(), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(cell(1, Qt::ForegroundRole).value<QColor>(), QColor(0xC0, 0xC0, 0xC0)); // empty counts as 0
    QVERIFY(cell(5, Qt::FontRole).value<QFont>().bold());
    QVERIFY(!cell(5, Qt::BackgroundRole).isValid());
    QVERIFY(cell(6, Qt::FontRole).value<QFont>().bold());
    QCOMPARE(cell(6, Qt::BackgroundRole).value<QColor>(), QColor(192, 220, 192));
    QVERIFY(!cell(7, Qt::FontRole).isValid());
    QVERIFY(!cell(7, Qt::ForegroundRole).isValid());
    QCOMPARE(cell(32, Qt::DisplayRole).toString(), "22");
}

void TimesheetByTimeTest::decemberBounds() {
    const int worker = fixtures::worker("Петров П.П.");
    record(worker, QDate(2024, 12, 31), 8, 2);
    record(worker, QDate(2025, 1, 1), 8, 2);
    window->chooseMonth(QDate(2024, 12, 15));
    QCOMPARE(window->ComboBox2->currentText(), "2024");
    QCOMPARE(grid(2)->rowCount(), 1);
    QCOMPARE(grid(2)->index(0, 31).data().toString(), "8");
    QCOMPARE(grid(2)->index(0, 32).data().toString(), "8");
    // A year the list lacks is found all the same.
    window->chooseMonth(QDate(2040, 1, 10));
    QCOMPARE(window->ComboBox2->currentText(), "2040");
    QCOMPARE(window->ComboBox2->itemText(0), "2007");
}

void TimesheetByTimeTest::rebuildAgreesWithTheEditors() {
    const int a = fixtures::worker("Алексеев А.А."), b = fixtures::worker("Борисов Б.Б.");
    for (int d = 1; d <= 30; d += 3) {
        record(a, QDate(2024, 4, d), 1 + d % 9, 1 + (d / 3) % 3);
        record(b, QDate(2024, 4, d), 8, 1);
        record(b, QDate(2024, 4, d), 3, 1);
    }
    window->chooseMonth(QDate(2024, 4, 1));
    auto shown = [&] {
        QStringList out;
        for (int shift = 1; shift <= 3; ++shift)
            for (int r = 0; r < grid(shift)->rowCount(); ++r) {
                QStringList line{QString::number(shift)};
                for (int c = 0; c < grid(shift)->columnCount(); ++c)
                    line << grid(shift)->index(r, c).data().toString();
                out << line.join('|');
            }
        return out;
    };
    const QStringList editors = shown();
    QVERIFY(editors.size() >= 3);
    exec("update accounts_dep.h_tabel set d4=99");
    window->Button1->click();
    QVERIFY(window->PB->isHidden());
    QCOMPARE(shown(), editors);

    // The rebuild goes through, then reading the lists again loses the connection (on the retry
    // too): the clerk hears that it is done and the lists are not refreshed, not an empty grid.
    exec("update accounts_dep.h_tabel set d4=99");
    Dataset &first = forms().DataModule6->H_Tabel_1;
    const QString sql = first.sqlText();
    first.setSql({"select * from (" + sql + ") x where pg_terminate_backend(pg_backend_pid())"});
    window->Button1->click();
    first.setSql(sql.split('\n'));
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].text, kSavedListNotRefreshedMessage);
    QCOMPARE(fixtures::scalar("select count(*) from accounts_dep.h_tabel where d4=99").toInt(), 0);
}

void TimesheetByTimeTest::printedTimesheet() {
    // 45 workers do not fit on one landscape page: the day numbers head every page.
    for (int i = 1; i <= 45; ++i)
        record(fixtures::worker(QString("Работник %1").arg(i, 2, 10, QChar('0'))), QDate(2024, 3, 4), 8);
    exec("insert into accounts_dep.h_tabel(i_type, w_id, i_night, month, year, d4) select 7777, w_id, 0, 3, "
         "2024, 2 "
         "from accounts_dep.h_tabel where month=3 and year=2024 limit 1");
    window->chooseMonth(QDate(2024, 3, 1));
    window->H_Tabel.setParam("mnth", 3);
    window->H_Tabel.setParam("yea", 2024);
    window->H_Tabel.open();
    const PreparedReport report = prepareReport(TForm15::layout("Март 2024 г."), window->H_Tabel);
    window->H_Tabel.close();
    QVERIFY(report.landscape);
    QVERIFY(report.pageCount() >= 2);
    const QString path = desk.home.filePath("timesheet.pdf");
    QVERIFY(saveReportPdf(report, path));
    QProcess p;
    p.start("pdftotext", {path, "-"});
    p.waitForFinished();
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QCOMPARE(int(text.count("Март 2024 г.")), report.pageCount());
    QVERIFY(text.contains("Работник 45"));
    // Household hours are printed too: 8 + 2 for the first worker.
    QStringList all;
    for (int page = 0; page < report.pageCount(); ++page)
        all << report.texts(page);
    QVERIFY(all.contains("10"));
    // No rows: one page with the header.
    exec("delete from accounts_dep.h_tabel");
    window->H_Tabel.open();
    const PreparedReport empty = prepareReport(TForm15::layout("Март 2024 г."), window->H_Tabel);
    window->H_Tabel.close();
    QCOMPARE(empty.pageCount(), 1);
    QVERIFY(empty.texts(0).contains("31"));
    QVERIFY(empty.texts(0).contains("Итого"));
}

void TimesheetByTimeTest::exportReadBack() {
    const int busy = fixtures::worker("Алексеев А.А.");
    const int idle = fixtures::worker("Яковлев Я.Я.");
    record(busy, QDate(2024, 3, 4), 8);
    exec(QString("insert into accounts_dep.h_tabel(smena, w_id, month, year) values (1, %1, 3, 2024)")
             .arg(idle));
    window->chooseMonth(QDate(2024, 3, 1));
    desk.viewer.opened.clear();
    window->Button2->click();
    QCOMPARE(desk.viewer.opened.size(), 1);
    const WorkbookContents book = readWorkbook(desk.viewer.opened[0]);
    QVERIFY(book.ok);
    QCOMPARE(book.cell(1, 1).text, "Март 2024");
    QCOMPARE(book.cell(2, 33).text, "Итого");
    QCOMPARE(book.cell(3, 1).text, "Алексеев А.А.");
    QCOMPARE(book.cell(3, 5).text, "8");
    QCOMPARE(book.cell(3, 33).text, "8");
    QCOMPARE(book.cell(4, 1).text, "Яковлев Я.Я.");
    QVERIFY(book.cell(4, 5).text.isEmpty());
    QCOMPARE(book.cell(4, 33).text, "0"); // written also when all days are empty
    QCOMPARE(window->Button2->text(), "Excel (2 из 2)");
}

QTEST_MAIN(TimesheetByTimeTest)
#include "test_timesheet_by_time.moc"
