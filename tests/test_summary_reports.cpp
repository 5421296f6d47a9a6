// The summary reports window: the previous month preset, the four reports prepared on a worked
// month (titles, sums, colours, the kind filter, an empty period), a report as PDF, the export by
// products read back, and what the roles switch off.
#include "app/login_window.h"
#include "app/main_window.h"
#include "core/db_error.h"
#include "reports/engine/query_rows.h"
#include "reports/engine/report_preview.h"
#include "reports/summary_report_layouts.h"
#include "reports/summary_reports_window.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "support/workbook_reader.h"
#include "ui/data_module.h"
#include "ui/forms.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using fixtures::exec;

class SummaryReportsTest : public QObject {
    Q_OBJECT
    TForm18 *window = nullptr;
    testing::ExportDesk desk;
    QList<QPair<PreparedReport, QString>> previews;

    QStringList allTexts(const PreparedReport &r) {
        QStringList out;
        for (int p = 0; p < r.pageCount(); ++p)
            out << r.texts(p);
        return out;
    }
    // Runs a report button and returns what the preview was given.
    QStringList run(QPushButton *button, QString *title = nullptr) {
        previews.clear();
        button->click();
        if (previews.size() != 1)
            return {"no preview"};
        if (title)
            *title = previews[0].second;
        return allTexts(previews[0].first);
    }

private slots:
    void initTestCase();
    void init();
    void presetIsThePreviousMonth_data();
    void presetIsThePreviousMonth();
    void reports_data();
    void reports();
    void blanksOnly();
    void emptyPeriod();
    void reportAsPdf();
    void workersOfTheSameName();
    void lostConnectionIsReadAgain();
    void readFailingMidwayIsAnError();
    void exportByProducts();
    void roles_data();
    void roles();
    void typedSecondDateAndTheDaysCovered();
    void longStatementShowsItWorksAndStops_data();
    void longStatementShowsItWorksAndStops();
};

void SummaryReportsTest::initTestCase() {
    testing::startProgram("summary_reports");
    window = forms().Form18;
    TForm18::setPreviewer([this](const PreparedReport &r, const QString &t) { previews.append({r, t}); });
    // A worked March 2024. Иванов: cutting of a shelf on the 1st and the 5th, painting in colour
    // 1013; Петров: bending of blanks in primer; Сидоров: a record without hours. A record of
    // 1 April lies outside the month.
    const int ivanov = fixtures::worker("Иванов И.И.");
    const int petrov = fixtures::worker("Петров П.П.");
    const int sidorov = fixtures::worker("Сидоров С.С.");
    const qint64 shelves = fixtures::group("Стеллажи");
    const qint64 shelf = fixtures::product("СТ-1", shelves);
    const int cut = fixtures::priceRow(shelf, fixtures::operationType("Резка"), 0, 5);
    const int paint = fixtures::priceRow(shelf, fixtures::operationType("ПОКРАСКА"), 0, 12.5);
    const int bend = fixtures::priceRow(shelf, fixtures::operationType("Гибка"), 1, 2);
    fixtures::record({.worker = ivanov,
                      .priceRow = cut,
                      .date = QDate(2024, 3, 1),
                      .quantity = 2,
                      .hours = 2,
                      .price = 5});
    fixtures::record({.worker = ivanov,
                      .priceRow = cut,
                      .date = QDate(2024, 3, 5),
                      .quantity = 10,
                      .hours = 8,
                      .price = 5});
    fixtures::record({.worker = ivanov,
                      .priceRow = paint,
                      .date = QDate(2024, 3, 6),
                      .quantity = 4,
                      .hours = 4,
                      .color = 1013,
                      .price = 12.5});
    fixtures::record({.worker = petrov,
                      .priceRow = bend,
                      .date = QDate(2024, 3, 7),
                      .quantity = 6,
                      .defects = 1,
                      .hours = 6,
                      .color = 1,
                      .price = 2});
    fixtures::record({.worker = sidorov,
                      .priceRow = cut,
                      .date = QDate(2024, 3, 8),
                      .quantity = 3,
                      .hours = 0,
                      .price = 1});
    fixtures::record({.worker = ivanov,
                      .priceRow = cut,
                      .date = QDate(2024, 4, 1),
                      .quantity = 100,
                      .hours = 8,
                      .price = 5});
    exec(QString("insert into accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, cnt, price, "
                 "i_night) "
                 "values (%1, 7777, %2, '05.03.2024', 3, 2024, 2, 150, 0), (%1, 7778, %2, '06.03.2024', 3, "
                 "2024, 3, "
                 "49.25, 1)")
             .arg(shelves)
             .arg(ivanov));
}

void SummaryReportsTest::init() {
    testing::messages().clear();
    window->setKindIndex(0);
    window->DTPicker1->setDate(QDate(2024, 3, 1));
    window->DTPicker2->setDate(QDate(2024, 4, 1));
}

void SummaryReportsTest::presetIsThePreviousMonth_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("second");
    QTest::newRow("April") << QDate(2024, 4, 15) << QDate(2024, 3, 1) << QDate(2024, 4, 1);
    QTest::newRow("January") << QDate(2025, 1, 2) << QDate(2024, 12, 1) << QDate(2025, 1, 1);
}

void SummaryReportsTest::presetIsThePreviousMonth() {
    QFETCH(QDate, today);
    QFETCH(QDate, first);
    QFETCH(QDate, second);
    testing::setToday(today);
    QDate seen1, seen2;
    testing::onModal([&](QDialog *d) {
        seen1 = window->DTPicker1->date();
        seen2 = window->DTPicker2->date();
        return d == window ? int(QDialog::Rejected) : -1;
    });
    forms().Form1->N10->trigger();
    QCOMPARE(seen1, first);
    QCOMPARE(seen2, second);
}

void SummaryReportsTest::reports_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("contains");
    // Good pieces: Иванов 2 + 10 cut and 4 painted, Петров 5 bent; money 60 + 50 + 10 + 3 = 123.
    QTest::newRow("by workers")
        << 4 << "   Отчет по рабочим за период с 01.03.2024 по 01.04.2024 (за 01.03.2024 - 31.03.2024)"
        << QStringList{"Иванов И.И.", " (RAL: 1013)", " (грунт)", "Сумма без Р/К",
                       // Иванов's group: 110 of piecework, 300 household, 147.75 average piece.
                       "110.000", "300.000", "147.750", "557.750",
                       // the report footer: piecework, household, average piece, all; each / 1.2
                       "123.00", "102.50", "300.00", "250.00", "147.75", "123.13", "570.75", "475.63"};
    QTest::newRow("by products")
        << 2 << "   Отчет по продукции за период с 01.03.2024 по 01.04.2024 (за 01.03.2024 - 31.03.2024)"
        << QStringList{"Стеллажи", "Коробки", "Количество", "Итого:", "24", "Заготовки"};
    QTest::newRow("detailed by workers")
        << 1
        << "   Детальный отчет по рабочим за период с 01.03.2024 по 01.04.2024 (за 01.03.2024 - 31.03.2024)"
        << QStringList{"Цена ср. сд. за 1 ч.:", "Хоз. раб. (дн.)", "Ср. сд. (нч.)", "Сумма с р/к (р.)",
                       // Иванов: (110 + 300 + 147.75) / (14 + 2 + 3) hours
                       "29.36", "24.46",
                       // Сидоров has no hours: 0, not a failure
                       "0.00"};
    QTest::newRow("detailed by products")
        << 3
        << "   Детальный отчет по продукции за период с 01.03.2024 по 01.04.2024 (за 01.03.2024 - 31.03.2024)"
        << QStringList{"СТ-1", "1013", "Брак", "123.00"};
}

void SummaryReportsTest::reports() {
    QFETCH(int, button);
    QFETCH(QString, title);
    QFETCH(QStringList, contains);
    QPushButton *b =
        button == 4 ? window->Button4
                    : (button == 2 ? window->Button2 : (button == 1 ? window->Button1 : window->Button3));
    QString shownTitle;
    const QStringList texts = run(b, &shownTitle);
    QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(testing::messages().shown.value(0).text));
    QCOMPARE(texts.value(0), title);
    QCOMPARE(shownTitle, title);
    for (const QString &c : contains)
        QVERIFY2(texts.contains(c), qPrintable(c + " not in: " + texts.join(" | ")));
    // The record of 1 April is not in the March reports.
    QVERIFY(!texts.contains("100"));
    QVERIFY(!window->t_Report16.isOpen() && !window->w_Report.isOpen());
    // The report's cursor is gone with its rows: no connection is left inside a transaction.
    QCOMPARE(fixtures::scalar("select count(*) from pg_stat_activity where datname=current_database() and "
                              "state like 'idle in transaction%'")
                 .toInt(),
             0);
}

void SummaryReportsTest::blanksOnly() {
    window->KindBlanks->setChecked(true);
    const QStringList products = run(window->Button2);
    QVERIFY(products.contains("Заготовки"));
    QVERIFY(!products.contains("Готовая продукция"));
    QVERIFY(products.contains("5")); // Петров's five good blanks
    // The household amounts come from their own subqueries: not filtered.
    const QStringList workers = run(window->Button4);
    QVERIFY(workers.contains("300.00"));
    QVERIFY(!workers.contains("Иванов И.И."));
}

void SummaryReportsTest::emptyPeriod() {
    window->DTPicker2->setDate(window->DTPicker1->date());
    for (QPushButton *b : {window->Button4, window->Button2, window->Button1, window->Button3}) {
        const QStringList texts = run(b);
        QVERIFY(texts.value(0).contains("01.03.2024 по 01.03.2024"));
        QVERIFY(texts.contains("Итого:") || b == window->Button4);
        QCOMPARE(previews[0].first.pageCount(), 1);
    }
    desk.viewer.opened.clear();
    window->Button6->click();
    QCOMPARE(window->Button6->text(), "Excel (0 из 0)");
    const WorkbookContents book = readWorkbook(desk.viewer.opened.value(0));
    QVERIFY(book.ok);
    QCOMPARE(book.cells.size(), 5);
}

void SummaryReportsTest::reportAsPdf() {
    run(window->Button1);
    const QString path = desk.home.filePath("detailed.pdf");
    QVERIFY(saveReportPdf(previews[0].first, path));
    QProcess p;
    p.start("pdftotext", {path, "-"});
    p.waitForFinished();
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(text.contains("Детальный отчет по рабочим") && text.contains("Цена ср. сд. за 1 ч.:"),
             qPrintable(text.left(300)));
}

void SummaryReportsTest::workersOfTheSameName() {
    // May 2024: two relatives named alike, each with their own piecework and household work in
    // two groups whose captions are alike too.
    const int elder = fixtures::worker("Кузнецов К.К.");
    const int younger = fixtures::worker("Кузнецов К.К.");
    const qint64 racks = fixtures::group("Стойки");
    const qint64 racks2 = fixtures::group("Стойки");
    const int cut =
        fixtures::priceRow(fixtures::product("СТК-1", racks), fixtures::operationType("Рубка"), 0, 5);
    const int cut2 =
        fixtures::priceRow(fixtures::product("СТК-2", racks2), fixtures::operationType("Рубка"), 0, 5);
    fixtures::record(
        {.worker = elder, .priceRow = cut, .date = QDate(2024, 5, 6), .quantity = 10, .price = 5});
    fixtures::record(
        {.worker = elder, .priceRow = cut2, .date = QDate(2024, 5, 6), .quantity = 4, .price = 5});
    fixtures::record(
        {.worker = younger, .priceRow = cut, .date = QDate(2024, 5, 7), .quantity = 2, .price = 5});
    fixtures::entry({.worker = elder, .group = racks, .date = QDate(2024, 5, 6), .hours = 1, .price = 111});
    fixtures::entry({.worker = elder, .group = racks2, .date = QDate(2024, 5, 6), .hours = 1, .price = 333});
    fixtures::entry({.worker = younger, .group = racks, .date = QDate(2024, 5, 7), .hours = 1, .price = 222});
    window->DTPicker1->setDate(QDate(2024, 5, 1));
    window->DTPicker2->setDate(QDate(2024, 6, 1));

    const QStringList workers = run(window->Button4);
    QCOMPARE(workers.count("Кузнецов К.К."), 2);
    // Each group line with its own household amount, and each worker's own total.
    for (const char *amount : {"111.000", "333.000", "222.000", "161.000", "353.000", "514.000", "232.000"})
        QVERIFY2(workers.contains(amount), qPrintable(QString(amount) + " not in: " + workers.join(" | ")));
    QCOMPARE(workers.count("Стойки"), 3);

    const QStringList detailed = run(window->Button1);
    QCOMPARE(detailed.count("Кузнецов К.К."), 2);
    // "Итого:" of each: 70 + 444 household, and 10 + 222.
    QVERIFY2(detailed.contains("514.00") && detailed.contains("232.00"), qPrintable(detailed.join(" | ")));
}

void SummaryReportsTest::lostConnectionIsReadAgain() {
    // The reports' own connection is gone (a server restart, a dropped link): the report's
    // statement is asked again on a new connection, without a word. (A read cut short midway is
    // an error: the report engine's tests.)
    fixtures::endServerProcess(fixtures::serverProcessOf(forms().DataModule6->portionedConnection()));
    QVERIFY(run(window->Button1).contains("Итого:"));
    QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(testing::messages().shown.value(0).text));
}

void SummaryReportsTest::exportByProducts() {
    desk.viewer.opened.clear();
    // While the export runs no control of the window can change the month or start a report.
    bool enabledDuring = true;
    desk.viewer.whileOpening = [&] { enabledDuring = window->isEnabled(); };
    window->Button6->click();
    desk.viewer.whileOpening = nullptr;
    QVERIFY(!enabledDuring);
    QVERIFY(window->isEnabled());
    QCOMPARE(desk.viewer.opened.size(), 1);
    const WorkbookContents book = readWorkbook(desk.viewer.opened[0]);
    QVERIFY(book.ok);
    QCOMPARE(book.cell(1, 1).text, "Наименование");
    QCOMPARE(book.cell(1, 5).text, "Кол-во");
    QStringList operations;
    for (int row = 2; row <= 4; ++row) {
        operations << book.cell(row, 2).text;
        QCOMPARE(book.cell(row, 1).text, "Стеллажи");
        QVERIFY(book.cell(row, 4).number);
    }
    operations.sort();
    QCOMPARE(operations, (QStringList{"Гибка (грунт)", "ПОКРАСКА (цвет: 1013)", "Резка"}));
    QCOMPARE(window->Button6->text(), "Excel (3 из 3)");
}

void SummaryReportsTest::roles_data() {
    QTest::addColumn<QString>("login");
    QTest::addColumn<bool>("others");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("kindEnabled");
    QTest::newRow("foreman") << "quorbel" << false << 0 << true;
    QTest::newRow("warehouse") << "tivon" << false << 1 << false;
    QTest::newRow("administrator") << "7093" << true << 0 << true;
}

void SummaryReportsTest::roles() {
    QFETCH(QString, login);
    QFETCH(bool, others);
    QFETCH(int, kind);
    QFETCH(bool, kindEnabled);
    TForm23 &loginWindow = *forms().Form23;
    loginWindow.Edit1->setText(login);
    testing::onModal([](QDialog *) { return int(QDialog::Rejected); });
    loginWindow.Button1Click();
    for (QPushButton *b : {window->Button1, window->Button2, window->Button4, window->Button6})
        QCOMPARE(b->isEnabled(), others);
    QVERIFY(window->Button3->isEnabled());
    QCOMPARE(window->kindIndex(), kind);
    QCOMPARE(window->RadioGroup1->isEnabled(), kindEnabled);
    seams::clearTerminationRequest();
    loginWindow.show();
}

// The second date is typed by keyboard, as a clerk does at month end: it is kept as typed, and
// the window and the report's heading say which days the period covers (the second date is not
// among them).
void SummaryReportsTest::typedSecondDateAndTheDaysCovered() {
    window->DTPicker1->setDate(QDate(2024, 3, 1));
    window->DTPicker2->setDate(QDate(2024, 3, 1));
    QCOMPARE(window->LabelCovers->text(), "за 0 дней");
    window->DTPicker2->setDate(QDate(2024, 1, 15)); // every part of it is typed over
    // Into the second field as Tab brings the focus there, then the date as clerks type it.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    window->DTPicker2->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), window->DTPicker2);
    QTest::keyClicks(window->DTPicker2, "31.03.2024");
    QTest::keyClick(window->DTPicker2, Qt::Key_Tab);
    QCOMPARE(window->DTPicker2->date(), QDate(2024, 3, 31));
    QCOMPARE(window->LabelCovers->text(), "за 01.03.2024 - 30.03.2024");
    QCOMPARE(window->LabelCovers->accessibleName(), window->LabelCovers->text());
    window->hide();
    QString shownTitle;
    const QStringList texts = run(window->Button4, &shownTitle);
    QCOMPARE(texts.value(0),
             "   Отчет по рабочим за период с 01.03.2024 по 31.03.2024 (за 01.03.2024 - 30.03.2024)");
    window->DTPicker2->setDate(QDate(2024, 4, 1));
}

void SummaryReportsTest::longStatementShowsItWorksAndStops_data() {
    QTest::addColumn<bool>("stop");
    QTest::newRow("waited for: the report opens whole") << false;
    QTest::newRow("stopped: no report, nothing left running") << true;
}

// A report's statement that takes seconds before its first row (a big year) does not freeze the
// window without a word: it says that the report is being made and can stop the statement.
void SummaryReportsTest::longStatementShowsItWorksAndStops() {
    QFETCH(bool, stop);
    window->DTPicker1->setDate(QDate(2024, 3, 1));
    window->DTPicker2->setDate(QDate(2024, 4, 1));
    Dataset &query = window->t_Report16;
    const QString sql = query.sqlText();
    query.setSql({"with pause as (select pg_sleep(3) as slept) select x.* from (" + sql + ") x, pause"});
    TForm18::setPreviewer({});
    QString said, pageTitle;
    bool shown = false;
    QTimer::singleShot(800, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *p = qobject_cast<QProgressDialog *>(w); p && p->isVisible()) {
                shown = true;
                said = p->labelText();
                if (stop)
                    p->cancel();
            }
    });
    testing::onModal([&](QDialog *d) {
        auto *preview = qobject_cast<ReportPreview *>(d);
        while (preview && !preview->complete())
            preview->prepareMore();
        pageTitle = preview ? allTexts(preview->report()).value(0) : QString("not a preview");
        return int(QDialog::Rejected);
    });
    QElapsedTimer clock;
    clock.start();
    window->Button4->click();
    testing::onModal({});
    TForm18::setPreviewer([this](const PreparedReport &r, const QString &t) { previews.append({r, t}); });
    query.setSql(sql.split('\n'));
    QVERIFY(shown);
    QCOMPARE(said, "Отчет формируется: база данных выполняет запрос…");
    QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(testing::messages().shown.value(0).text));
    if (stop) {
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(pageTitle.isEmpty());
        QCOMPARE(
            fixtures::scalar("select count(*) from pg_stat_activity where query like '%pg_sleep(3)%' and "
                             "pid<>pg_backend_pid()")
                .toInt(),
            0);
    } else {
        QCOMPARE(pageTitle,
                 "   Отчет по рабочим за период с 01.03.2024 по 01.04.2024 (за 01.03.2024 - 31.03.2024)");
    }
}

// The reports' rows are read as they come: a read that fails midway is an error, never a report
// of the rows read so far.
void SummaryReportsTest::readFailingMidwayIsAnError() {
    // The reports' own connection reads in portions; its server process ends after the first.
    Database &db = forms().DataModule6->portionedConnection();
    const qint64 backend = fixtures::serverProcessOf(db);
    QueryRows rows(db, "select n from generate_series(1, 50000) n", {});
    int read = 0;
    for (; read < 10; ++read)
        QVERIFY(rows.next());
    fixtures::endServerProcess(backend);
    bool failed = false;
    try {
        while (rows.next())
            ++read;
    } catch (const DbError &e) {
        failed = e.text() == kConnectionLostReadMessage;
    }
    QVERIFY2(failed, qPrintable(QString("the read ended quietly after %1 rows").arg(read)));
    QVERIFY(read < 50000);
}

QTEST_MAIN(SummaryReportsTest)
#include "test_summary_reports.moc"
