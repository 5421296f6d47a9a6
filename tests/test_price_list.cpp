// The price list: list price and norm count, the filter, the operation row editor, the norms
// window, the picker's pricing and the spreadsheet export.
#include "app/main_window.h"
#include "refbooks/products_list.h"
#include "shift/norms_window.h"
#include "shift/operation_price_editor.h"
#include "shift/operation_types_list.h"
#include "shift/price_list.h"
#include "shift/shift_record_editor.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "support/workbook_reader.h"
#include "ui/data_module.h"
#include "ui/forms.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using fixtures::scalar;

class PriceListTest : public QObject {
    Q_OBJECT
    TDataModule6 *dm = nullptr;
    TForm4 *list = nullptr;
    int shelf = 0, cabinet = 0, cutting = 0, painting = 0;
    testing::ExportDesk desk;

    int addNorm(int row, double price, int norma) {
        fixtures::exec(
            QString("insert into accounts_dep.norm(o_id, price, norma, prize) values (%1, %2, %3, 0)")
                .arg(row)
                .arg(price)
                .arg(norma));
        return row;
    }

private slots:
    void initTestCase();
    void init();
    void listPriceAndCount();
    void markFilter_data();
    void markFilter();
    void operationRowEditor();
    void newRowWithFirstPrice();
    void normsWindow();
    void normsWindowByMouseAndKeys();
    void normsRefuseWhatIsNotANumber_data();
    void normsRefuseWhatIsNotANumber();
    void pickerPricesTheRecord();
    void pickerOnEmptyListChangesNothing();
    void deleteRowOnly();
    void deleteRefusedWhileRecordsUseIt();
    void exportReadsBack();
};

void PriceListTest::initTestCase() {
    testing::startProgram("price_list");
    dm = forms().DataModule6;
    list = forms().Form4;
    const int group = fixtures::group("Стеллажи");
    shelf = fixtures::product("СТ-112", group);
    cabinet = fixtures::product("ШМ-200", group);
    cutting = fixtures::operationType("Резка");
    painting = fixtures::operationType("ПОКРАСКА");
}

void PriceListTest::init() {
    testing::messages().clear();
    fixtures::exec("delete from accounts_dep.norm");
    fixtures::exec("delete from accounts_dep.oper");
    dm->Oper.close();
    dm->Oper.setFiltered(false);
    list->Edit1->clear();
    list->Tag = 0;
}

void PriceListTest::listPriceAndCount() {
    const int row = fixtures::priceRow(shelf, cutting, 1, 12.5);
    addNorm(row, 10, 100);
    addNorm(row, 11, 150);
    // A row without norms is not listed.
    fixtures::exec(QString("insert into accounts_dep.oper(i_id, vid, naimen, cena_new) values (%1, %2, 0, 0)")
                       .arg(cabinet)
                       .arg(cutting));
    dm->Oper.open();
    QCOMPARE(dm->Oper.recordCount(), 1);
    QCOMPARE(dm->Oper.asDouble("cena"), 10.0);
    QCOMPARE(dm->Oper.asInt("norma"), 3);
    QCOMPARE(dm->Oper.text("nmn"), "Заготовки");
    QAbstractItemModel *grid = list->DBGrid1->model();
    QCOMPARE(grid->headerData(1, Qt::Horizontal, Qt::AccessibleTextRole).toString(), "Опреция");
    QCOMPARE(grid->index(0, 2).data().toString(), "10");
    QCOMPARE(grid->index(0, 4).data().toString(), "3");
    QVERIFY(list->DBGrid1->isColumnHidden(5));
}

void PriceListTest::markFilter_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("rows");
    QTest::newRow("contained anywhere") << "12" << 1;
    QTest::newRow("letter case ignored") << "шм" << 1;
    QTest::newRow("blanks only show all") << "  " << 2;
    QTest::newRow("nothing") << "99" << 0;
}

void PriceListTest::markFilter() {
    QFETCH(QString, typed);
    QFETCH(int, rows);
    fixtures::priceRow(shelf, cutting, 0, 10);
    fixtures::priceRow(cabinet, cutting, 0, 10);
    dm->Oper.open();
    testing::typeText(list->Edit1, typed);
    QCOMPARE(dm->Oper.recordCount(), rows);
    list->Edit1->clear();
    QCOMPARE(dm->Oper.recordCount(), 2);
}

void PriceListTest::operationRowEditor() {
    TForm10 &editor = *forms().Form10;
    const int existing = fixtures::priceRow(shelf, cutting, 0, 10);
    dm->Oper.open();
    // Choosing product and type through the pickers.
    editor.prepareAdd();
    QCOMPARE(editor.windowTitle(), "Заведение новой цены за операцию");
    testing::onModal([&](QDialog *d) {
        if (d == forms().Form3) {
            dm->Izdel.locate("id", shelf);
            forms().Form3->Button2->click();
        }
        return d->result();
    });
    editor.Button3->click();
    QCOMPARE(editor.Edit1->text(), "СТ-112");
    QCOMPARE(editor.ProductId, shelf);
    testing::onModal([&](QDialog *d) {
        dm->Vid_oper.locate("id", cutting);
        forms().Form8->Button2->click();
        return d->result();
    });
    editor.Button4->click();
    QCOMPARE(editor.Edit2->text(), "Резка");
    QCOMPARE(editor.OperTypeId, cutting);
    QVERIFY(!forms().Form8->Edit1->isVisible());

    // The same product, type and kind exists already.
    editor.Button1->click();
    QCOMPARE(testing::messages().shown.value(0).text, "Операция с такими параметрами уже заведена!");
    QCOMPARE(scalar("select count(*) from accounts_dep.oper").toInt(), 1);

    // Another kind is a new row: written with cena_new 0, not listed until it has a norm.
    testing::messages().clear();
    editor.ComboBox1->setCurrentIndex(1);
    editor.Button1->click();
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(scalar("select count(*) from accounts_dep.oper where naimen=1 and cena_new=0").toInt(), 1);
    QCOMPARE(dm->Oper.recordCount(), 1);

    // Changing a row without touching its key is accepted; the kind can change.
    QVERIFY(dm->Oper.locate("id", existing));
    editor.prepareChange(dm->Oper);
    QCOMPARE(editor.windowTitle(), "Изменение данных о цене за операцию");
    QCOMPARE(editor.Edit1->text(), "СТ-112");
    QCOMPARE(editor.OperTypeId, cutting);
    editor.Button1->click();
    QVERIFY(testing::messages().shown.isEmpty());
    editor.ProductId = cabinet;
    editor.Edit1->setText("ШМ-200");
    editor.Button1->click();
    QCOMPARE(scalar(QString("select i_id from accounts_dep.oper where id=%1").arg(existing)).toInt(),
             cabinet);

    // Empty fields are refused.
    editor.prepareAdd();
    editor.Button1->click();
    QCOMPARE(testing::messages().shown.value(0).text, "Все поля должны быть заполнены!");
}

void PriceListTest::newRowWithFirstPrice() {
    TForm10 &editor = *forms().Form10;
    dm->Oper.open();
    editor.prepareAdd();
    editor.ProductId = cabinet;
    editor.Edit1->setText("ШМ-200");
    editor.OperTypeId = painting;
    editor.Edit2->setText("ПОКРАСКА");
    // A lone separator passes the field's mask but is no price: refused, nothing written.
    for (const char *notANumber : {",", "."}) {
        testing::messages().clear();
        editor.Edit3->setText(notANumber);
        editor.Button1->click();
        QCOMPARE(testing::messages().shown.value(0).text, "Цена должна быть числом.");
        QCOMPARE(scalar("select count(*) from accounts_dep.oper").toInt(), 0);
    }
    testing::messages().clear();
    editor.Edit3->setText("7,25");
    editor.Button1->click();
    QVERIFY(testing::messages().shown.isEmpty());
    // Listed at once, with its first norm as the list price.
    QCOMPARE(dm->Oper.recordCount(), 1);
    QCOMPARE(dm->Oper.asDouble("cena"), 7.25);
    QCOMPARE(dm->Oper.asInt("norma"), 1);
}

void PriceListTest::normsWindow() {
    TForm22 &norms = *forms().Form22;
    const int row = fixtures::priceRow(shelf, cutting, 0, 12.5);
    fixtures::priceRow(cabinet, cutting, 0, 3);
    dm->Oper.open();
    QVERIFY(dm->Oper.locate("id", row));
    const int place = dm->Oper.recNo();
    list->CheckBox1->setChecked(true);
    QAbstractItemModel *grid = norms.DBGrid1->model();
    testing::onModal([&](QDialog *d) {
        // One norm and the empty row for a new one.
        if (grid->rowCount() != 2)
            return -1;
        grid->setData(grid->index(1, 1), "10");
        grid->setData(grid->index(2, 1), "11,5");
        grid->setData(grid->index(2, 0), "150");
        norms.DBGrid1->setCurrentIndex(grid->index(0, 0));
        norms.Button1->click();
        return d->result();
    });
    list->DBGrid1DblClick();
    QCOMPARE(norms.result(), int(QDialog::Accepted));
    QCOMPARE(scalar(QString("select count(*) from accounts_dep.norm where o_id=%1").arg(row)).toInt(), 3);
    // The list shows the new list price and count and stands where it stood.
    QCOMPARE(dm->Oper.recNo(), place);
    QCOMPARE(dm->Oper.asDouble("cena"), 10.0);
    QCOMPARE(dm->Oper.asInt("norma"), 3);
    // "#0.00#" on a Russian workstation.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(NormsModel::priceText(12.5), "12,50");
    QCOMPARE(NormsModel::priceText(10), "10,00");
    QCOMPARE(NormsModel::priceText(12.3456), "12,3456");
    QCOMPARE(NormsModel::priceText(7.125), "7,125");
    QLocale::setDefault(QLocale::c());

    // Ordered by norm; deleting stops at the last norm.
    QCOMPARE(norms.norm.recordCount(), 3);
    for (int i = 0; i < 3; ++i) {
        norms.DBGrid1->setCurrentIndex(grid->index(0, 0));
        norms.Button2->click();
    }
    QCOMPARE(scalar(QString("select count(*) from accounts_dep.norm where o_id=%1").arg(row)).toInt(), 1);
    QCOMPARE(norms.norm.recordCount(), 1);
    // A letter where a number belongs is refused with a message.
    QVERIFY(!grid->setData(grid->index(0, 1), "abc") || !testing::messages().shown.isEmpty());
    QCOMPARE(testing::messages().shown.size(), 1);
    list->CheckBox1->setChecked(false);
}

// Types into whatever has the focus, key by key, as a user would.
static void typeKeys(const QString &text) {
    for (const QChar ch : text)
        QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
}

void PriceListTest::normsWindowByMouseAndKeys() {
    TForm22 &norms = *forms().Form22;
    const int row = fixtures::priceRow(shelf, cutting, 0, 7.1234);
    fixtures::exec(QString("update accounts_dep.norm set norma=100, prize=0 where o_id=%1").arg(row));
    addNorm(row, 9, 200);
    auto norm = [&](int norma, const char *field) {
        return scalar(QString("select %1 from accounts_dep.norm where o_id=%2 and norma=%3")
                          .arg(field)
                          .arg(row)
                          .arg(norma));
    };
    dm->Oper.open();
    QVERIFY(dm->Oper.locate("id", row));
    list->CheckBox1->setChecked(true);
    QTableView *grid = norms.DBGrid1;
    auto click = [&](int r, int c) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(r, c)).center());
    };
    auto at = [&] { return QPoint(grid->currentIndex().row(), grid->currentIndex().column()); };
    QString firstPrice;
    QPoint afterTab, afterNewNorm;
    testing::onModal([&](QDialog *d) {
        d->show();
        if (!QTest::qWaitForWindowExposed(d))
            return -1;
        QApplication::setActiveWindow(d);
        grid->setFocus();
        // The price shows with the decimals it has; clicking into it and opening its editor
        // changes nothing.
        firstPrice = grid->model()->index(0, 1).data().toString();
        click(0, 1);
        QTest::keyClick(grid, Qt::Key_F2);
        // A click on the second norm, then "Удалить": that norm goes.
        click(1, 0);
        QTest::mouseClick(norms.Button2, Qt::LeftButton);
        // Typing into the first norm's price, then Tab: written, and the bonus is next.
        click(0, 1);
        typeKeys("8,5");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        afterTab = at();
        typeKeys("15");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        // A new norm in the empty row: its norm, Tab, its price.
        click(1, 0);
        typeKeys("300");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        afterNewNorm = at();
        typeKeys("4,2575");
        QTest::mouseClick(norms.Button1, Qt::LeftButton);
        d->hide();
        return d->result();
    });
    list->DBGrid1DblClick();
    list->CheckBox1->setChecked(false);
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(firstPrice, "7.1234");
    QCOMPARE(norm(200, "count(*)").toInt(), 0);
    QCOMPARE(norm(100, "price").toDouble(), 8.5);
    QCOMPARE(afterTab, QPoint(0, 2));
    QCOMPARE(norm(100, "prize").toInt(), 15);
    QCOMPARE(afterNewNorm, QPoint(1, 1));
    QCOMPARE(norm(300, "price").toDouble(), 4.2575);
    QCOMPARE(scalar(QString("select count(*) from accounts_dep.norm where o_id=%1").arg(row)).toInt(), 2);

    // Only the changed cell is written: the first price kept all of its decimals meanwhile. A
    // number past the integer range typed into the norm is refused and writes nothing.
    fixtures::exec(QString("update accounts_dep.norm set price=7.1234 where o_id=%1 and norma=100").arg(row));
    testing::messages().clear();
    testing::onModal([&](QDialog *d) {
        d->show();
        if (!QTest::qWaitForWindowExposed(d))
            return -1;
        QApplication::setActiveWindow(d);
        click(0, 0);
        typeKeys("99999999999");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        click(0, 1);
        QTest::keyClick(grid, Qt::Key_F2);
        QTest::mouseClick(norms.Button1, Qt::LeftButton);
        d->hide();
        return d->result();
    });
    list->CheckBox1->setChecked(true);
    list->DBGrid1DblClick();
    list->CheckBox1->setChecked(false);
    QCOMPARE(norms.result(), int(QDialog::Accepted));
    QCOMPARE(testing::messages().shown.value(0).text, "Здесь нужно целое число.");
    QCOMPARE(norm(100, "price").toString(), "7.1234");
}

void PriceListTest::normsRefuseWhatIsNotANumber_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::newRow("norm past the integer range") << 0 << "99999999999"
                                                 << "Здесь нужно целое число.";
    QTest::newRow("bonus past the integer range") << 2 << "-3000000000"
                                                  << "Здесь нужно целое число.";
    QTest::newRow("norm with a fraction") << 0 << "12,5"
                                          << "Здесь нужно целое число.";
    QTest::newRow("lone separator as a price") << 1 << ","
                                               << "Цена должна быть числом.";
    QTest::newRow("letters as a price") << 1 << "abc"
                                        << "Цена должна быть числом.";
    QTest::newRow("infinity as a price") << 1 << "inf"
                                         << "Цена должна быть числом.";
}

void PriceListTest::normsRefuseWhatIsNotANumber() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    TForm22 &norms = *forms().Form22;
    const int row = fixtures::priceRow(shelf, cutting, 0, 5);
    fixtures::exec("update accounts_dep.norm set norma=100, prize=3");
    norms.norm.setParam("o_id", row);
    norms.norm.open();
    QAbstractItemModel *grid = norms.DBGrid1->model();
    // On the norm and on the row of a new one: refused, nothing written.
    for (int r : {0, 1}) {
        testing::messages().clear();
        QVERIFY(!grid->setData(grid->index(r, column), typed));
        QCOMPARE(testing::messages().shown.value(0).text, message);
    }
    QCOMPARE(scalar("select count(*) from accounts_dep.norm where norma=100 and prize=3 and price=5").toInt(),
             1);
    QCOMPARE(scalar("select count(*) from accounts_dep.norm").toInt(), 1);
}

void PriceListTest::pickerPricesTheRecord() {
    TForm11 &editor = *forms().Form11;
    const int row = fixtures::priceRow(shelf, cutting, 1, 12.5);
    addNorm(row, 10, 100);
    addNorm(row, 11, 150);
    // Opened from a working day's first shift.
    editor.prepareAdd({QDate(2024, 3, 5), false, 1}, dm->Smena1);
    list->Tag = 1;
    dm->Oper.open();
    list->Button2->click();
    QCOMPARE(editor.ProductId, shelf);
    QCOMPARE(editor.OperRowId, row);
    QCOMPARE(editor.PiecePrice, 10.0);
    QCOMPARE(editor.Edit2->text(), "СТ-112; Резка; Заготовки");
}

void PriceListTest::pickerOnEmptyListChangesNothing() {
    TForm11 &editor = *forms().Form11;
    fixtures::priceRow(shelf, cutting, 0, 10);
    editor.ProductId = 5;
    editor.OperRowId = 6;
    editor.PiecePrice = 7;
    editor.Edit2->setText("прежняя");
    list->Tag = 1;
    dm->Oper.open();
    testing::typeText(list->Edit1, "нет такой");
    QVERIFY(dm->Oper.isEmpty());
    list->setResult(-1);
    list->Button2->click();
    QCOMPARE(list->result(), int(QDialog::Accepted));
    QCOMPARE(editor.ProductId, 5);
    QCOMPARE(editor.OperRowId, 6);
    QCOMPARE(editor.PiecePrice, 7.0);
    QCOMPARE(editor.Edit2->text(), "прежняя");
}

void PriceListTest::deleteRowOnly() {
    const int row = fixtures::priceRow(shelf, cutting, 0, 10);
    dm->Oper.open();
    testing::messages().answers = {true};
    list->Button3->click();
    QCOMPARE(testing::messages().shown.value(0).text, "Удалить операцию?");
    QCOMPARE(scalar("select count(*) from accounts_dep.oper").toInt(), 0);
    QCOMPARE(scalar(QString("select count(*) from accounts_dep.norm where o_id=%1").arg(row)).toInt(), 1);
}

void PriceListTest::deleteRefusedWhileRecordsUseIt() {
    // The day sheets find a record's operation through the row: while records use it, it stays.
    const int row = fixtures::priceRow(shelf, cutting, 0, 10);
    const int worker = fixtures::worker("Иванов");
    for (int day : {4, 5})
        fixtures::record({.worker = worker, .priceRow = row, .date = QDate(2024, 3, day)});
    dm->Oper.open();
    testing::messages().answers = {true};
    list->Button3->click();
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].kind, "error");
    QVERIFY2(testing::messages().shown[0].text.contains("(2)"),
             qPrintable(testing::messages().shown[0].text));
    QCOMPARE(scalar("select count(*) from accounts_dep.oper").toInt(), 1);
    QCOMPARE(scalar("select count(*) from accounts_dep.smena").toInt(), 2);
    fixtures::exec("delete from accounts_dep.smena");
}

void PriceListTest::exportReadsBack() {
    fixtures::priceRow(shelf, cutting, 1, 10);
    fixtures::exec(
        QString("insert into accounts_dep.oper(i_id, vid, naimen, cena_new) values (%1, %2, 0, 12.5)")
            .arg(cabinet)
            .arg(painting));
    desk.viewer.opened.clear();
    list->Button5->click();
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(desk.viewer.opened.size(), 1);
    const WorkbookContents book = readWorkbook(desk.viewer.opened[0]);
    QVERIFY(book.ok);
    QCOMPARE(book.cell(1, 1).text, "Марка");
    QCOMPARE(book.cell(1, 2).text, "Операция");
    QCOMPARE(book.cell(1, 3).text, "Цена");
    QCOMPARE(book.cell(1, 4).text, "Вид");
    // Every row, with or without norms, priced by cena_new.
    QCOMPARE(book.cell(2, 1).text, "СТ-112");
    QCOMPARE(book.cell(2, 2).text, "Резка");
    QCOMPARE(book.cell(2, 3).text, "0");
    QVERIFY(book.cell(2, 3).number);
    QCOMPARE(book.cell(2, 4).text, "Заготовки");
    QCOMPARE(book.cell(3, 1).text, "ШМ-200");
    QCOMPARE(book.cell(3, 3).text, "12.5");
    QCOMPARE(book.cell(3, 4).text, "Готовая продукция");
    QVERIFY(!book.cells.contains({4, 1}));
}

QTEST_MAIN(PriceListTest)
#include "test_price_list.moc"
