// Spreadsheet export: workbooks written and read back, under a Russian locale, and the failure
// messages and results.
#include "reports/spreadsheet_export.h"
#include "support/test_program.h"
#include "support/workbook_reader.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <clocale>

class SpreadsheetExportTest : public QObject {
    Q_OBJECT
    testing::ExportDesk desk;

private slots:
    void initTestCase();
    void init();
    void writesAndReadsBack();
    void everyExportIsANewFile();
    void wrongSheetAndFailingCell();
    void noSpreadsheetApplication_data();
    void noSpreadsheetApplication();
    void keptInTheDocumentsFolderUnderTheWindowsName();
};

void SpreadsheetExportTest::initTestCase() {
    // The workstation is Russian: decimal comma in typed numbers and in the C library.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    std::setlocale(LC_NUMERIC, "ru_RU.UTF-8");
    seams::setMessages(&testing::messages());
}

void SpreadsheetExportTest::init() {
    testing::messages().clear();
    desk.viewer.present = true;
    desk.viewer.opened.clear();
}

void SpreadsheetExportTest::writesAndReadsBack() {
    SpreadsheetApp app;
    QCOMPARE(SpreadsheetExport::OpenWorkbook(app, ""), 1);
    using SpreadsheetExport::WriteCell;
    QCOMPARE(WriteCell(app, 1, 1, 1, "Марка"), 1);
    QCOMPARE(WriteCell(app, 1, 3, 1, "Цена"), 1);
    QCOMPARE(WriteCell(app, 1, 1, 2, "О'Нил 12'А"), 1);
    QCOMPARE(WriteCell(app, 1, 3, 2, "12,5"), 1); // typed as a number on this workstation
    QCOMPARE(WriteCell(app, 1, 3, 3, "12.5"), 1); // not a number here: stays text
    QCOMPARE(WriteCell(app, 1, 2, 2, "007", {.asText = true}), 1);
    QCOMPARE(WriteCell(app, 1, 2, 3, "007"), 1);
    QCOMPARE(WriteCell(app, 1, 4, 1, "Итого", {.bold = true}), 1);
    QCOMPARE(WriteCell(app, 1, 5, 1, "короткий", {.autoFit = true}), 1);
    QCOMPARE(WriteCell(app, 1, 5, 2, "гораздо более длинный текст", {.autoFit = true}), 1);
    // An empty text writes nothing, whatever the options.
    QCOMPARE(WriteCell(app, 1, 6, 1, "", {.asText = true, .autoFit = true, .bold = true}), 1);
    QVERIFY(desk.viewer.opened.isEmpty());
    QCOMPARE(SpreadsheetExport::SetVisible(app, true), 1);
    QCOMPARE(desk.viewer.opened.size(), 1);
    QVERIFY(testing::messages().shown.isEmpty());

    const WorkbookContents book = readWorkbook(desk.viewer.opened[0]);
    QVERIFY(book.ok);
    QCOMPARE(book.cell(1, 1).text, "Марка");
    QVERIFY(!book.cell(1, 1).number);
    QCOMPARE(book.cell(2, 1).text, "О'Нил 12'А");
    QVERIFY(book.cell(2, 3).number);
    QCOMPARE(book.cell(2, 3).text, "12.5");
    QVERIFY(!book.cell(3, 3).number);
    QCOMPARE(book.cell(2, 2).text, "007");
    QVERIFY(book.cell(2, 2).textFormat);
    QVERIFY(book.cell(3, 2).number);
    QVERIFY(book.cell(1, 4).bold);
    QVERIFY(!book.cell(1, 1).bold);
    QVERIFY(!book.cells.contains({1, 6}));
    QVERIFY(!book.widths.contains(1));
    QVERIFY(book.widths.value(5) >= QString("гораздо более длинный текст").size());
}

void SpreadsheetExportTest::everyExportIsANewFile() {
    SpreadsheetApp &app = sharedSpreadsheetApp();
    for (const char *text : {"первый", "второй"}) {
        QCOMPARE(SpreadsheetExport::OpenWorkbook(app, ""), 1);
        SpreadsheetExport::WriteCell(app, 1, 1, 1, text);
        SpreadsheetExport::SetVisible(app, true);
    }
    QCOMPARE(desk.viewer.opened.size(), 2);
    QVERIFY(desk.viewer.opened[0] != desk.viewer.opened[1]);
    QCOMPARE(readWorkbook(desk.viewer.opened[0]).cell(1, 1).text, "первый");
    QCOMPARE(readWorkbook(desk.viewer.opened[1]).cell(1, 1).text, "второй");
}

void SpreadsheetExportTest::wrongSheetAndFailingCell() {
    SpreadsheetApp app;
    QCOMPARE(SpreadsheetExport::OpenWorkbook(app, ""), 1);
    QCOMPARE(SpreadsheetExport::WriteCell(app, 1, 1, 1, "до"), 1);
    QCOMPARE(SpreadsheetExport::WriteCell(app, 2, 1, 1, "x"), -1);
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].title, "Ошибочный номер листа Microsoft Excel");
    QCOMPARE(testing::messages().shown[0].text, "Ошибка при записи: лист 2, столбец 1, строка 1");
    // A text longer than a cell can hold fails that cell only.
    QCOMPARE(SpreadsheetExport::WriteCell(app, 1, 3, 7, QString(40000, 'x')), -1);
    QCOMPARE(testing::messages().shown.size(), 2);
    QCOMPARE(testing::messages().shown[1].title, "Ошибка Microsoft Excel");
    QCOMPARE(testing::messages().shown[1].text, "Ошибка при записи: лист 1, столбец 3, строка 7");
    QCOMPARE(SpreadsheetExport::WriteCell(app, 1, 1, 2, "после"), 1);
    SpreadsheetExport::SetVisible(app, true);
    const WorkbookContents book = readWorkbook(desk.viewer.opened.value(0));
    QCOMPARE(book.cell(1, 1).text, "до");
    QCOMPARE(book.cell(2, 1).text, "после");
    QVERIFY(!book.cells.contains({7, 3}));
}

void SpreadsheetExportTest::noSpreadsheetApplication_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("exportedBefore");
    QTest::newRow("none installed") << false << false;
    // An earlier export reached one; now it fails to start.
    QTest::newRow("fails to start after an earlier export") << true << true;
}

void SpreadsheetExportTest::noSpreadsheetApplication() {
    QFETCH(bool, present);
    QFETCH(bool, exportedBefore);
    SpreadsheetApp &app = sharedSpreadsheetApp();
    if (exportedBefore) {
        QCOMPARE(SpreadsheetExport::OpenWorkbook(app, ""), 1);
        SpreadsheetExport::SetVisible(app, true);
        QCOMPARE(desk.viewer.opened.size(), 1);
    }
    desk.viewer.present = present;
    desk.viewer.starts = false;
    // The workbook is written all the same, and the user is told where it went.
    QCOMPARE(SpreadsheetExport::OpenWorkbook(app, ""), 1);
    QCOMPARE(SpreadsheetExport::WriteCell(app, 1, 1, 1, "сохранено"), 1);
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(SpreadsheetExport::SetVisible(app, true), 1);
    desk.viewer.starts = true;
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].title, "Ошибка");
    QCOMPARE(testing::messages().shown[0].text,
             "Невозможно открыть Microsoft Excel. Книга сохранена в файле " + app.lastFile);
    QCOMPARE(readWorkbook(app.lastFile).cell(1, 1).text, "сохранено");
}

// The workbook goes to the user's documents folder (made when missing), named after the window it
// was made from and the time: the temporary folder is emptied at restart.
void SpreadsheetExportTest::keptInTheDocumentsFolderUnderTheWindowsName() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QVERIFY(documents.startsWith(desk.home.path()));
    QDir(documents).removeRecursively();
    QDialog window;
    window.setWindowTitle("Табель: сделка/март (27)");
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &window);
    SpreadsheetApp app;
    QCOMPARE(SpreadsheetExport::OpenWorkbook(app, ""), 1);
    QCOMPARE(SpreadsheetExport::WriteCell(app, 1, 1, 1, "x"), 1);
    QCOMPARE(SpreadsheetExport::SetVisible(app, true), 1);
    const QString path = desk.viewer.opened.value(0);
    QVERIFY2(path.startsWith(documents + "/Табель_ сделка_март (27)_") && path.endsWith(".xlsx"),
             qPrintable(path));
    QVERIFY(QFileInfo::exists(path));
    window.hide();
}

QTEST_MAIN(SpreadsheetExportTest)
#include "test_spreadsheet_export.moc"
