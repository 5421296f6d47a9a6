// The summary reports' statements as the program sends them give the same rows as the office's
// original statements (kept in support/reference_reports.h), every column, both directions, on a
// month with the awkward cases: household and average-piece work by day and by night and on days
// off, several groups per worker, workers without household work and with household work only,
// two workers of one name, prices with four decimals, defects, and records just outside the month.
#include "reports/summary_report_layouts.h"
#include "support/fixtures.h"
#include "support/reference_reports.h"
#include "support/test_program.h"
#include "ui/data_module.h"
#include "ui/forms.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

class ReportStatementsTest : public QObject {
    Q_OBJECT
    const QDate first{2024, 3, 1};
    const QDate next{2024, 4, 1};

    // Each row as "column=value" texts of the reference's columns, numbers to 6 decimals.
    QStringList rows(const QStringList &sql, int parameters, const QStringList &columns = {}) {
        SqlParams params;
        for (int k = 1; k <= parameters; ++k)
            params.append({QString("data%1").arg(k), k % 2 ? first : next});
        QSqlQuery q = forms().DataModule6->ADO_DB.run(sql.join('\n'), params);
        const QSqlRecord rec = q.record();
        QStringList names = columns;
        if (names.isEmpty())
            for (int i = 0; i < rec.count(); ++i)
                names << rec.fieldName(i).toLower();
        QStringList out;
        while (q.next()) {
            QStringList cells;
            for (const QString &name : names) {
                const QVariant v = q.value(rec.indexOf(name));
                bool number = false;
                const double d = v.toString().toDouble(&number);
                cells << name + "=" +
                             (v.isNull() ? "null"
                              : number   ? QString::number(d, 'f', 6)
                                         : v.toString());
            }
            out << cells.join(" | ");
        }
        out.sort();
        return out;
    }
    QStringList columnsOf(const QStringList &sql, int parameters) {
        QStringList names;
        const QStringList one = rows(sql, parameters);
        if (!one.isEmpty())
            for (const QString &cell : one.first().split(" | "))
                names << cell.section('=', 0, 0);
        return names;
    }

private slots:
    void initTestCase();
    void sameRowsAsTheOriginals_data();
    void sameRowsAsTheOriginals();
};

void ReportStatementsTest::initTestCase() {
    testing::startProgram("report_statements");
    const qint64 shelves = fixtures::group("Стеллажи"), cabinets = fixtures::group("Шкафы");
    const qint64 shelf = fixtures::product("СТ-1", shelves), cabinet = fixtures::product("ШК-2", cabinets);
    const qint64 blank = fixtures::product("ЗГ-3", shelves);
    const int cut = fixtures::priceRow(shelf, fixtures::operationType("Резка"), 0, 12.3457);
    const int paint = fixtures::priceRow(cabinet, fixtures::operationType("ПОКРАСКА"), 0, 7.125);
    const int bend = fixtures::priceRow(blank, fixtures::operationType("Гибка"), 1, 0.3333);
    const int elder = fixtures::worker("Кузнецов К.К."), younger = fixtures::worker("Кузнецов К.К.");
    const int noHousehold = fixtures::worker("Андреев А.А."),
              onlyHousehold = fixtures::worker("Борисов Б.Б.");
    int day = 1;
    for (int w : {elder, younger, noHousehold}) {
        for (int row : {cut, paint, bend}) {
            for (int shift : {1, 3, 4}) {
                fixtures::record(
                    {.worker = w,
                     .priceRow = row,
                     .date = QDate(2024, 3, 1 + day % 28),
                     .shift = shift,
                     .quantity = 3 + day % 7,
                     .defects = day % 3,
                     .hours = 1 + day % 8,
                     .color = row == paint ? 1013 : (day % 4 == 0 ? 1 : 0),
                     .price = row == cut ? 12.3457 * (day % 2 ? 2 : 1) : (row == paint ? 7.125 : 0.3333)});
                ++day;
            }
        }
    }
    // Just outside the month on both sides.
    fixtures::record({.worker = elder, .priceRow = cut, .date = QDate(2024, 2, 29), .price = 99});
    fixtures::record({.worker = elder, .priceRow = cut, .date = next, .price = 99});
    for (int w : {elder, younger, onlyHousehold}) {
        for (int type : {7777, 7778}) {
            fixtures::entry({.worker = w,
                             .group = shelves,
                             .type = type,
                             .date = QDate(2024, 3, 4),
                             .hours = 2,
                             .price = 150.55});
            fixtures::entry({.worker = w,
                             .group = cabinets,
                             .type = type,
                             .date = QDate(2024, 3, 9),
                             .hours = 3,
                             .price = 301.1,
                             .night = 1,
                             .holiday = 1});
        }
    }
    fixtures::entry(
        {.worker = elder, .group = shelves, .date = QDate(2024, 2, 28), .hours = 5, .price = 1000});
    fixtures::entry({.worker = elder, .group = shelves, .date = next, .hours = 5, .price = 1000});
}

void ReportStatementsTest::sameRowsAsTheOriginals_data() {
    QTest::addColumn<QStringList>("reference");
    QTest::addColumn<int>("referenceParameters");
    QTest::addColumn<int>("report");
    QTest::newRow("by workers") << reference_reports::byWorkers << 12 << 16;
    QTest::newRow("by products") << reference_reports::byProducts << 2 << 17;
    QTest::newRow("detailed by workers") << reference_reports::detailedByWorkers << 18 << 20;
    QTest::newRow("detailed by products") << reference_reports::detailedByProducts << 2 << 21;
}

void ReportStatementsTest::sameRowsAsTheOriginals() {
    QFETCH(QStringList, reference);
    QFETCH(int, referenceParameters);
    QFETCH(int, report);
    const SummaryReport &r =
        report == 16 ? TForm16() : (report == 17 ? TForm17() : (report == 20 ? TForm20() : TForm21()));
    const QStringList columns = columnsOf(reference, referenceParameters);
    QVERIFY(!columns.isEmpty());
    const QStringList expected = rows(reference, referenceParameters);
    const QStringList actual = rows(r.sql, r.parameters, columns);
    QVERIFY(expected.size() >= 3);
    for (const QString &row : expected)
        QVERIFY2(actual.contains(row), qPrintable("missing: " + row));
    for (const QString &row : actual)
        QVERIFY2(expected.contains(row), qPrintable("extra: " + row));
    QCOMPARE(actual, expected);
}

QTEST_MAIN(ReportStatementsTest)
#include "test_report_statements.moc"
