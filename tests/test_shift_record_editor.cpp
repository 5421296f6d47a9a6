// The shift record editor: pricing a pick, rounding and the displays, the paint rule, the
// duplicate check, and the record with its timesheet day cells as saved.
#include "app/main_window.h"
#include "core/formatting.h"
#include "refbooks/workers_list.h"
#include "shift/piece_pricing.h"
#include "shift/price_list.h"
#include "shift/shift_record_editor.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "ui/data_module.h"
#include "ui/forms.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using fixtures::scalar;

class ShiftRecordEditorTest : public QObject {
    Q_OBJECT
    TDataModule6 *dm = nullptr;
    TForm1 *main = nullptr;
    TForm11 *editor = nullptr;
    int ivanov = 0, petrov = 0, cutting = 0, painting = 0, odd = 0;
    const QDate day{2024, 3, 5};

    // Picks worker and operation through the pickers, as a foreman does.
    void pick(int worker, int priceRow) {
        testing::onModal([&](QDialog *d) {
            dm->Workers.locate("id", worker);
            forms().Form5->Button2->click();
            return d->result();
        });
        editor->Button3->click();
        testing::onModal([&](QDialog *d) {
            dm->Oper.locate("id", priceRow);
            forms().Form4->Button2->click();
            return d->result();
        });
        editor->Button4->click();
    }
    // The editor as "Добавить" of the sheet prepares it, for the tests that use it directly.
    void openedFromSheet() { editor->prepareAdd(main->sheetDay(), main->currentShift()); }
    // Adds a record through "Добавить" of the main window.
    void addRecord(int worker, int priceRow, const QString &quantity, const QString &hours,
                   const QString &color = QString()) {
        main->DateT->setDate(day);
        main->DateTCloseUp();
        testing::onModal([=, this](QDialog *d) {
            pick(worker, priceRow);
            editor->Edit3->setText(quantity);
            editor->Edit6->setText(hours);
            editor->Edit5->setText(color);
            editor->Button1->click();
            return d->result();
        });
        main->Button1->click();
    }
    QVariant recordField(const QString &field, const QString &where) {
        return scalar(QString("select %1 from accounts_dep.smena where %2").arg(field, where));
    }

private slots:
    void initTestCase();
    void init();
    void pricing_data();
    void pricing();
    void roundingAndDisplay_data();
    void roundingAndDisplay();
    void storedPriceIsRounded();
    void addWritesRecordAndDayCell();
    void paintRule_data();
    void paintRule();
    void duplicates();
    void changeMovesRecord();
    void changeShowsListPrice();
    void emptyFieldsBecomeZero();
    void impossibleInputRefused_data();
    void impossibleInputRefused();
    void shiftFollowsTheCheckedButton();
    void priceFollowsTheRecordsDate_data();
    void priceFollowsTheRecordsDate();
    void storedPriceAskedAboutANewDate_data();
    void storedPriceAskedAboutANewDate();
    void typedDateAskedOnceLeft();
    void payShownAsSaved();
    void aWorkersDayHoldsTwentyFourHours_data();
    void aWorkersDayHoldsTwentyFourHours();
    void changeOfAnAcceptedRecord_data();
    void changeOfAnAcceptedRecord();
};

void ShiftRecordEditorTest::initTestCase() {
    testing::startProgram("shift_record_editor");
    dm = forms().DataModule6;
    main = forms().Form1;
    editor = forms().Form11;
    main->session.login = "31620574";
    for (int n = 1; n <= 4; ++n)
        dm->shiftQuery(n).setParam("ok", "ta");
    ivanov = fixtures::worker("Иванов И.И.");
    petrov = fixtures::worker("Петров П.П.");
    const int product = fixtures::product("СТ-101");
    cutting = fixtures::priceRow(product, fixtures::operationType("Резка"), 0, 10);
    painting = fixtures::priceRow(product, fixtures::operationType("покраска порошковая"), 0, 12.5);
    odd = fixtures::priceRow(product, fixtures::operationType("Сборка"), 1, 12.34567);
}

void ShiftRecordEditorTest::init() {
    testing::messages().clear();
    fixtures::exec("delete from accounts_dep.smena");
    fixtures::exec("delete from accounts_dep.h_tabel");
    testing::setToday(day.addDays(1));
    QLocale::setDefault(QLocale::c());
    main->FormActivate();
    main->DateT->setDate(day);
    main->DateTCloseUp();
    main->CBox1->setChecked(false);
    main->selectShift(1);
    openedFromSheet();
}

void ShiftRecordEditorTest::pricing_data() {
    QTest::addColumn<bool>("dayOff");
    QTest::addColumn<int>("shift");
    QTest::addColumn<QString>("price");
    QTest::newRow("workday, shift 1") << false << 1 << "10";
    QTest::newRow("workday, shift 2") << false << 2 << "10";
    QTest::newRow("workday, night shift") << false << 3 << "12";
    QTest::newRow("workday, overtime") << false << 4 << "15";
    QTest::newRow("day off, shift 1") << true << 1 << "20";
    QTest::newRow("day off, shift 2") << true << 2 << "20";
    QTest::newRow("day off, night shift") << true << 3 << "24";
    QTest::newRow("day off, overtime") << true << 4 << "30";
}

void ShiftRecordEditorTest::pricing() {
    QFETCH(bool, dayOff);
    QFETCH(int, shift);
    QFETCH(QString, price);
    main->CBox1->setChecked(dayOff);
    main->selectShift(shift);
    openedFromSheet();
    pick(ivanov, cutting);
    QCOMPARE(editor->OperRowId, cutting);
    QCOMPARE(editor->Edit2->text(), "СТ-101; Резка; Готовая продукция");
    QCOMPARE(editor->Edit7->text(), price);
    QCOMPARE(editor->Edit8->text(), "10");
    editor->Edit3->setText("4");
    editor->Edit6->setText("8");
    editor->Button1->click();
    // Stored as shown: no decimal point for whole prices.
    QCOMPARE(recordField("cena::text", "true").toString(), price);
    QCOMPARE(recordField("smena", "true").toInt(), shift);
}

void ShiftRecordEditorTest::roundingAndDisplay_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::newRow("four decimals") << 12.34567 << "12,3457"
                                   << "12.3457";
    QTest::newRow("whole") << 30.0 << "30"
                           << "30";
    // Exact halves go to the even neighbour.
    QTest::newRow("half down to even") << 1.03125 << "1,0312"
                                       << "1.0312";
    QTest::newRow("half up to even") << 1.09375 << "1,0938"
                                     << "1.0938";
    QTest::newRow("trailing zeros dropped") << 2.5 << "2,5"
                                            << "2.5";
}

void ShiftRecordEditorTest::roundingAndDisplay() {
    QFETCH(double, value);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(priceDisplay(round4(value)), shown);
    QCOMPARE(priceSql(round4(value)), stored);
}

void ShiftRecordEditorTest::storedPriceIsRounded() {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    pick(ivanov, odd);
    QCOMPARE(editor->Edit7->text(), "12,3457");
    editor->Edit3->setText("10");
    editor->Edit6->setText("8");
    editor->recomputeDisplays();
    QCOMPARE(editor->Edit9->text(), "123,4567");
    editor->Button1->click();
    QCOMPARE(recordField("cena::text", "true").toString(), "12.3457");
}

void ShiftRecordEditorTest::addWritesRecordAndDayCell() {
    addRecord(ivanov, cutting, "40", "5");
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(recordField("count(*)", "true").toInt(), 1);
    QCOMPARE(recordField("kol_vo::text", "true").toString(), "40");
    QCOMPARE(recordField("ok", "true").toString(), "no");
    QCOMPARE(recordField("data", "true").toDate(), day);
    QCOMPARE(recordField("vvod", "true").toDateTime().date(), day.addDays(1));
    QCOMPARE(recordField("color", "true").toInt(), 0);
    // The first record of the month inserts the row with only its day set.
    QCOMPARE(fixtures::dayCell(ivanov, 1, day).toInt(), 5);
    QCOMPARE(scalar("select count(*) from accounts_dep.h_tabel").toInt(), 1);
    QVERIFY(fixtures::dayCell(ivanov, 1, day.addDays(1)).isNull());
    // The sheet shows today again after the editor closed; the record is on its day.
    QCOMPARE(main->DateT->date(), day.addDays(1));

    // A second record of the same day: the cell holds the total.
    main->DateT->setDate(day);
    main->DateTCloseUp();
    addRecord(ivanov, odd, "10", "3");
    QCOMPARE(fixtures::dayCell(ivanov, 1, day).toInt(), 8);
    QCOMPARE(scalar("select count(*) from accounts_dep.h_tabel").toInt(), 1);
    QVERIFY(editor->Edit1->text().isEmpty());
}

void ShiftRecordEditorTest::paintRule_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("color");
    QTest::addColumn<bool>("colorEnabled");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("storedColor");
    // "краска" in any letter case makes the colour required.
    QTest::newRow("paint without colour") << 1 << "" << true << false << 0;
    QTest::newRow("paint with colour") << 1 << "1026" << true << true << 1026;
    QTest::newRow("other operation") << 0 << "" << false << true << 0;
}

void ShiftRecordEditorTest::paintRule() {
    QFETCH(int, row);
    QFETCH(QString, color);
    QFETCH(bool, colorEnabled);
    QFETCH(bool, saved);
    QFETCH(int, storedColor);
    editor->Edit5->setText("777");
    pick(ivanov, row ? painting : cutting);
    QCOMPARE(editor->Edit5->isEnabled(), colorEnabled);
    QCOMPARE(editor->Label6->isEnabled(), colorEnabled);
    if (!colorEnabled)
        QVERIFY(editor->Edit5->text().isEmpty());
    editor->Edit5->setText(color);
    editor->Edit3->setText("5");
    editor->Edit6->setText("2");
    editor->Button1->click();
    QCOMPARE(recordField("count(*)", "true").toInt(), saved ? 1 : 0);
    if (saved) {
        QCOMPARE(recordField("color", "true").toInt(), storedColor);
    } else {
        QCOMPARE(testing::messages().shown.value(0).text, "Все поля должны быть заполнены!");
        QCOMPARE(editor->Edit3->text(), "5");
    }
}

void ShiftRecordEditorTest::duplicates() {
    addRecord(ivanov, cutting, "40", "5");
    addRecord(ivanov, cutting, "10", "1");
    QCOMPARE(testing::messages().shown.value(0).text, "Позиция с такими параметрами уже заведена!");
    QCOMPARE(testing::messages().shown.value(0).title, "Ошибка");
    QCOMPARE(recordField("count(*)", "true").toInt(), 1);
    editor->reject();

    // Changing a record without touching the compared fields is accepted: it excludes itself.
    testing::messages().clear();
    main->DateT->setDate(day);
    main->DateTCloseUp();
    testing::onModal([&](QDialog *d) {
        editor->Edit3->setText("41");
        editor->Button1->click();
        return d->result();
    });
    main->Button2->click();
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(recordField("kol_vo::text", "true").toString(), "41");
}

void ShiftRecordEditorTest::changeMovesRecord() {
    addRecord(ivanov, cutting, "40", "5");
    main->DateT->setDate(day);
    main->DateTCloseUp();
    addRecord(ivanov, odd, "10", "3");
    QCOMPARE(fixtures::dayCell(ivanov, 1, day).toInt(), 8);
    fixtures::exec("update accounts_dep.smena set prize=5, id_doc=7, vvod='01.01.2020'");

    // Move the three-hour record to Petrov.
    main->DateT->setDate(day);
    main->DateTCloseUp();
    QVERIFY(dm->Smena1.locate("o_id", odd));
    testing::onModal([&](QDialog *d) {
        testing::onModal([&](QDialog *list) {
            dm->Workers.locate("id", petrov);
            forms().Form5->Button2->click();
            return list->result();
        });
        editor->Button3->click();
        editor->Button1->click();
        return d->result();
    });
    main->Button2->click();
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(fixtures::dayCell(ivanov, 1, day).toInt(), 5);
    QCOMPARE(fixtures::dayCell(petrov, 1, day).toInt(), 3);
    const QString moved = QString("o_id=%1").arg(odd);
    QCOMPARE(recordField("w_id", moved).toInt(), petrov);
    // Saving resets the entry day, the bonus and the links.
    QCOMPARE(recordField("vvod", moved).toDateTime().date(), day.addDays(1));
    QCOMPARE(recordField("prize", moved).toInt(), 0);
    QCOMPARE(recordField("id_doc", moved).toInt(), 0);
    QCOMPARE(recordField("ok", moved).toString(), "no");
}

void ShiftRecordEditorTest::changeShowsListPrice() {
    // Entered as a day off: the stored price is twice the list price.
    main->DateT->setDate(day);
    main->DateTCloseUp();
    main->CBox1->setChecked(true);
    testing::onModal([&](QDialog *d) {
        pick(ivanov, cutting);
        editor->Edit3->setText("40");
        editor->Edit6->setText("5");
        editor->Button1->click();
        return d->result();
    });
    main->Button1->click();
    main->DateT->setDate(day);
    main->DateTCloseUp();
    QString base, final;
    testing::onModal([&](QDialog *) {
        base = editor->Edit8->text();
        final = editor->Edit7->text();
        return int(QDialog::Rejected);
    });
    main->Button2->click();
    QCOMPARE(base, "10");
    QCOMPARE(final, "20");
    QCOMPARE(editor->windowTitle(), "Изменение данных о позиции (11)");
}

void ShiftRecordEditorTest::impossibleInputRefused_data() {
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("defects");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<int>("monthsAhead");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("saved");
    QTest::newRow("more defects than pieces")
        << "5"
        << "6"
        << "8" << 0 << false << "Брак не может быть больше количества!" << false;
    QTest::newRow("all pieces defective") << "5"
                                          << "5"
                                          << "8" << 0 << false << "" << true;
    QTest::newRow("more than a day's hours")
        << "5"
        << "0"
        << "99" << 0 << false << "В одной записи не может быть больше 24 часов!" << false;
    QTest::newRow("a whole day") << "5"
                                 << "0"
                                 << "24" << 0 << false << "" << true;
    // More than a year back is most often a slip of the year; no pieces pays nothing: both asked.
    QTest::newRow("over a year back, No") << "5"
                                          << "0"
                                          << "8" << -13 << false << "question:больше чем на год" << false;
    QTest::newRow("over a year back, Yes") << "5"
                                           << "0"
                                           << "8" << -13 << true << "question:больше чем на год" << true;
    QTest::newRow("no pieces, No") << "0"
                                   << "0"
                                   << "8" << 0 << false << "question:0 штук" << false;
    QTest::newRow("no pieces, Yes") << "0"
                                    << "0"
                                    << "8" << 0 << true << "question:0 штук" << true;
    // Numbers that are not whole counts are refused as typed, never read as other numbers.
    const QString hoursMessage = "Время: целое число часов от 0 до 24, без запятых и знаков (введено: «%1»).";
    const QString piecesMessage =
        "Кол-во: целое число штук от 0 до 1000000, без запятых и знаков (введено: «%1»).";
    QTest::newRow("hours with a comma") << "5"
                                        << "0"
                                        << "1,5" << 0 << false << hoursMessage.arg("1,5") << false;
    QTest::newRow("pieces with a comma") << "2,5"
                                         << "0"
                                         << "8" << 0 << false << piecesMessage.arg("2,5") << false;
    QTest::newRow("negative pieces") << "-3"
                                     << "0"
                                     << "8" << 0 << false << piecesMessage.arg("-3") << false;
    QTest::newRow("pieces past any day") << "99999999999"
                                         << "0"
                                         << "8" << 0 << false << piecesMessage.arg("99999999999") << false;
    QTest::newRow("defects with a point")
        << "5"
        << "0.5"
        << "8" << 0 << false << "Брак: целое число штук, без запятых и знаков (введено: «0.5»)." << false;
    // A million pieces at 10: more than a record may be paid, and more than the month's views sum.
    QTest::newRow("pay past a record's bound")
        << "1000000"
        << "0"
        << "8" << 0 << false
        << "Сумма записи 10000000.00 больше, чем может быть начислено за одну запись (1000000.00): проверьте "
           "количество и цену."
        << false;
    // A date in a month that has not begun is asked about; No keeps the editor open.
    QTest::newRow("next month, No") << "5"
                                    << "0"
                                    << "8" << 1 << false << "question:ещё не наступил" << false;
    QTest::newRow("next month, Yes") << "5"
                                     << "0"
                                     << "8" << 1 << true << "question:ещё не наступил" << true;
}

void ShiftRecordEditorTest::impossibleInputRefused() {
    QFETCH(QString, quantity);
    QFETCH(QString, defects);
    QFETCH(QString, hours);
    QFETCH(int, monthsAhead);
    QFETCH(bool, answer);
    QFETCH(QString, message);
    QFETCH(bool, saved);
    pick(ivanov, cutting);
    editor->DTimeP->setDate(QDate(day.year(), day.month(), 1).addMonths(monthsAhead).addDays(3));
    for (const auto &[field, text] : {std::pair{editor->Edit3, quantity}, std::pair{editor->Edit4, defects},
                                      std::pair{editor->Edit6, hours}}) {
        field->clear();
        testing::typeText(field, text);
    }
    testing::messages().answers = {answer};
    editor->setResult(-1);
    editor->Button1->click();
    QCOMPARE(recordField("count(*)", "true").toInt(), saved ? 1 : 0);
    QCOMPARE(editor->result(), saved ? int(QDialog::Accepted) : -1);
    if (message.isEmpty()) {
        QVERIFY(testing::messages().shown.isEmpty());
    } else if (message.startsWith("question:")) {
        QCOMPARE(testing::messages().shown.value(0).kind, "question");
        QVERIFY2(testing::messages().shown.value(0).text.contains(message.mid(9)),
                 qPrintable(testing::messages().shown.value(0).text));
    } else {
        QCOMPARE(testing::messages().shown.value(0).text, message);
        QCOMPARE(testing::messages().shown.value(0).title, "Ошибка");
    }
}

void ShiftRecordEditorTest::emptyFieldsBecomeZero() {
    editor->Edit3->clear();
    editor->Edit6->clear();
    editor->recomputeDisplays();
    QCOMPARE(editor->Edit3->text(), "0");
    QCOMPARE(editor->Edit6->text(), "0");
    // What is typed stays as typed: a field that dropped the comma of "1,2" by itself would save
    // 12 without a word (the save refuses it with a message instead).
    editor->Edit4->clear();
    testing::typeText(editor->Edit4, "1a,2");
    QCOMPARE(editor->Edit4->text(), "1a,2");
}

void ShiftRecordEditorTest::shiftFollowsTheCheckedButton() {
    // A screen reader's toggle (or the keyboard) checks the button without a click: the sheet,
    // the mark and the stored shift follow the checked state all the same.
    testing::setToday(day);
    main->RadioButton3->toggle();
    QCOMPARE(main->ShiftNumber, 3);
    QCOMPARE(main->DBGrid2->model(), main->DataSource3);
    QVERIFY(main->RadioButton3->styleSheet().contains("green"));
    QVERIFY(main->RadioButton1->styleSheet().isEmpty());
    addRecord(ivanov, cutting, "4", "8");
    QCOMPARE(recordField("smena", QString("w_id=%1").arg(ivanov)).toInt(), 3);
    QCOMPARE(recordField("cena", QString("w_id=%1").arg(ivanov)).toString(), "12");
    QCOMPARE(fixtures::dayCell(ivanov, 3, day).toInt(), 8);
    QCOMPARE(dm->Smena3.recordCount(), 1);
    QCOMPARE(main->DBGrid2->model()->rowCount(), 1);
}

void ShiftRecordEditorTest::priceFollowsTheRecordsDate_data() {
    QTest::addColumn<int>("shift");
    QTest::addColumn<QDate>("newDate");
    QTest::addColumn<QString>("price");
    const QDate sunday(2024, 3, 10), wednesday(2024, 3, 6);
    // Picked on the sheet's Tuesday; the editor's date then moves.
    QTest::newRow("to a sunday") << 1 << sunday << "20";
    QTest::newRow("to a sunday, night shift") << 3 << sunday << "24";
    QTest::newRow("to another weekday") << 1 << wednesday << "10";
    QTest::newRow("to a sunday and back") << 1 << QDate(day) << "10";
}

// The day-off factor follows the record's date, not the box of the day the sheet showed: a record
// moved to a Sunday after its operation was picked is priced for the Sunday.
void ShiftRecordEditorTest::priceFollowsTheRecordsDate() {
    QFETCH(int, shift);
    QFETCH(QDate, newDate);
    QFETCH(QString, price);
    main->selectShift(shift);
    openedFromSheet();
    pick(ivanov, cutting);
    if (newDate == day)
        editor->DTimeP->setDate(QDate(2024, 3, 10));
    editor->DTimeP->setDate(newDate);
    QCOMPARE(editor->Edit7->text(), price);
    QTest::keyClicks(editor->Edit3, "4");
    editor->Edit6->setText("8");
    editor->Button1->click();
    QCOMPARE(recordField("cena::text", "true").toString(), price);
    QCOMPARE(recordField("data", "true").toDate(), newDate);
}

void ShiftRecordEditorTest::storedPriceAskedAboutANewDate_data() {
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("price");
    QTest::newRow("yes: priced for the sunday") << true << "20";
    QTest::newRow("no: the price stays") << false << "10";
}

// A stored record moved to a Sunday: its price came from the record, so the user is asked.
void ShiftRecordEditorTest::storedPriceAskedAboutANewDate() {
    QFETCH(bool, answer);
    QFETCH(QString, price);
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = day, .price = 10});
    main->DateTCloseUp();
    QVERIFY(dm->Smena1.recordCount() == 1);
    testing::messages().answers = {answer};
    testing::onModal([&](QDialog *d) {
        editor->DTimeP->setDate(QDate(2024, 3, 10));
        editor->Button1->click();
        return d->result();
    });
    main->Button2->click();
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].kind, "question");
    QCOMPARE(testing::messages().shown[0].text,
             "Дата записи изменена на 10.03.2024 (выходной день). Цена 10 рассчитана для рабочего дня. "
             "Пересчитать цену: 20?");
    QCOMPARE(recordField("cena::text", "true").toString(), price);
}

// A date typed part by part passes through other days: the question comes once, for the date
// typed, when the field is left, not at its first digit.
void ShiftRecordEditorTest::typedDateAskedOnceLeft() {
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = day, .price = 10});
    main->DateTCloseUp();
    int whileTyping = -1;
    bool exposed = false;
    testing::messages().answers = {true};
    testing::onModal([&](QDialog *d) {
        d->show();
        exposed = QTest::qWaitForWindowExposed(d);
        d->activateWindow();
        editor->DTimeP->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(editor->DTimeP, "10.03.2024");
        whileTyping = int(testing::messages().shown.size());
        QTest::keyClick(editor->DTimeP, Qt::Key_Tab);
        editor->Button1->click();
        d->hide();
        return d->result();
    });
    main->Button2->click();
    QVERIFY(exposed);
    QCOMPARE(whileTyping, 0);
    QCOMPARE(testing::messages().shown.size(), 1);
    QVERIFY(
        testing::messages().shown[0].text.startsWith("Дата записи изменена на 10.03.2024 (выходной день)"));
    QCOMPARE(recordField("cena::text", "true").toString(), "20");
    QCOMPARE(recordField("data", "true").toDate(), QDate(2024, 3, 10));
}

// Beside "Сумма" (every piece at the final price, as it always was) the editor shows what will be
// paid: good pieces at the price as saved, with its factors, to the kopeck the sheet shows.
void ShiftRecordEditorTest::payShownAsSaved() {
    main->DateT->setDate(QDate(2024, 3, 10));
    main->DateTCloseUp();
    main->selectShift(3);
    QString pay, spoken;
    testing::onModal([&](QDialog *d) {
        pick(ivanov, odd);
        QTest::keyClicks(editor->Edit3, "20");
        QTest::keyClick(editor->Edit3, Qt::Key_Return);
        editor->Edit4->clear();
        QTest::keyClicks(editor->Edit4, "2");
        QTest::keyClick(editor->Edit4, Qt::Key_Return);
        editor->Edit6->setText("8");
        pay = editor->LabelPay->text();
        spoken = editor->LabelPay->accessibleName();
        editor->Button1->click();
        return d->result();
    });
    main->Button1->click();
    QCOMPARE(pay, "к начислению: (20 - 2) шт. x 29.6296 (12.3457 x 2 x 1.2) = 533.33");
    QCOMPARE(spoken, pay);
    // The sheet of that day shows the same money.
    main->DateT->setDate(QDate(2024, 3, 10));
    main->DateTCloseUp();
    Dataset &sheet = dm->shiftQuery(3);
    QCOMPARE(sheet.recordCount(), 1);
    QCOMPARE(moneyText(sheet.value("summa")), "533.33");
}

void ShiftRecordEditorTest::aWorkersDayHoldsTwentyFourHours_data() {
    QTest::addColumn<int>("shift");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<bool>("change"); // change the 16-hour record instead of adding one
    QTest::addColumn<QString>("message");
    // Иванов has 16 h in shift 1 and 4 h of household work on the day.
    QTest::newRow("another shift, 4 h: 24 in all") << 2 << "4" << false << "";
    QTest::newRow("another shift, 5 h: 25 in all")
        << 2 << "5" << false
        << "У работника Иванов И.И. за 05.03.2024 уже записано 20 ч во всех сменах и хоз. работах; с этой "
           "записью будет 25 ч, а в сутках 24 часа.";
    // A change counts the record once: its old hours are not added to the new.
    QTest::newRow("the 16 h record changed to 20") << 1 << "20" << true << "";
    QTest::newRow("the 16 h record changed to 21")
        << 1 << "21" << true
        << "У работника Иванов И.И. за 05.03.2024 уже записано 4 ч во всех сменах и хоз. работах; с этой "
           "записью будет 25 ч, а в сутках 24 часа.";
}

// One worker's hours of one day, over all shifts and household work, may not pass 24.
void ShiftRecordEditorTest::aWorkersDayHoldsTwentyFourHours() {
    QFETCH(int, shift);
    QFETCH(QString, hours);
    QFETCH(bool, change);
    QFETCH(QString, message);
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = day, .shift = 1, .hours = 16});
    fixtures::entry({.worker = ivanov, .date = day, .hours = 4});
    main->selectShift(shift);
    main->DateTCloseUp();
    testing::onModal([&](QDialog *d) {
        if (!change)
            pick(ivanov, cutting);
        editor->Edit3->setText("7");
        editor->Edit6->setText(hours);
        editor->Button1->click();
        return d->result();
    });
    (change ? main->Button2 : main->Button1)->click();
    QCOMPARE(testing::messages().shown.value(0).text, message);
    QCOMPARE(recordField("sum(time)", "true").toInt(),
             message.isEmpty() ? (change ? 0 : 16) + hours.toInt() : 16);
    fixtures::exec("delete from accounts_dep.fatigue");
}

void ShiftRecordEditorTest::changeOfAnAcceptedRecord_data() {
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("pieces");
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("told");
    // The warehouse accepted 10 pieces: other pieces are a record it has not accepted.
    QTest::newRow("accepted, pieces changed") << "ok"
                                              << "12"
                                              << "8"
                                              << "no" << true;
    QTest::newRow("accepted, hours changed") << "ok"
                                             << "10"
                                             << "6"
                                             << "ok" << false;
    QTest::newRow("not accepted, pieces changed") << "no"
                                                  << "12"
                                                  << "8"
                                                  << "no" << false;
}

// A change of what the warehouse accepted (pieces, defects, product, operation) clears the mark
// and says so; the warehouse accepts the changed record again.
void ShiftRecordEditorTest::changeOfAnAcceptedRecord() {
    QFETCH(QString, mark);
    QFETCH(QString, pieces);
    QFETCH(QString, hours);
    QFETCH(QString, after);
    QFETCH(bool, told);
    fixtures::record(
        {.worker = ivanov, .priceRow = cutting, .date = day, .quantity = 10, .hours = 8, .ok = mark});
    main->DateTCloseUp();
    testing::onModal([&](QDialog *d) {
        editor->Edit3->setText(pieces);
        editor->Edit6->setText(hours);
        editor->Button1->click();
        return d->result();
    });
    main->Button2->click();
    QCOMPARE(recordField("ok", "true").toString(), after);
    QCOMPARE(recordField("kol_vo::int", "true").toInt(), pieces.toInt());
    QCOMPARE(testing::messages().shown.size(), told ? 1 : 0);
    if (told)
        QCOMPARE(testing::messages().shown[0].text,
                 "Запись была принята складом. Изменены количество, брак, изделие или операция, поэтому "
                 "отметка приёмки снята: склад примет запись заново.");
}

QTEST_MAIN(ShiftRecordEditorTest)
#include "test_shift_record_editor.moc"
