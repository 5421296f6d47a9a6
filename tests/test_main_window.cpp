// The daily shift sheet: what activation and the date picker show, acceptance by double-click,
// and delete with the rewrite of the worker's day cell.
#include "app/main_window.h"
#include "shift/shift_record_editor.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "timesheet/monthly_timesheet.h"
#include "ui/data_module.h"
#include "ui/dataset_model.h"
#include "ui/forms.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTableView>
#include <QTest>

using fixtures::Record;

class MainWindowTest : public QObject {
    Q_OBJECT
    TForm1 *main = nullptr;
    int ivanov = 0, petrov = 0, onil = 0;
    int cutting = 0, painting = 0;
    const QDate tuesday{2024, 3, 5};
    const QDate saturday{2024, 3, 9};

    void login(const QString &text) {
        main->session = Session{};
        main->session.login = text;
        main->session.role = roleForLogin(text);
    }
    void showDay(const QDate &day) {
        testing::setToday(day);
        main->FormActivate();
    }
    void writeCell(int worker, int shift, const QDate &date, const QString &value) {
        fixtures::exec(QString("insert into accounts_dep.h_tabel(smena, w_id, month, year, d%1, d%2) "
                               "values(%3, %4, %5, %6, %7, 4)")
                           .arg(date.day())
                           .arg(date.day() == 1 ? 2 : 1)
                           .arg(shift)
                           .arg(worker)
                           .arg(date.month())
                           .arg(date.year())
                           .arg(value));
    }

private slots:
    void initTestCase();
    void init();
    void dayOffFollowsTheDay_data();
    void dayOffFollowsTheDay();
    void shiftListsShowTheDay();
    void acceptance_data();
    void acceptance();
    void foremanDoubleClickDoesNothing();
    void deleteRewritesDayCell_data();
    void deleteRewritesDayCell();
    void deleteAnsweredNo();
    void deleteOfAnAcceptedRecordSaysSo();
    void deleteOnEmptyListAsksNothing();
    void failedDeleteChangesNothing();
    void changeReturnsToNotedRow();
    void datePickerReloads_data();
    void datePickerReloads();
    void okColourKeptOnSelectedRow();
    void everyGridHeadingIsReadable();
};

void MainWindowTest::initTestCase() {
    testing::startProgram("main_window");
    main = forms().Form1;
    for (int n = 1; n <= 4; ++n)
        forms().DataModule6->shiftQuery(n).setParam("ok", "ta");
    ivanov = fixtures::worker("Иванов И.И.");
    petrov = fixtures::worker("Петров П.П.");
    onil = fixtures::worker("О'Нил Д.");
    const int product = fixtures::product("СТ-101");
    cutting = fixtures::priceRow(product, fixtures::operationType("Резка"), 1, 10);
    painting = fixtures::priceRow(product, fixtures::operationType("ПОКРАСКА"), 0, 12.5);
}

void MainWindowTest::init() {
    testing::messages().clear();
    fixtures::exec("delete from accounts_dep.smena");
    fixtures::exec("delete from accounts_dep.h_tabel");
    main->CBox1->setChecked(false);
    main->selectShift(1);
    login("31620574");
}

void MainWindowTest::dayOffFollowsTheDay_data() {
    QTest::addColumn<QDate>("shownBefore");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<bool>("tickedBefore");
    QTest::addColumn<bool>("afterActivation");
    QTest::addColumn<bool>("afterPicking");
    const QDate tuesday(2024, 3, 5), sunday(2024, 3, 10);
    // On the same day activation only ever ticks the box (a holiday ticked by the user stays);
    // picking a date sets it from the day.
    QTest::newRow("saturday") << QDate(2024, 3, 9) << QDate(2024, 3, 9) << false << true << true;
    QTest::newRow("sunday") << sunday << sunday << false << true << true;
    QTest::newRow("weekday, box clear") << tuesday << tuesday << false << false << false;
    QTest::newRow("weekday, box ticked") << tuesday << tuesday << true << true << false;
    // Back to today from another day: the box takes today's state, or the next record, saved on a
    // weekday, would be paid double.
    QTest::newRow("from a sunday back to a weekday") << sunday << tuesday << true << false << false;
    QTest::newRow("from a weekday back to a sunday") << tuesday << sunday << false << true << true;
}

void MainWindowTest::dayOffFollowsTheDay() {
    QFETCH(QDate, shownBefore);
    QFETCH(QDate, day);
    QFETCH(bool, tickedBefore);
    QFETCH(bool, afterActivation);
    QFETCH(bool, afterPicking);
    main->DateT->setDate(shownBefore);
    main->CBox1->setChecked(tickedBefore);
    testing::setToday(day);
    main->FormActivate();
    QCOMPARE(main->DateT->date(), day);
    QCOMPARE(main->CBox1->isChecked(), afterActivation);
    main->DateTCloseUp();
    QCOMPARE(main->CBox1->isChecked(), afterPicking);
    QCOMPARE(forms().DataModule6->Smena1.param("data").toDate(), day);
}

void MainWindowTest::shiftListsShowTheDay() {
    fixtures::record({.worker = petrov,
                      .priceRow = cutting,
                      .date = tuesday,
                      .quantity = 10,
                      .defects = 1,
                      .ok = "ok",
                      .price = 1.005});
    fixtures::record({.worker = onil, .priceRow = painting, .date = tuesday, .ok = "no", .color = 1026});
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = tuesday, .shift = 3});
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = tuesday, .shift = 4, .hours = 2});
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = tuesday.addDays(1)});
    // A record without a mark is not listed.
    fixtures::record({.worker = ivanov, .priceRow = painting, .date = tuesday, .ok = QString()});

    // The sheet opens on today; the picker brings up the day asked for.
    showDay(tuesday.addDays(7));
    QCOMPARE(forms().DataModule6->Smena1.recordCount(), 0);
    main->DateT->setDate(tuesday);
    main->DateTCloseUp();
    TDataModule6 &dm = *forms().DataModule6;
    QCOMPARE(dm.Smena1.recordCount(), 2);
    QCOMPARE(dm.Smena2.recordCount(), 0);
    QCOMPARE(dm.Smena3.recordCount(), 1);
    QCOMPARE(dm.Smena4.recordCount(), 1);

    QAbstractItemModel *grid = main->DBGrid2->model();
    QCOMPARE(grid, main->DataSource1);
    QCOMPARE(grid->columnCount(), 12);
    QStringList titles;
    for (int c = 0; c < grid->columnCount(); ++c)
        titles << grid->headerData(c, Qt::Horizontal, Qt::AccessibleTextRole).toString();
    QCOMPARE(titles, (QStringList{"Фамилия И.О.", "Марка изделия", "Операция", "Вид", "Цвет", "Часы",
                                  "Кол-во", "Брак", "Итого (р.)", "Премия (%)", "OK", "Заведен"}));
    QVERIFY(main->DBGrid2->isColumnHidden(9));
    QCOMPARE(main->DBGrid2->columnWidth(0), 250);
    QCOMPARE(main->DBGrid2->columnWidth(11), 72);

    // Rows by name: О'Нил before Петров.
    QCOMPARE(grid->index(0, 0).data().toString(), "О'Нил Д.");
    QCOMPARE(grid->index(0, 4).data().toString(), "1026");
    QCOMPARE(grid->index(0, 3).data().toString(), "Готовая продукция");
    QCOMPARE(grid->index(1, 3).data().toString(), "Заготовки");
    // (10 - 1) * 1.005 = 9.045, rounded to 2 decimals.
    QCOMPARE(dm.Smena1.valueAt(1, dm.Smena1.fieldIndex("summa")).toString(), "9.05");
    // Money on screen always has two decimals: 10 pieces at 10 read "100.00", not "100".
    QCOMPARE(grid->index(0, 8).data().toString(), "100.00");
    QCOMPARE(grid->index(1, 8).data().toString(), "9.05");
    QCOMPARE(grid->index(1, 11).data().toString(), "05.03.2024");
    QCOMPARE(grid->index(0, 10).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    QCOMPARE(grid->index(1, 10).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::darkGreen));
    QVERIFY(grid->index(1, 10).data(Qt::FontRole).value<QFont>().bold());

    main->RadioButton3->click();
    QCOMPARE(main->ShiftNumber, 3);
    QCOMPARE(main->DBGrid2->model(), main->DataSource3);
    QVERIFY(main->RadioButton3->font().bold() || main->RadioButton3->styleSheet().contains("bold"));
    QVERIFY(main->RadioButton1->styleSheet().isEmpty());
}

void MainWindowTest::acceptance_data() {
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("key"); // 0: the double-click; else the key pressed on the row
    QTest::newRow("new record accepted") << "no"
                                         << "ok" << 0;
    // Keyboard users accept with Enter or Space on the row, as the mouse does with a double-click.
    QTest::newRow("accepted by Enter") << "no"
                                       << "ok" << int(Qt::Key_Return);
    QTest::newRow("withdrawn by Space") << "ok"
                                        << "no" << int(Qt::Key_Space);
    QTest::newRow("empty mark accepted") << ""
                                         << "ok" << 0;
    QTest::newRow("other mark accepted") << "xyz"
                                         << "ok" << 0;
    QTest::newRow("accepted withdrawn") << "ok"
                                        << "no" << 0;
    QTest::newRow("older accepted form withdrawn") << "да"
                                                   << "no" << 0;
}

void MainWindowTest::acceptance() {
    QFETCH(QString, mark);
    QFETCH(QString, after);
    QFETCH(int, key);
    login("tivon");
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = tuesday});
    fixtures::record({.worker = petrov, .priceRow = cutting, .date = tuesday, .ok = mark});
    fixtures::record({.worker = onil, .priceRow = painting, .date = tuesday});
    showDay(tuesday);
    Dataset &q = forms().DataModule6->Smena1;
    QVERIFY(q.locate("w_id", petrov));
    const int row = q.recNo();
    if (key == 0)
        main->DBGrid2DblClick();
    else
        QTest::keyClick(main->DBGrid2, Qt::Key(key));
    QCOMPARE(
        fixtures::scalar(QString("select ok from accounts_dep.smena where w_id=%1").arg(petrov)).toString(),
        after);
    QCOMPARE(q.recNo(), row);
    QCOMPARE(q.text("ok"), after);
    QCOMPARE(main->CurrentShiftQuery, &q);
    // Only that record changed.
    QCOMPARE(fixtures::scalar("select count(*) from accounts_dep.smena where ok='no'").toInt(),
             after == "no" ? 3 : 2);
}

void MainWindowTest::foremanDoubleClickDoesNothing() {
    login("quorbel");
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = tuesday});
    showDay(tuesday);
    main->DBGrid2DblClick();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space})
        QTest::keyClick(main->DBGrid2, key);
    QCOMPARE(fixtures::scalar("select ok from accounts_dep.smena").toString(), "no");
}

void MainWindowTest::deleteRewritesDayCell_data() {
    QTest::addColumn<int>("shift");
    QTest::addColumn<QList<int>>("hours");
    QTest::addColumn<QVariant>("cellAfter");
    // The last record of the day empties the cell; the other days of the row stay.
    QTest::newRow("last record") << 1 << QList<int>{8} << QVariant();
    QTest::newRow("one of several") << 1 << QList<int>{5, 3} << QVariant(3);
    QTest::newRow("overtime") << 4 << QList<int>{2, 1} << QVariant(1);
}

void MainWindowTest::deleteRewritesDayCell() {
    QFETCH(int, shift);
    QFETCH(QList<int>, hours);
    QFETCH(QVariant, cellAfter);
    int total = 0;
    const int rows[] = {cutting, painting};
    for (int i = 0; i < hours.size(); ++i) {
        fixtures::record(
            {.worker = onil, .priceRow = rows[i], .date = tuesday, .shift = shift, .hours = hours[i]});
        total += hours[i];
    }
    // Another worker's cell of the same day must not move.
    fixtures::record({.worker = ivanov, .priceRow = painting, .date = tuesday, .shift = shift, .hours = 6});
    writeCell(onil, shift, tuesday, QString::number(total));
    writeCell(ivanov, shift, tuesday, "6");

    showDay(tuesday);
    main->selectShift(shift);
    Dataset &q = forms().DataModule6->shiftQuery(shift);
    // The first of the worker's records goes: the one priced by the cutting row.
    QVERIFY(q.locate("o_id", cutting));
    QCOMPARE(q.asInt("w_id"), onil);
    testing::messages().answers = {true};
    main->Button3->click();

    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].kind, "question");
    QCOMPARE(testing::messages().shown[0].text, "Удалить позицию из списка?");
    QCOMPARE(testing::messages().shown[0].title, "Удаление");
    QCOMPARE(
        fixtures::scalar(QString("select count(*) from accounts_dep.smena where w_id=%1").arg(onil)).toInt(),
        hours.size() - 1);
    QCOMPARE(q.recordCount(), hours.size());
    const QVariant cell = fixtures::dayCell(onil, shift, tuesday);
    QCOMPARE(cell.isNull(), cellAfter.isNull());
    if (!cellAfter.isNull())
        QCOMPARE(cell.toInt(), cellAfter.toInt());
    QCOMPARE(fixtures::dayCell(onil, shift, tuesday.addDays(-4)).toInt(), 4);
    QCOMPARE(fixtures::dayCell(ivanov, shift, tuesday).toInt(), 6);
}

void MainWindowTest::deleteAnsweredNo() {
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = tuesday});
    showDay(tuesday);
    testing::messages().answers = {false};
    main->Button3->click();
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(fixtures::scalar("select count(*) from accounts_dep.smena").toInt(), 1);
    QCOMPARE(forms().DataModule6->Smena1.recordCount(), 1);
}

// Deleting an accepted record: the question says it is accepted.
void MainWindowTest::deleteOfAnAcceptedRecordSaysSo() {
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = tuesday, .ok = "ok"});
    showDay(tuesday);
    testing::messages().answers = {false};
    main->Button3->click();
    QCOMPARE(testing::messages().shown.value(0).text, "Позиция принята складом. Удалить позицию из списка?");
    QCOMPARE(fixtures::scalar("select count(*) from accounts_dep.smena").toInt(), 1);
}

void MainWindowTest::deleteOnEmptyListAsksNothing() {
    showDay(tuesday);
    main->Button3->click();
    main->Button2->click();
    QVERIFY(testing::messages().shown.isEmpty());
}

void MainWindowTest::failedDeleteChangesNothing() {
    // The day-cell write fails: the delete must not stay behind alone, and the window goes on.
    fixtures::exec("create function accounts_dep.refuse() returns trigger language plpgsql as "
                   "$$ begin raise exception 'timesheet is locked'; end $$");
    fixtures::exec("create trigger refuse before update on accounts_dep.h_tabel "
                   "for each row execute function accounts_dep.refuse()");
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = saturday});
    fixtures::record({.worker = ivanov, .priceRow = painting, .date = saturday, .hours = 2});
    writeCell(ivanov, 1, saturday, "10");
    showDay(saturday);
    testing::messages().answers = {true};
    main->Button3->click();
    fixtures::exec("drop trigger refuse on accounts_dep.h_tabel");

    QCOMPARE(testing::messages().shown.size(), 2);
    QCOMPARE(testing::messages().shown[1].kind, "error");
    QVERIFY2(testing::messages().shown[1].text.contains("timesheet is locked"),
             qPrintable(testing::messages().shown[1].text));
    QCOMPARE(fixtures::scalar("select count(*) from accounts_dep.smena").toInt(), 2);
    QCOMPARE(fixtures::dayCell(ivanov, 1, saturday).toInt(), 10);

    // The next action works.
    testing::messages().clear();
    testing::messages().answers = {true};
    main->Button3->click();
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(fixtures::scalar("select count(*) from accounts_dep.smena").toInt(), 1);
    QCOMPARE(forms().DataModule6->Smena1.recordCount(), 1);
}

void MainWindowTest::changeReturnsToNotedRow() {
    for (int worker : {ivanov, petrov, onil})
        fixtures::record({.worker = worker, .priceRow = cutting, .date = tuesday});
    showDay(tuesday);
    Dataset &q = forms().DataModule6->Smena1;
    q.moveTo(2);
    const QString fio = q.text("fio");
    TForm11 &editor = *forms().Form11;
    testing::onModal([&](QDialog *d) {
        editor.Edit3->setText("25");
        editor.Button1->click();
        return d->result();
    });
    main->Button2->click();
    QCOMPARE(fixtures::scalar("select count(*) from accounts_dep.smena where kol_vo=25").toInt(), 1);
    QCOMPARE(q.recNo(), 2);
    QCOMPARE(q.text("fio"), fio);
    QCOMPARE(main->DBGrid2->currentIndex().row(), 1);
}

void MainWindowTest::datePickerReloads_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Enter in the field") << "enter";
    QTest::newRow("calendar closed with Esc") << "escape";
    QTest::newRow("calendar closed by a click outside") << "outside";
}

void MainWindowTest::datePickerReloads() {
    QFETCH(QString, how);
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = tuesday});
    testing::setToday(saturday);
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    QCOMPARE(forms().DataModule6->Smena1.param("data").toDate(), saturday);
    main->DateT->setFocus();
    // The date is changed by keyboard: four days back. The lists follow each change at once, so
    // "Добавить" can never save to a day they do not show.
    main->DateT->setCurrentSection(QDateTimeEdit::DaySection);
    Dataset &first = forms().DataModule6->Smena1;
    for (int i = 1; i <= 4; ++i) {
        QTest::keyClick(main->DateT, Qt::Key_Down);
        QCOMPARE(first.param("data").toDate(), saturday.addDays(-i));
    }
    QCOMPARE(main->DateT->date(), tuesday);
    QCOMPARE(first.recordCount(), 1);
    // Closing the field (Enter, the calendar) reads nothing a second time.
    int reads = 0;
    const auto counting = connect(&first, &Dataset::rowsReset, this, [&] { ++reads; });
    if (how == "enter") {
        QTest::keyClick(main->DateT, Qt::Key_Return);
    } else {
        // The drop-down arrow opens the calendar.
        QTest::mouseClick(main->DateT, Qt::LeftButton, {},
                          QPoint(main->DateT->width() - 5, main->DateT->height() / 2));
        QWidget *popup = main->DateT->calendarWidget()->window();
        QVERIFY(popup != main);
        QTRY_VERIFY(popup->isVisible());
        if (how == "escape")
            QTest::keyClick(main->DateT->calendarWidget(), Qt::Key_Escape);
        else
            popup->close(); // what a click outside a popup does
        QTRY_VERIFY(!popup->isVisible());
    }
    QTest::qWait(50);
    disconnect(counting);
    QCOMPARE(reads, 0);
    QCOMPARE(first.param("data").toDate(), tuesday);
    QCOMPARE(first.recordCount(), 1);
    QVERIFY(!main->CBox1->isChecked());
    main->hide();
}

void MainWindowTest::okColourKeptOnSelectedRow() {
    fixtures::record({.worker = ivanov, .priceRow = cutting, .date = tuesday, .ok = "no"});
    fixtures::record({.worker = petrov, .priceRow = cutting, .date = tuesday, .ok = "ok"});
    showDay(tuesday);
    QAbstractItemModel *grid = main->DBGrid2->model();
    for (int row = 0; row < 2; ++row) {
        const QModelIndex index = grid->index(row, 10);
        const QColor expected = row == 0 ? QColor(Qt::red) : QColor(Qt::darkGreen);
        QStyleOptionViewItem option;
        option.initFrom(main->DBGrid2);
        option.rect = QRect(0, 0, 37, 20);
        option.state |= QStyle::State_Selected | QStyle::State_Active;
        QImage image(37, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        main->DBGrid2->itemDelegateForIndex(index)->paint(&painter, option, index);
        painter.end();
        int own = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (qAbs(c.red() - expected.red()) < 40 && qAbs(c.green() - expected.green()) < 40 &&
                    qAbs(c.blue() - expected.blue()) < 40)
                    ++own;
            }
        QVERIFY2(own > 5, qPrintable(QString("row %1: %2 pixels of the mark's colour").arg(row).arg(own)));
    }
}

void MainWindowTest::everyGridHeadingIsReadable() {
    // Every grid of every window, its headings at the widths the window gives: each line of a
    // heading fits its column, and the heading row is tall enough for its lines.
    showDay(tuesday);
    TForm27 &monthly = *forms().Form27;
    monthly.prepare(TForm27::Piecework, tuesday);
    QStringList cut;
    for (QWidget *w : QApplication::allWidgets()) {
        auto *grid = qobject_cast<QTableView *>(w);
        if (!grid || !grid->model())
            continue;
        QHeaderView *header = grid->horizontalHeader();
        QAbstractItemModel *m = grid->model();
        const int margin = 2 * grid->style()->pixelMetric(QStyle::PM_HeaderMargin);
        for (int c = 0; c < m->columnCount(); ++c) {
            if (grid->isColumnHidden(c))
                continue;
            const QString heading = m->headerData(c, Qt::Horizontal).toString();
            const QVariant font = m->headerData(c, Qt::Horizontal, Qt::FontRole);
            const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : header->font());
            const QStringList lines = heading.split('\n');
            for (const QString &line : lines)
                if (metrics.horizontalAdvance(line) > grid->columnWidth(c) - margin)
                    cut << QString("%1/%2: %3 (%4 px)")
                               .arg(grid->window()->objectName(), grid->objectName(), line)
                               .arg(grid->columnWidth(c));
            if (header->sizeHint().height() < int(lines.size()) * metrics.height())
                cut << QString("%1/%2: %3 lines in a low heading row")
                           .arg(grid->window()->objectName(), heading)
                           .arg(lines.size());
        }
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
    monthly.CurrentView->close();
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
