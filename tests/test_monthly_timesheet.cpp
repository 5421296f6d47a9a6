// The monthly timesheet window in its four modes: day columns and widths of a month, weekends in
// red, the lines with their hours and money, the shop's totals, the year box, the household
// rebuild, the menu launch and the export read back.
#include "app/main_window.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "support/workbook_reader.h"
#include "timesheet/day_cells.h"
#include "timesheet/month_rebuild.h"
#include "timesheet/monthly_timesheet.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/guard.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using fixtures::exec;
using fixtures::scalar;

class MonthlyTimesheetTest : public QObject {
    Q_OBJECT
    TForm27 *window = nullptr;
    int ivanov = 0, petrov = 0, cut = 0;
    qint64 shelves = 0;
    testing::ExportDesk desk;

    void household(int worker, int type, const QDate &d, int hours, double price, int night) {
        fixtures::entry({.worker = worker,
                         .group = shelves,
                         .type = type,
                         .date = d,
                         .hours = hours,
                         .price = price,
                         .night = night});
    }
    QString cell(int row, const QString &field) const {
        QAbstractItemModel *m = window->DBGrid->model();
        for (int c = 0; c < m->columnCount(); ++c)
            if (m->headerData(c, Qt::Horizontal, Qt::AccessibleTextRole).toString() == field)
                return m->index(row, c).data().toString();
        return "?";
    }
    // A worked March 2024: Иванов with shift records in shifts 1 and 3 and household entries by
    // day and night; Петров with piecework only; the rows rebuilt as the office would.
    void workedMarch() {
        const QDate d5(2024, 3, 5), d6(2024, 3, 6);
        fixtures::record({.worker = ivanov,
                          .priceRow = cut,
                          .date = d5,
                          .shift = 1,
                          .quantity = 10,
                          .hours = 8,
                          .price = 10});
        fixtures::record({.worker = ivanov,
                          .priceRow = cut,
                          .date = d5,
                          .shift = 3,
                          .quantity = 5,
                          .hours = 2,
                          .price = 12});
        // 3 good pieces at 1.005: 3.015, which is 3.02 to the cent.
        fixtures::record({.worker = petrov,
                          .priceRow = cut,
                          .date = d6,
                          .quantity = 4,
                          .defects = 1,
                          .hours = 8,
                          .price = 1.005});
        household(ivanov, 7777, d6, 4, 150, 0);
        household(ivanov, 7777, d6, 2, 180, 1);
        household(ivanov, 7778, d6, 3, 49.25, 0);
        RebuildShiftRows(*forms().DataModule6, 3, 2024, nullptr);
        RebuildHouseholdRows(*forms().DataModule6, 3, 2024, nullptr);
    }

private slots:
    void initTestCase();
    void init();
    void dayColumnsAndWidths_data();
    void dayColumnsAndWidths();
    void weekendsInRed();
    void linesOfEachMode_data();
    void linesOfEachMode();
    void totals();
    void sumsPastTheViewSayTheMonth_data();
    void sumsPastTheViewSayTheMonth();
    void yearBoxOffersTheCurrentYear();
    void rebuildButton();
    void missingShiftRowsAreSaid();
    void menuLaunch();
    void exportReadBack_data();
    void exportReadBack();
};

void MonthlyTimesheetTest::initTestCase() {
    testing::startProgram("monthly_timesheet");
    window = forms().Form27;
    ivanov = fixtures::worker("Иванов И.И.");
    petrov = fixtures::worker("Петров П.П.");
    shelves = fixtures::group("Стеллажи");
    cut = fixtures::priceRow(fixtures::product("СТ-1", shelves), fixtures::operationType("Резка"), 0, 10);
}

void MonthlyTimesheetTest::init() {
    testing::messages().clear();
    exec("delete from accounts_dep.smena");
    exec("delete from accounts_dep.fatigue");
    exec("delete from accounts_dep.h_tabel");
    testing::setToday(QDate(2024, 3, 20));
}

void MonthlyTimesheetTest::dayColumnsAndWidths_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("nameWidth");
    QTest::addColumn<bool>("nightShown");
    QTest::addColumn<bool>("perHourShown");
    // The name column takes up the hidden columns: 20 for each missing day, 30 for the night flag,
    // 66 for the per-hour column.
    QTest::newRow("piecework, April")
        << int(TForm27::Piecework) << QDate(2024, 4, 10) << 30 << 238 + 20 << false << true;
    QTest::newRow("household, February 2024")
        << int(TForm27::Household) << QDate(2024, 2, 10) << 29 << 208 + 40 << true << true;
    QTest::newRow("average piece, February 2023")
        << int(TForm27::AveragePiece) << QDate(2023, 2, 10) << 28 << 208 + 60 << true << true;
    QTest::newRow("overall, March") << int(TForm27::Overall) << QDate(2024, 3, 10) << 31 << 304 << false
                                    << false;
}

void MonthlyTimesheetTest::dayColumnsAndWidths() {
    QFETCH(int, mode);
    QFETCH(QDate, day);
    QFETCH(int, days);
    QFETCH(int, nameWidth);
    QFETCH(bool, nightShown);
    QFETCH(bool, perHourShown);
    window->prepare(TForm27::Mode(mode), day);
    // What the user sees once the window is up.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    for (int d = 1; d <= 31; ++d)
        QCOMPARE(window->DBGrid->isColumnHidden(1 + d), d > days);
    QCOMPARE(window->DBGrid->columnWidth(0), nameWidth);
    QCOMPARE(!window->DBGrid->isColumnHidden(1), nightShown);
    QCOMPARE(!window->DBGrid->isColumnHidden(35), perHourShown);
    // Back to a 31-day month: every day, the base width.
    window->ComboBox1->setCurrentIndex(0);
    QCOMPARE(window->DBGrid->isColumnHidden(32), false);
    QCOMPARE(window->DBGrid->columnWidth(0), nameWidth - 20 * (31 - days));
    window->hide();
    window->CurrentView->close();
}

void MonthlyTimesheetTest::weekendsInRed() {
    // 1 March 2024 was a Friday.
    window->prepare(TForm27::Piecework, QDate(2024, 3, 1));
    fixtures::record({.worker = ivanov, .priceRow = cut, .date = QDate(2024, 3, 2), .hours = 0});
    RebuildShiftRows(*forms().DataModule6, 3, 2024, nullptr);
    window->Button5Click();
    QAbstractItemModel *m = window->DBGrid->model();
    QList<int> red;
    for (int d = 1; d <= 31; ++d) {
        const QVariant title = m->headerData(1 + d, Qt::Horizontal, Qt::ForegroundRole);
        const QVariant body = m->index(0, 1 + d).data(Qt::ForegroundRole);
        QCOMPARE(title.isValid(), body.isValid());
        if (title.isValid()) {
            QCOMPARE(title.value<QColor>(), QColor(Qt::red));
            red << d;
        }
    }
    QCOMPARE(red, (QList<int>{2, 3, 9, 10, 16, 17, 23, 24, 30, 31}));
    // A 0 on a weekend stays red.
    QCOMPARE(m->index(0, 3).data().toString(), "0");
    QCOMPARE(m->index(0, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    // The three totals are bold on their own background.
    QCOMPARE(m->index(0, 34).data(Qt::BackgroundRole).value<QColor>(), QColor(225, 228, 255));
    QVERIFY(m->index(0, 33).data(Qt::FontRole).value<QFont>().bold());
    window->CurrentView->close();
}

void MonthlyTimesheetTest::linesOfEachMode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("lines"); // fio | night | d5 | d6 | hours | money | per hour
    QTest::newRow("piecework: all shifts of a worker on one line")
        << int(TForm27::Piecework)
        << QStringList{"Иванов И.И.||10||10|160.00|16.00", "Петров П.П.|||8|8|3.02|0.38"};
    QTest::newRow("household: day and night lines")
        << int(TForm27::Household)
        << QStringList{"Иванов И.И.|дн.||4|4|600.00|150.00", "Иванов И.И.|ноч.||2|2|360.00|180.00"};
    QTest::newRow("average piece") << int(TForm27::AveragePiece)
                                   << QStringList{"Иванов И.И.|дн.||3|3|147.75|49.25"};
    // Overall: every row of a worker, hours and money of both sources, no per-hour value.
    QTest::newRow("overall") << int(TForm27::Overall)
                             << QStringList{"Иванов И.И.||10|9|19|1267.75|", "Петров П.П.|||8|8|3.02|"};
}

void MonthlyTimesheetTest::linesOfEachMode() {
    QFETCH(int, mode);
    QFETCH(QStringList, lines);
    workedMarch();
    window->prepare(TForm27::Mode(mode), QDate(2024, 3, 20));
    QStringList seen;
    for (int r = 0; r < window->DBGrid->model()->rowCount(); ++r)
        seen << QStringList{cell(r, "Фамилия И. О."), cell(r, " "),          cell(r, "5"),       cell(r, "6"),
                            cell(r, "Итого (ч.)"),    cell(r, "Итого (р.)"), cell(r, "Час (р.)")}
                    .join('|');
    // Lines come by name; a worker's day and night lines in either order.
    seen.sort();
    lines.sort();
    QCOMPARE(seen, lines);
    window->CurrentView->close();
}

void MonthlyTimesheetTest::totals() {
    workedMarch();
    window->prepare(TForm27::Overall, QDate(2024, 3, 20));
    QCOMPARE(window->Label->text(), "163.02");  // 100 + 60 + 3.015
    QCOMPARE(window->Label7->text(), "960.00"); // 600 + 360, money always with two decimals
    QCOMPARE(window->Label8->text(), "147.75"); // 3 x 49.25
    QCOMPARE(window->LabelAll->text(), "1270.77");
    // A month with piecework only: "Итого:" is "Сделка:", the other two are empty.
    exec("delete from accounts_dep.fatigue");
    window->ComboBox1->setCurrentIndex(1);
    window->ComboBox1->setCurrentIndex(2);
    QCOMPARE(window->LabelAll->text(), window->Label->text());
    QVERIFY(window->Label7->text().isEmpty());
    QVERIFY(window->Label8->text().isEmpty());
    // December reaches up to, not into, January.
    fixtures::record(
        {.worker = petrov, .priceRow = cut, .date = QDate(2024, 12, 31), .quantity = 2, .price = 10});
    fixtures::record(
        {.worker = petrov, .priceRow = cut, .date = QDate(2025, 1, 1), .quantity = 5, .price = 10});
    window->prepare(TForm27::Piecework, QDate(2024, 12, 1));
    QCOMPARE(window->Label->text(), "20.00");
    window->CurrentView->close();
}

void MonthlyTimesheetTest::sumsPastTheViewSayTheMonth_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("piecework") << int(TForm27::Piecework);
    QTest::newRow("overall") << int(TForm27::Overall);
}

// A record written around the program's bounds (999,999,999 pieces, 17,489,999,982.51 of pay)
// makes the month's sums too big for the view: the clerk reads which month, in Russian, not the
// server's words.
void MonthlyTimesheetTest::sumsPastTheViewSayTheMonth() {
    QFETCH(int, mode);
    fixtures::record({.worker = petrov,
                      .priceRow = cut,
                      .date = QDate(2024, 4, 3),
                      .quantity = 999999999,
                      .price = 17.49});
    RewriteDayCell(*forms().DataModule6, TimesheetKey::shiftRow(petrov, 1), QDate(2024, 4, 3),
                   DayCellWrite::Store);
    testing::messages().clear();
    runGuarded([&] { window->prepare(TForm27::Mode(mode), QDate(2024, 4, 10)); });
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].text,
             "Табель за Апрель 2024 не может быть рассчитан: суммы записей месяца больше, чем помещается в "
             "табель. Проверьте записи месяца с очень большим количеством или ценой.");
    exec("delete from accounts_dep.smena where kol_vo=999999999");
    window->CurrentView->close();
}

void MonthlyTimesheetTest::yearBoxOffersTheCurrentYear() {
    exec("insert into accounts_dep.h_tabel(smena, w_id, month, year, d1) values (1, 1, 1, 2019, 8)");
    window->prepare(TForm27::Household, QDate(2026, 1, 15));
    QStringList years;
    for (int i = 0; i < window->cb_year->count(); ++i)
        years << window->cb_year->itemText(i);
    QCOMPARE(years, (QStringList{"2019", "2026"}));
    QCOMPARE(window->cb_year->currentText(), "2026");
    // A new year's rebuild works.
    household(ivanov, 7777, QDate(2026, 1, 5), 4, 150, 0);
    window->Button3->click();
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].kind, "info"); // what was rebuilt, not an error
    QCOMPARE(window->CurrentView->recordCount(), 1);
    window->CurrentView->close();
}

void MonthlyTimesheetTest::rebuildButton() {
    workedMarch();
    exec("update accounts_dep.h_tabel set d6=99 where smena=0");
    exec("update accounts_dep.h_tabel set d5=77 where smena=1");
    window->prepare(TForm27::Household, QDate(2024, 3, 20));
    testing::messages().clear();
    window->Button3->click();
    QVERIFY(window->PB->isHidden());
    QCOMPARE(window->PB->maximum(), 31);
    QCOMPARE(cell(0, "6"), "4");
    // Shift rows are not the household rebuild's business, and the clerk is told where they are.
    QCOMPARE(scalar("select d5 from accounts_dep.h_tabel where smena=1").toInt(), 77);
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].kind, "info");
    QCOMPARE(testing::messages().shown[0].text,
             "Перестроены строки хоз. работ за Март 2024. Строки смен "
             "перестраиваются в окне «Табель по времени» (кнопка «Перестроить»).");
    window->CurrentView->close();
}

// "Табель сделка" counts in its footer every record of the month, its grid the workers with a
// shift row: when rows are missing, the window says how many workers and how to repair it.
void MonthlyTimesheetTest::missingShiftRowsAreSaid() {
    workedMarch();
    window->prepare(TForm27::Piecework, QDate(2024, 3, 20));
    QVERIFY(window->LabelMissing->isHidden());
    // Петров's shift row is lost: his money stays in the footer, his line is gone.
    exec(QString("delete from accounts_dep.h_tabel where w_id=%1").arg(petrov));
    window->Button5->click();
    window->ComboBox1->setCurrentIndex(3);
    window->ComboBox1->setCurrentIndex(2);
    QVERIFY(!window->LabelMissing->isHidden());
    QCOMPARE(window->LabelMissing->text(),
             "В сумме «Сделка» учтены записи смен работников без строки табеля (1): их нет в списке. "
             "Перестройте месяц в окне «Табель по времени» (кнопка «Перестроить»).");
    QCOMPARE(window->LabelMissing->accessibleName(), window->LabelMissing->text());
    // Other modes do not show the piecework footer's note.
    window->prepare(TForm27::Household, QDate(2024, 3, 20));
    QVERIFY(window->LabelMissing->isHidden());
    window->CurrentView->close();
}

void MonthlyTimesheetTest::menuLaunch() {
    workedMarch();
    TForm1 &main = *forms().Form1;
    QString caption;
    int tag = 0, rows = -1;
    testing::onModal([&](QDialog *d) {
        caption = d->windowTitle();
        tag = window->Tag;
        rows = window->DBGrid->model()->rowCount();
        return int(QDialog::Rejected);
    });
    main.N15->trigger();
    QCOMPARE(caption, "Табель ср. сдельная (27)");
    QCOMPARE(tag, 15);
    QCOMPARE(rows, 1);
    QVERIFY(!window->CurrentView->isOpen());
    QVERIFY(!window->q_year.isOpen());
}

void MonthlyTimesheetTest::exportReadBack_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("night");
    QTest::addColumn<bool>("perHour");
    QTest::newRow("piecework") << int(TForm27::Piecework) << false << true;
    QTest::newRow("household") << int(TForm27::Household) << true << true;
    QTest::newRow("overall") << int(TForm27::Overall) << false << false;
}

void MonthlyTimesheetTest::exportReadBack() {
    QFETCH(int, mode);
    QFETCH(bool, night);
    QFETCH(bool, perHour);
    workedMarch();
    window->prepare(TForm27::Mode(mode), QDate(2024, 3, 20));
    desk.viewer.opened.clear();
    window->CurrentView->moveTo(window->CurrentView->recordCount());
    const int place = window->CurrentView->recNo();
    // While the export runs (it lets the event loop turn) the window takes no clicks or keys.
    bool enabledDuring = true;
    desk.viewer.whileOpening = [&] { enabledDuring = window->isEnabled(); };
    window->Button2->click();
    desk.viewer.whileOpening = nullptr;
    QVERIFY(!enabledDuring);
    QVERIFY(window->isEnabled());
    QCOMPARE(desk.viewer.opened.size(), 1);
    const WorkbookContents book = readWorkbook(desk.viewer.opened[0]);
    QVERIFY(book.ok);
    QCOMPARE(book.cell(1, 1).text, "Март 2024");
    QVERIFY(book.cell(1, 1).bold);
    QCOMPARE(book.cell(2, 1).text, "Фамилия И.О.");
    QCOMPARE(book.cell(2, 3).text, "1");
    QCOMPARE(book.cell(2, 33).text, "31");
    QCOMPARE(book.cell(2, 34).text, "Итого (ч.)");
    QCOMPARE(book.cell(2, 35).text, "Итого (р.)");
    QCOMPARE(book.cell(2, 36).text, perHour ? "Час (р.)" : "");
    QCOMPARE(book.cell(3, 1).text, "Иванов И.И.");
    if (night)
        QVERIFY(book.cell(3, 2).text == "дн." || book.cell(3, 2).text == "ноч.");
    else
        QVERIFY(book.cell(3, 2).text.isEmpty());
    QVERIFY(book.cell(3, 3).text.isEmpty()); // an empty day stays an empty cell
    QVERIFY(book.cell(3, 34).number);
    const int lines = window->CurrentView->recordCount();
    QCOMPARE(window->Button2->text(), QString("Excel (%1 из %1)").arg(lines));
    QCOMPARE(window->CurrentView->recNo(), place);
    // Closing the window brings the caption back.
    window->Button1->click();
    QCOMPARE(window->Button2->text(), "Excel");
    window->CurrentView->close();
}

QTEST_MAIN(MonthlyTimesheetTest)
#include "test_monthly_timesheet.moc"
