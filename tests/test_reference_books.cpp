// The reference books: filters, maintenance through the editors with the database checked after,
// duplicate checks, the product delete cascade, and picking into an opener.
#include "app/main_window.h"
#include "refbooks/group_editor.h"
#include "refbooks/groups_list.h"
#include "refbooks/product_editor.h"
#include "refbooks/products_list.h"
#include "refbooks/worker_card.h"
#include "refbooks/workers_list.h"
#include "shift/operation_type_editor.h"
#include "shift/operation_types_list.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "ui/data_module.h"
#include "ui/forms.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

using fixtures::scalar;

class ReferenceBooksTest : public QObject {
    Q_OBJECT
    TDataModule6 *dm = nullptr;
    qint64 shelves = 0, boxes = 0;

    static QStringList column(Dataset &rows, const QString &field) {
        QStringList out;
        for (rows.first(); !rows.eof(); rows.next())
            out << rows.text(field);
        return out;
    }
    static QString lastMessage() {
        const auto &shown = testing::messages().shown;
        return shown.isEmpty() ? QString() : shown.last().text;
    }
    // Runs the editor a list opens: fill it, press its save button, report the result.
    static void saveInEditor(std::function<void(QDialog *)> fill, QPushButton *save) {
        testing::onModal([fill, save](QDialog *d) {
            fill(d);
            save->click();
            return d->result();
        });
    }

private slots:
    void initTestCase();
    void init();

    void filterFields_data();
    void filterFields();
    void upDownMoveTheList();

    void workerAddChangeDelete();
    void workerCardKeepsStoredPosition();
    void workerEmptyName();
    void wheelStepsTheFocusedBox();

    void productAddAndDuplicates_data();
    void productAddAndDuplicates();
    void productChange();
    void productValueField();
    void productDelete_data();
    void productDelete();

    void groupAddRename();
    void operationTypes();

    void menuOpensListMode_data();
    void menuOpensListMode();
    void picking_data();
    void picking();
    void pickingOnEmptyList();
    void idsPastThirtyTwoBits();
    void productValueWhateverSeparator_data();
    void productValueWhateverSeparator();
    void productDeleteFailureKeepsEverything();
    void workerChangeWithoutRow();
    void productFilterEditingKeys();
    void userTextsStoredAsTyped_data();
    void userTextsStoredAsTyped();
};

void ReferenceBooksTest::initTestCase() {
    testing::startProgram("reference_books");
    dm = forms().DataModule6;
    shelves = fixtures::group("Стеллажи");
    boxes = fixtures::group("Ящики");
}

void ReferenceBooksTest::init() {
    testing::messages().clear();
    fixtures::exec("delete from accounts_dep.smena");
    fixtures::exec("delete from accounts_dep.norm");
    fixtures::exec("delete from accounts_dep.oper");
    fixtures::exec("delete from accounts_dep.person");
    fixtures::exec("delete from cmn_gds_and_srv.gds_and_srv");
    fixtures::exec("delete from accounts_dep.vid_oper where id < 7777");
    fixtures::exec("delete from hrms_staffpos.staffpos");
    fixtures::exec("insert into hrms_staffpos.staffpos(s_caption) values ('Маляр'), ('Сборщик')");
    for (Dataset *d : {&dm->Workers, &dm->Izdel, &dm->Vid_oper, &forms().Form26->item}) {
        d->close();
        d->setFiltered(false);
    }
    for (QLineEdit *e :
         {static_cast<QLineEdit *>(forms().Form5->Edit1), static_cast<QLineEdit *>(forms().Form3->Edit1),
          static_cast<QLineEdit *>(forms().Form8->Edit1), static_cast<QLineEdit *>(forms().Form26->Edit1)})
        e->clear();
}

void ReferenceBooksTest::filterFields_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("workers: two letters") << "workers"
                                          << "Ив" << QStringList{"Иванов И.И.", "иванько П.П."};
    QTest::newRow("workers: letter case ignored") << "workers"
                                                  << "ив" << QStringList{"Иванов И.И.", "иванько П.П."};
    QTest::newRow("workers: only the beginning") << "workers"
                                                 << "ванов" << QStringList{};
    // A blank is a filter like any other text.
    QTest::newRow("workers: blank") << "workers"
                                    << " " << QStringList{" Пробелов"};
    QTest::newRow("products: prefix") << "products"
                                      << "шм" << QStringList{"ШМ-1", "шм-2"};
    QTest::newRow("types: prefix") << "types"
                                   << "по" << QStringList{"ПОКРАСКА", "Полировка"};
    QTest::newRow("types: name containing it elsewhere hidden") << "types"
                                                                << "краска" << QStringList{};
    QTest::newRow("groups: prefix") << "groups"
                                    << "ст" << QStringList{"Стеллажи"};
}

void ReferenceBooksTest::filterFields() {
    QFETCH(QString, list);
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    for (const char *fio : {"Иванов И.И.", "иванько П.П.", "Петров А.А.", " Пробелов"})
        fixtures::worker(fio);
    fixtures::product("ШМ-1", shelves);
    fixtures::product("шм-2", shelves);
    fixtures::product("СТ-1", shelves);
    for (const char *vid : {"ПОКРАСКА", "Полировка", "Сварка"})
        fixtures::operationType(vid);

    ReferenceListWindow *window = nullptr;
    QString field;
    if (list == "workers") {
        window = forms().Form5;
        field = "fio";
    } else if (list == "products") {
        window = forms().Form3;
        field = "marka";
    } else if (list == "types") {
        window = forms().Form8;
        field = "vid";
    } else {
        window = forms().Form26;
        field = "s_caption";
    }
    Dataset &rows = *window->dataset();
    rows.open();
    const int all = rows.recordCount();
    testing::typeText(window->Edit1, typed);
    QCOMPARE(window->Edit1->text(), typed);
    QStringList seen = column(rows, field);
    if (list == "types")
        seen.removeIf([](const QString &s) { return s.startsWith("хоз") || s.startsWith("ср."); });
    QCOMPARE(seen, expected);
    // Clearing the field shows everything again.
    window->Edit1->clear();
    QCOMPARE(rows.recordCount(), all);
    rows.close();
}

void ReferenceBooksTest::upDownMoveTheList() {
    for (const char *fio : {"Алексеев", "Борисов", "Васильев"})
        fixtures::worker(fio);
    TForm5 &list = *forms().Form5;
    Dataset &w = dm->Workers;
    w.open();
    testing::typeText(list.Edit1, "бв");
    QTest::keyClick(list.Edit1, Qt::Key_Backspace);
    QCOMPARE(list.Edit1->text(), "б");
    list.Edit1->clear();
    QCOMPARE(w.recNo(), 1);
    QTest::keyClick(list.Edit1, Qt::Key_Down);
    QTest::keyClick(list.Edit1, Qt::Key_Down);
    QCOMPARE(w.text("fio"), "Васильев");
    QTest::keyClick(list.Edit1, Qt::Key_Up);
    QCOMPARE(w.text("fio"), "Борисов");
    // Editing keys other than Backspace have no effect in the field.
    testing::typeText(list.Edit1, "ab");
    QTest::keyClick(list.Edit1, Qt::Key_Left);
    QTest::keyClick(list.Edit1, Qt::Key_Delete);
    QTest::keyClick(list.Edit1, Qt::Key_Home);
    QTest::keyClick(list.Edit1, Qt::Key_Delete);
    QCOMPARE(list.Edit1->text(), "ab");
    w.close();
}

void ReferenceBooksTest::workerAddChangeDelete() {
    TForm5 &list = *forms().Form5;
    TForm2 &card = *forms().Form2;
    const int kept = fixtures::worker("Иванов И.И.");
    const int product = fixtures::product("СТ-1", shelves);
    const int row = fixtures::priceRow(product, fixtures::operationType("Резка"), 0, 10);
    fixtures::record({.worker = kept, .priceRow = row, .date = QDate(2024, 3, 5)});
    list.Tag = 0;
    dm->Workers.open();

    saveInEditor(
        [&](QDialog *d) {
            QCOMPARE(d, &card);
            QCOMPARE(card.windowTitle(), "Заведение данных нового работника");
            QVERIFY(card.Edit1->text().isEmpty());
            card.Edit1->setText("  Петров П.П.  ");
            card.LCB_staffpos->setCurrentIndex(card.LCB_staffpos->findText("Маляр"));
        },
        card.Button1);
    list.Button1Click();
    const int added = scalar("select id from accounts_dep.person where fio='Петров П.П.'").toInt();
    QVERIFY(added > 0);
    QCOMPARE(
        scalar(QString("select s_staffpos_hl from accounts_dep.person where id=%1").arg(added)).toString(),
        "Маляр");
    // Every worker is a contractor person under the same id, the id as its code.
    QCOMPARE(scalar(QString("select s_code from cmn_contractor.person where id=%1").arg(added)).toString(),
             QString::number(added));
    QCOMPARE(dm->Workers.recordCount(), 2);

    // Change: the card comes filled from the row; the list closes after the card.
    QVERIFY(dm->Workers.locate("id", added));
    saveInEditor(
        [&](QDialog *) {
            QCOMPARE(card.windowTitle(), "Изменение данных работника");
            QCOMPARE(card.Edit1->text(), "Петров П.П.");
            QCOMPARE(card.LCB_staffpos->currentText(), "Маляр");
            card.Edit1->setText("Петров П.С.");
        },
        card.Button1);
    list.setResult(-1);
    list.Button2Click();
    QCOMPARE(list.result(), int(QDialog::Accepted));
    QCOMPARE(scalar(QString("select fio from accounts_dep.person where id=%1").arg(added)).toString(),
             "Петров П.С.");
    QCOMPARE(scalar(QString("select s_caption from cmn_contractor.person where id=%1").arg(added)).toString(),
             "Петров П.С.");
    QCOMPARE(dm->Workers.text("fio"), "Петров П.С.");

    // A worker with records or household entries cannot be deleted: the sheets and reports
    // would lose that pay. Without them, the delete asks first.
    fixtures::entry({.worker = kept, .date = QDate(2024, 3, 4)});
    fixtures::entry({.worker = kept, .date = QDate(2024, 3, 5)});
    QVERIFY(dm->Workers.locate("id", kept));
    testing::messages().clear();
    testing::messages().answers = {true};
    list.Button3Click();
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].kind, "error");
    QCOMPARE(testing::messages().shown[0].text,
             "Работника нельзя удалить: по нему есть записи смен (1) и записи хоз. работ (2).");
    QCOMPARE(scalar("select count(*) from accounts_dep.person").toInt(), 2);
    QVERIFY(dm->Workers.locate("id", added));
    testing::messages().answers = {true};
    list.Button3Click();
    QCOMPARE(testing::messages().shown.last().text, "Удалить работника?");
    QCOMPARE(testing::messages().shown.last().title, "Удаление");
    QCOMPARE(scalar("select count(*) from accounts_dep.person").toInt(), 1);
    QCOMPARE(scalar("select count(*) from accounts_dep.smena").toInt(), 1);
    QCOMPARE(dm->Workers.recordCount(), 1);
    dm->Workers.close();
}

void ReferenceBooksTest::workerCardKeepsStoredPosition() {
    // A position no box offers is kept as stored while the box is not touched.
    TForm5 &list = *forms().Form5;
    TForm2 &card = *forms().Form2;
    const int worker = fixtures::worker("Сидоров С.С.", "Бригадир участка");
    fixtures::worker("Аверин А.А.", "Маляр");
    list.Tag = 0;
    dm->Workers.open();
    QVERIFY(dm->Workers.locate("id", worker));
    card.LCB_staffpos->setCurrentIndex(card.LCB_staffpos->findText("Маляр"));
    saveInEditor([&](QDialog *) { QCOMPARE(card.LCB_staffpos->currentIndex(), -1); }, card.Button1);
    list.Button2Click();
    QCOMPARE(
        scalar(QString("select s_staffpos_hl from accounts_dep.person where id=%1").arg(worker)).toString(),
        "Бригадир участка");
    dm->Workers.close();
}

void ReferenceBooksTest::workerEmptyName() {
    TForm2 &card = *forms().Form2;
    card.Tag = 1;
    card.Edit1->setText("   ");
    card.Button1->click();
    QCOMPARE(lastMessage(), "ФИО нужно заполнить!");
    QCOMPARE(testing::messages().shown.last().title, "Ошибка");
    QCOMPARE(scalar("select count(*) from accounts_dep.person").toInt(), 0);
}

void ReferenceBooksTest::wheelStepsTheFocusedBox() {
    TForm2 &card = *forms().Form2;
    auto wheel = [](QWidget *w, int delta) {
        QWheelEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
    };
    // No departments at all: the wheel on the empty box does nothing.
    card.reopenLookups();
    QCOMPARE(card.LCB_department->count(), 0);
    card.show();
    QVERIFY(QTest::qWaitForWindowActive(&card));
    card.LCB_department->setFocus();
    wheel(card.LCB_department, -120);
    wheel(card.LCB_department, 120);
    QCOMPARE(card.LCB_department->currentIndex(), -1);
    fixtures::exec("insert into cmn_department.department(s_caption) values ('Цех 1'), ('Цех 2')");
    card.reopenLookups();
    QCOMPARE(card.LCB_department->count(), 2);
    card.LCB_staffpos->setCurrentIndex(0);
    card.LCB_department->setCurrentIndex(-1);
    card.LCB_staffpos->setFocus();
    wheel(card.LCB_staffpos, -120); // one step down: the next entry
    QCOMPARE(card.LCB_staffpos->currentIndex(), 1);
    wheel(card.LCB_staffpos, 120);
    QCOMPARE(card.LCB_staffpos->currentIndex(), 0);
    // A box without the focus does not move.
    wheel(card.LCB_department, -120);
    QCOMPARE(card.LCB_department->currentIndex(), -1);
    card.hide();
    fixtures::exec("delete from cmn_department.department");
}

void ReferenceBooksTest::productAddAndDuplicates_data() {
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("withGroup");
    QTest::addColumn<QString>("message");
    QTest::newRow("new mark stored trimmed") << "  КР-200 "
                                             << "2.5" << true << "";
    QTest::newRow("same mark in other letter case") << "шм-100"
                                                    << "1" << true << "Такая марка изделия уже заведена!";
    QTest::newRow("no group") << "КР-300"
                              << "1" << false << "Все поля должны быть заполнены!";
    QTest::newRow("no value") << "КР-300"
                              << "" << true << "Все поля должны быть заполнены!";
    QTest::newRow("a point is no value") << "КР-300"
                                         << "." << true << "Все поля должны быть заполнены!";
    QTest::newRow("no mark") << "  "
                             << "1" << true << "Все поля должны быть заполнены!";
}

void ReferenceBooksTest::productAddAndDuplicates() {
    QFETCH(QString, mark);
    QFETCH(QString, value);
    QFETCH(bool, withGroup);
    QFETCH(QString, message);
    fixtures::product("ШМ-100", shelves);
    TForm3 &list = *forms().Form3;
    TForm7 &editor = *forms().Form7;
    list.Tag = 0;
    dm->Izdel.open();
    int editorResult = -1;
    QString title;
    testing::onModal([&](QDialog *) {
        title = editor.windowTitle();
        editor.Edit1->setText(mark);
        editor.Edit2->setText(value);
        if (withGroup)
            editor.chooseGroup(boxes);
        else
            editor.cb_item->setCurrentIndex(-1);
        editor.Button1->click();
        editorResult = editor.result();
        return editorResult;
    });
    editor.setResult(0);
    list.Button1Click();
    QCOMPARE(title, "Заведение нового изделия (7)");
    if (message.isEmpty()) {
        QVERIFY(testing::messages().shown.isEmpty());
        QCOMPARE(scalar("select massa from cmn_gds_and_srv.gds_and_srv where s_caption='КР-200'").toString(),
                 "2.5");
        QCOMPARE(scalar("select nom from accounts_dep.izdel where marka='КР-200'").toString(), "Ящики");
        QCOMPARE(scalar("select id_msm_bs from cmn_gds_and_srv.gds_and_srv where s_caption='КР-200'").toInt(),
                 6);
        QCOMPARE(dm->Izdel.recordCount(), 2);
    } else {
        QCOMPARE(lastMessage(), message);
        QCOMPARE(editorResult, 0);
        QCOMPARE(scalar("select count(*) from cmn_gds_and_srv.gds_and_srv").toInt(), 1);
    }
    dm->Izdel.close();
}

void ReferenceBooksTest::productChange() {
    const int own = fixtures::product("ШМ-100", shelves);
    fixtures::product("ШМ-200", shelves);
    TForm3 &list = *forms().Form3;
    TForm7 &editor = *forms().Form7;
    list.Tag = 0;
    dm->Izdel.open();
    QVERIFY(dm->Izdel.locate("id", own));
    // Keeping its own mark (in another letter case) is accepted; the value has no separator.
    saveInEditor(
        [&](QDialog *) {
            QCOMPARE(editor.windowTitle(), "Изменение данных изделия (7)");
            QCOMPARE(editor.Edit1->text(), "ШМ-100");
            QCOMPARE(editor.Edit2->text(), "1");
            QCOMPARE(editor.chosenGroup(), shelves);
            editor.Edit1->setText("шм-100");
            editor.Edit2->setText("15");
            editor.chooseGroup(boxes);
        },
        editor.Button1);
    list.Button2Click();
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(
        scalar(QString("select s_caption from cmn_gds_and_srv.gds_and_srv where id=%1").arg(own)).toString(),
        "шм-100");
    QCOMPARE(scalar(QString("select massa from cmn_gds_and_srv.gds_and_srv where id=%1").arg(own)).toString(),
             "15");
    QCOMPARE(
        scalar(QString("select id_class_item from cmn_gds_and_srv.gds_and_srv where id=%1").arg(own)).toInt(),
        boxes);
    // Taking the mark of another product is refused.
    QVERIFY(dm->Izdel.locate("id", own));
    saveInEditor([&](QDialog *) { editor.Edit1->setText("шм-200"); }, editor.Button1);
    list.Button2Click();
    QCOMPARE(lastMessage(), "Такая марка изделия уже заведена!");
    QCOMPARE(
        scalar(QString("select s_caption from cmn_gds_and_srv.gds_and_srv where id=%1").arg(own)).toString(),
        "шм-100");
    dm->Izdel.close();
}

void ReferenceBooksTest::productValueField() {
    TForm7 &editor = *forms().Form7;
    editor.Edit2->clear();
    testing::typeText(editor.Edit2, "1,5x");
    QCOMPARE(editor.Edit2->text(), "1.5");
    editor.Edit2->clear();
    testing::typeText(editor.Edit2, "a2.b5");
    QCOMPARE(editor.Edit2->text(), "2.5");
    // A second separator cannot be typed.
    testing::typeText(editor.Edit2, ",1.");
    QCOMPARE(editor.Edit2->text(), "2.51");
}

void ReferenceBooksTest::productDelete_data() {
    QTest::addColumn<bool>("withPrices");
    QTest::addColumn<bool>("withRecords");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<int>("pricesLeft");
    QTest::addColumn<int>("recordsLeft");
    QTest::addColumn<int>("productsLeft");
    QTest::addColumn<QString>("note"); // what the user is told after the deletes
    const QString prices = "По изделию есть расценки они будут удалены!!!";
    const QString withRecs = "По изделию есть операции в текущем, предыдущем месяцах и ранее, они будут "
                             "удалены. Удалить изделие? ";
    const QString plain = "Удалить изделие? ";
    QTest::newRow("bare product, yes")
        << false << false << QList<bool>{true} << QStringList{plain} << 0 << 0 << 0 << QString();
    QTest::newRow("bare product, no")
        << false << false << QList<bool>{false} << QStringList{plain} << 0 << 0 << 1 << QString();
    QTest::newRow("prices only, yes yes")
        << true << false << QList<bool>{true, true} << QStringList{prices, plain} << 0 << 0 << 0 << QString();
    // Each answer guards only its own statements.
    QTest::newRow("prices only, yes no") << true << false << QList<bool>{true, false}
                                         << QStringList{prices, plain} << 0 << 0 << 1 << QString();
    QTest::newRow("prices only, no yes") << true << false << QList<bool>{false, true}
                                         << QStringList{prices, plain} << 1 << 0 << 0 << QString();
    QTest::newRow("prices and records, yes yes") << true << true << QList<bool>{true, true}
                                                 << QStringList{prices, withRecs} << 0 << 0 << 0 << QString();
    QTest::newRow("prices and records, no no") << true << true << QList<bool>{false, false}
                                               << QStringList{prices, withRecs} << 2 << 1 << 1 << QString();
    QTest::newRow("prices and records, no yes") << true << true << QList<bool>{false, true}
                                                << QStringList{prices, withRecs} << 2 << 0 << 0 << QString();
    // The prices go and the product stays: the price row its records are priced by stays too, or
    // their pay would vanish from the sheets and reports; the unused one goes.
    QTest::newRow("prices and records, yes no")
        << true << true << QList<bool>{true, false} << QStringList{prices, withRecs} << 1 << 1 << 1
        << QString("Расценки, по которым есть записи смен (1), не удалены: по ним считается оплата этих "
                   "записей.");
}

void ReferenceBooksTest::productDelete() {
    QFETCH(bool, withPrices);
    QFETCH(bool, withRecords);
    QFETCH(QList<bool>, answers);
    QFETCH(QStringList, questions);
    QFETCH(int, pricesLeft);
    QFETCH(int, recordsLeft);
    QFETCH(int, productsLeft);
    QFETCH(QString, note);
    testing::setToday(QDate(2024, 1, 15));
    const int product = fixtures::product("ШМ-100", shelves);
    if (withPrices) {
        const int row = fixtures::priceRow(product, fixtures::operationType("Резка"), 0, 10);
        if (withRecords) {
            fixtures::record(
                {.worker = fixtures::worker("Иванов"), .priceRow = row, .date = QDate(2001, 5, 2)});
            fixtures::priceRow(product, fixtures::operationType("Сверловка"), 0, 12);
        }
    }
    TForm3 &list = *forms().Form3;
    dm->Izdel.open();
    QVERIFY(dm->Izdel.locate("id", product));
    testing::messages().answers = answers;
    list.Button3Click();
    QStringList asked;
    QString told;
    for (const Message &m : testing::messages().shown) {
        QCOMPARE(m.title, "Удаление");
        if (m.kind == "question")
            asked << m.text;
        else
            told = m.text;
    }
    QCOMPARE(asked, questions);
    QCOMPARE(told, note);
    QCOMPARE(scalar("select count(*) from accounts_dep.oper").toInt(), pricesLeft);
    QCOMPARE(scalar("select count(*) from accounts_dep.smena").toInt(), recordsLeft);
    QCOMPARE(scalar("select count(*) from cmn_gds_and_srv.gds_and_srv").toInt(), productsLeft);
    QCOMPARE(dm->Izdel.recordCount(), productsLeft);
    dm->Izdel.close();
}

void ReferenceBooksTest::groupAddRename() {
    TForm26 &list = *forms().Form26;
    TForm29 &editor = *forms().Form29;
    list.Tag = 0;
    list.item.open();
    const int before = list.item.recordCount();
    saveInEditor([&](QDialog *) { editor.Edit1->setText("  Тележки  "); }, editor.Button1);
    list.Button2Click();
    // A new group is a level-2 row, listed at once.
    QCOMPARE(scalar("select id_level from cmn_classifier.item where s_caption='Тележки'").toInt(), 2);
    QCOMPARE(list.item.recordCount(), before + 1);
    QVERIFY(list.item.locate("s_caption", "Тележки"));
    const int id = list.item.asInt("id");
    saveInEditor(
        [&](QDialog *) {
            QCOMPARE(editor.Edit1->text(), "Тележки");
            editor.Edit1->setText(" Тележки грузовые ");
        },
        editor.Button1);
    list.Button3Click();
    QCOMPARE(scalar(QString("select s_caption from cmn_classifier.item where id=%1").arg(id)).toString(),
             "Тележки грузовые");
    QVERIFY(list.item.locate("s_caption", "Тележки грузовые"));
    // "Удалить" opens the editor like "Изменить": nothing is deleted.
    saveInEditor([&](QDialog *) {}, editor.Button6);
    list.Button1->click();
    QCOMPARE(scalar("select count(*) from cmn_classifier.item").toInt(), before + 1);
    // An empty or blank name is refused, for a new group and a renamed one: it would show as an
    // empty line in the household picker.
    for (QPushButton *opener : {list.Button2, list.Button3}) {
        for (const QString &blank : {QString(), QString("   ")}) {
            testing::messages().clear();
            saveInEditor([&](QDialog *) { editor.Edit1->setText(blank); }, editor.Button1);
            opener->click();
            QCOMPARE(lastMessage(), "Все поля должны быть заполнены!");
        }
    }
    QCOMPARE(scalar("select count(*) from cmn_classifier.item where trim(s_caption)=''").toInt(), 0);
    QCOMPARE(scalar(QString("select s_caption from cmn_classifier.item where id=%1").arg(id)).toString(),
             "Тележки грузовые");
    fixtures::exec("delete from cmn_classifier.item where s_caption='' or s_caption like 'Тележки%'");
    list.item.close();
}

void ReferenceBooksTest::operationTypes() {
    TForm8 &list = *forms().Form8;
    TForm9 &editor = *forms().Form9;
    const int painting = fixtures::operationType("Покраска");
    list.Tag = 0;
    dm->Vid_oper.open();
    // Differing only in letter case or blanks is a duplicate.
    saveInEditor([&](QDialog *) { editor.Edit1->setText("  ПОКРАСКА "); }, editor.Button1);
    list.Button1Click();
    QCOMPARE(lastMessage(), "Такая операция уже заведена!");
    testing::messages().clear();
    saveInEditor([&](QDialog *) { editor.Edit1->setText("  Сварка "); }, editor.Button1);
    list.Button1Click();
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(scalar("select count(*) from accounts_dep.vid_oper where vid='Сварка'").toInt(), 1);
    // After a save the list stands on its first row, in name order.
    QCOMPARE(dm->Vid_oper.recNo(), 1);
    QCOMPARE(column(dm->Vid_oper, "vid").mid(0, 2), (QStringList{"Покраска", "Сварка"}));

    // Renaming only the letter case is accepted.
    QVERIFY(dm->Vid_oper.locate("id", painting));
    saveInEditor(
        [&](QDialog *) {
            QCOMPARE(editor.windowTitle(), "Изменение данных вида операции");
            QCOMPARE(editor.Edit1->text(), "Покраска");
            editor.Edit1->setText("ПОКРАСКА");
        },
        editor.Button1);
    list.Button2Click();
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(scalar(QString("select vid from accounts_dep.vid_oper where id=%1").arg(painting)).toString(),
             "ПОКРАСКА");

    saveInEditor([&](QDialog *) { editor.Edit1->setText(" "); }, editor.Button1);
    list.Button1Click();
    QCOMPARE(lastMessage(), "Все поля должны быть заполнены!");

    // A type that price rows, records or household entries use is not deleted: its pay would vanish
    // from the sheets and reports.
    const int cutting = fixtures::operationType("Резка");
    const int row = fixtures::priceRow(fixtures::product("СТ-7", shelves), cutting, 0, 10);
    const int worker = fixtures::worker("Иванов И.И.");
    fixtures::record({.worker = worker, .priceRow = row, .date = QDate(2024, 3, 5)});
    fixtures::record({.worker = worker, .priceRow = row, .date = QDate(2024, 3, 6)});
    fixtures::entry({.worker = worker, .type = 7778, .date = QDate(2024, 3, 7)});
    const struct {
        int type;
        QString refusal;
    } used[] = {
        {cutting, "Вид операции нельзя удалить: его используют строки прейскуранта (1), записи смен (2) и "
                  "записи хоз. работ (0)."},
        {7778, "Вид операции нельзя удалить: его используют строки прейскуранта (0), записи смен (0) и "
               "записи хоз. работ (1)."},
    };
    dm->Vid_oper.close();
    dm->Vid_oper.open();
    for (const auto &u : used) {
        QVERIFY(dm->Vid_oper.locate("id", u.type));
        testing::messages().clear();
        testing::messages().answers = {true};
        list.Button3Click();
        QCOMPARE(testing::messages().shown.size(), 1);
        QCOMPARE(testing::messages().shown[0].kind, "error");
        QCOMPARE(lastMessage(), u.refusal);
        QCOMPARE(scalar("select count(*) from accounts_dep.vid_oper where id=:id", {{"id", u.type}}).toInt(),
                 1);
    }
    fixtures::exec("delete from accounts_dep.fatigue");

    QVERIFY(dm->Vid_oper.locate("id", painting));
    testing::messages().clear();
    testing::messages().answers = {true};
    list.Button3Click();
    QCOMPARE(lastMessage(), "Удалить вид операции?");
    QCOMPARE(scalar(QString("select count(*) from accounts_dep.vid_oper where id=%1").arg(painting)).toInt(),
             0);
    dm->Vid_oper.close();
}

void ReferenceBooksTest::menuOpensListMode_data() {
    QTest::addColumn<QString>("item");
    QTest::newRow("workers") << "N1";
    QTest::newRow("products") << "N3";
    QTest::newRow("operation types") << "N6";
    QTest::newRow("groups") << "N8";
}

void ReferenceBooksTest::menuOpensListMode() {
    QFETCH(QString, item);
    TForm1 &main = *forms().Form1;
    fixtures::worker("Иванов И.И.");
    struct Expect {
        QAction *action;
        ReferenceListWindow *window;
        QPushButton *change;
        QList<QPushButton *> shown;
    };
    const QMap<QString, Expect> expect{
        {"N1",
         {main.N1, forms().Form5, forms().Form5->Button2, {forms().Form5->Button1, forms().Form5->Button3}}},
        {"N3",
         {main.N3, forms().Form3, forms().Form3->Button2, {forms().Form3->Button1, forms().Form3->Button3}}},
        {"N6",
         {main.N6, forms().Form8, forms().Form8->Button2, {forms().Form8->Button1, forms().Form8->Button3}}},
        {"N8",
         {main.N8,
          forms().Form26,
          forms().Form26->Button3,
          {forms().Form26->Button1, forms().Form26->Button2}}},
    };
    const Expect e = expect.value(item);
    e.window->Tag = 1;
    e.change->setText("Выбрать");
    for (QPushButton *b : e.shown)
        b->hide();
    if (item == "N6") {
        dm->Vid_oper.setFilter("vid like 'Щ%'");
        dm->Vid_oper.setFiltered(true);
    }
    QDialog *shown = nullptr;
    bool openWhileShown = false, buttonsShown = true;
    int tag = -1, rows = -1;
    QString caption;
    testing::onModal([&](QDialog *d) {
        shown = d;
        tag = e.window->Tag;
        caption = e.change->text();
        openWhileShown = e.window->dataset()->isOpen();
        rows = e.window->dataset()->recordCount();
        for (QPushButton *b : e.shown)
            buttonsShown = buttonsShown && !b->isHidden();
        return int(QDialog::Rejected);
    });
    e.action->trigger();
    QCOMPARE(shown, e.window);
    QCOMPARE(tag, 0);
    QCOMPARE(caption, "Изменить");
    QVERIFY(openWhileShown);
    QVERIFY(buttonsShown);
    QVERIFY(!e.change->isDefault());
    if (item == "N6")
        QVERIFY(rows >= 2); // the filter was switched off: the household types are listed
    QVERIFY(!e.window->dataset()->isOpen());
}

void ReferenceBooksTest::picking_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("mode");
    QTest::newRow("worker for the shift record") << "workers" << 1;
    QTest::newRow("worker for household work") << "workers" << 24;
    QTest::newRow("product for a price") << "products" << 1;
    QTest::newRow("operation type for a price") << "types" << 1;
    QTest::newRow("group for household work") << "groups" << 24;
}

void ReferenceBooksTest::picking() {
    QFETCH(QString, list);
    QFETCH(int, mode);
    const int worker = fixtures::worker(" Петров П.П. ");
    fixtures::worker("Аверин А.А.");
    const int product = fixtures::product("ШМ-100 ", shelves);
    fixtures::product("АА-1", shelves);
    const int type = fixtures::operationType("Сварка");
    ReferenceListWindow *window = nullptr;
    QPushButton *choose = nullptr;
    int expectedId = 0;
    QString expectedText;
    if (list == "workers") {
        window = forms().Form5;
        choose = forms().Form5->Button2;
        expectedId = worker;
        expectedText = "Петров П.П.";
    } else if (list == "products") {
        window = forms().Form3;
        choose = forms().Form3->Button2;
        expectedId = product;
        expectedText = "ШМ-100";
    } else if (list == "types") {
        window = forms().Form8;
        choose = forms().Form8->Button2;
        expectedId = type;
        expectedText = "Сварка";
    } else {
        window = forms().Form26;
        choose = forms().Form26->Button3;
        expectedId = boxes;
        expectedText = "Ящики";
    }
    int pickedId = -1;
    QString pickedText;
    window->pickTargets[mode] = [&](int id, const QString &text) {
        pickedId = id;
        pickedText = text;
    };
    window->Tag = mode;
    Dataset &rows = *window->dataset();
    rows.open();
    QVERIFY(rows.locate("id", expectedId));
    window->setResult(-1);
    choose->click();
    QCOMPARE(pickedId, expectedId);
    QCOMPARE(pickedText, expectedText);
    QCOMPARE(window->result(), int(QDialog::Accepted));
    window->pickTargets.remove(mode);
    window->Tag = 0;
    rows.close();
}

void ReferenceBooksTest::pickingOnEmptyList() {
    TForm5 &list = *forms().Form5;
    bool picked = false;
    list.pickTargets[1] = [&](int, const QString &) { picked = true; };
    list.Tag = 1;
    dm->Workers.open();
    QVERIFY(dm->Workers.isEmpty());
    list.setResult(-1);
    list.Button2->click();
    QVERIFY(!picked);
    QCOMPARE(list.result(), int(QDialog::Accepted));
    list.pickTargets.clear();
    list.Tag = 0;
    dm->Workers.close();

    // The operation-type picker hands an empty name and id 0, which its opener refuses.
    TForm8 &types = *forms().Form8;
    int id = -1;
    QString text = "x";
    types.pickTargets[1] = [&](int i, const QString &t) {
        id = i;
        text = t;
    };
    types.Tag = 1;
    dm->Vid_oper.setFilter("vid like 'ЩЩЩ%'");
    dm->Vid_oper.setFiltered(true);
    dm->Vid_oper.open();
    types.Button2->click();
    QCOMPARE(id, 0);
    QCOMPARE(text, QString());
    types.pickTargets.clear();
    types.Tag = 0;
    dm->Vid_oper.close();
}

void ReferenceBooksTest::idsPastThirtyTwoBits() {
    // The shared schemas hand out ids beyond what a 32-bit int holds.
    fixtures::exec("select setval('cmn_classifier.item_id_seq', 3000000000)");
    fixtures::exec("select setval('cmn_gds_and_srv.gds_and_srv_id_seq', 3000000100)");
    TForm26 &groups = *forms().Form26;
    TForm29 &groupEditor = *forms().Form29;
    groups.Tag = 0;
    groups.item.open();
    for (const char *name : {"Большие 1", "Большие 2"}) {
        saveInEditor([&](QDialog *) { groupEditor.Edit1->setText(name); }, groupEditor.Button1);
        groups.Button2Click();
    }
    const qint64 first =
        scalar("select id from cmn_classifier.item where s_caption='Большие 1'").toLongLong();
    const qint64 second =
        scalar("select id from cmn_classifier.item where s_caption='Большие 2'").toLongLong();
    QCOMPARE(first, Q_INT64_C(3000000001));
    QVERIFY(groups.item.locate("id", second));
    QCOMPARE(groups.item.asId("id"), second);
    saveInEditor([&](QDialog *) { groupEditor.Edit1->setText("Большие 2а"); }, groupEditor.Button1);
    groups.Button3Click();
    QCOMPARE(scalar(QString("select s_caption from cmn_classifier.item where id=%1").arg(second)).toString(),
             "Большие 2а");
    groups.item.close();

    TForm3 &products = *forms().Form3;
    TForm7 &editor = *forms().Form7;
    products.Tag = 0;
    dm->Izdel.open();
    saveInEditor(
        [&](QDialog *) {
            editor.Edit1->setText("БГ-1");
            editor.Edit2->setText("2");
            editor.chooseGroup(first);
            QCOMPARE(editor.chosenGroup(), first);
        },
        editor.Button1);
    products.Button1Click();
    const qint64 product =
        scalar("select id from cmn_gds_and_srv.gds_and_srv where s_caption='БГ-1'").toLongLong();
    QVERIFY(product > Q_INT64_C(3000000000));
    QCOMPARE(scalar(QString("select id_class_item from cmn_gds_and_srv.gds_and_srv where id=%1").arg(product))
                 .toLongLong(),
             first);
    QVERIFY(dm->Izdel.locate("id", product));
    saveInEditor(
        [&](QDialog *) {
            QCOMPARE(editor.chosenGroup(), first);
            editor.chooseGroup(second);
        },
        editor.Button1);
    products.Button2Click();
    QCOMPARE(scalar(QString("select id_class_item from cmn_gds_and_srv.gds_and_srv where id=%1").arg(product))
                 .toLongLong(),
             second);
    // The picker hands the full id over.
    qint64 picked = 0;
    products.pickTargets[1] = [&](Id id, const QString &) { picked = id; };
    products.Tag = 1;
    QVERIFY(dm->Izdel.locate("id", product));
    products.Button2->click();
    QCOMPARE(picked, product);
    products.pickTargets.remove(1);
    products.Tag = 0;
    dm->Izdel.open();
    QVERIFY(dm->Izdel.locate("id", product));
    testing::messages().answers = {true};
    products.Button3Click();
    QCOMPARE(
        scalar(QString("select count(*) from cmn_gds_and_srv.gds_and_srv where id=%1").arg(product)).toInt(),
        0);
    dm->Izdel.close();
    fixtures::exec("delete from cmn_classifier.item where s_caption like 'Большие%'");
    // Back to small ids: the program's own integer columns are for the other tests' products.
    fixtures::exec(
        "select setval('cmn_classifier.item_id_seq', (select max(id)::bigint from cmn_classifier.item))");
    fixtures::exec("select setval('cmn_gds_and_srv.gds_and_srv_id_seq', 1000)");
}

void ReferenceBooksTest::productValueWhateverSeparator_data() {
    QTest::addColumn<QVariant>("delim");
    QTest::newRow("point") << QVariant(".");
    // The version check itself inserts a row without a separator into an empty table.
    QTest::newRow("null") << QVariant();
    QTest::newRow("comma") << QVariant(",");
}

void ReferenceBooksTest::productValueWhateverSeparator() {
    QFETCH(QVariant, delim);
    fixtures::exec(delim.isNull() ? QString("update accounts_dep.ver set delim=null")
                                  : QString("update accounts_dep.ver set delim='%1'").arg(delim.toString()));
    dm->Delimiter = delim.toString();
    const qint64 own = fixtures::product("ШМ-100", shelves);
    TForm3 &list = *forms().Form3;
    TForm7 &editor = *forms().Form7;
    list.Tag = 0;
    dm->Izdel.open();
    QVERIFY(dm->Izdel.locate("id", own));
    saveInEditor([&](QDialog *) { editor.Edit2->setText("2.5"); }, editor.Button1);
    list.Button2Click();
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(scalar(QString("select massa from cmn_gds_and_srv.gds_and_srv where id=%1").arg(own)).toString(),
             "2.5");
    dm->Izdel.close();
    fixtures::exec("update accounts_dep.ver set delim='.'");
    dm->Delimiter = ".";
}

void ReferenceBooksTest::productDeleteFailureKeepsEverything() {
    // Another program's rule on the shared goods table refuses the delete.
    fixtures::exec("create function pg_temp.refuse() returns trigger language plpgsql as "
                   "$$ begin raise exception 'goods are in use'; end $$");
    fixtures::exec("create trigger refuse_delete before delete on cmn_gds_and_srv.gds_and_srv "
                   "for each row execute function pg_temp.refuse()");
    const qint64 product = fixtures::product("ШМ-100", shelves);
    const int row = fixtures::priceRow(product, fixtures::operationType("Резка"), 0, 10);
    fixtures::record({.worker = fixtures::worker("Иванов"), .priceRow = row, .date = QDate(2024, 1, 10)});
    TForm3 &list = *forms().Form3;
    list.Tag = 0;
    dm->Izdel.open();
    QVERIFY(dm->Izdel.locate("id", product));
    testing::messages().answers = {true, true};
    list.Button3->click();
    fixtures::exec("drop trigger refuse_delete on cmn_gds_and_srv.gds_and_srv");
    QCOMPARE(testing::messages().shown.size(), 3);
    QCOMPARE(testing::messages().shown.last().kind, "error");
    QVERIFY(testing::messages().shown.last().text.contains("goods are in use"));
    QCOMPARE(scalar("select count(*) from accounts_dep.oper").toInt(), 1);
    QCOMPARE(scalar("select count(*) from accounts_dep.norm").toInt(), 1);
    QCOMPARE(scalar("select count(*) from accounts_dep.smena").toInt(), 1);
    QCOMPARE(scalar("select count(*) from cmn_gds_and_srv.gds_and_srv").toInt(), 1);
    dm->Izdel.close();
}

void ReferenceBooksTest::workerChangeWithoutRow() {
    fixtures::worker("Иванов И.И.");
    TForm5 &list = *forms().Form5;
    list.Tag = 0;
    dm->Workers.open();
    testing::typeText(list.Edit1, "Щ");
    QVERIFY(dm->Workers.isEmpty());
    bool opened = false;
    testing::onModal([&](QDialog *) {
        opened = true;
        return int(QDialog::Rejected);
    });
    list.setResult(-1);
    list.Button2->click();
    QVERIFY(!opened);
    QCOMPARE(list.result(), -1); // the list stays open
    testing::onModal({});
    list.Edit1->clear();
    dm->Workers.close();
}

void ReferenceBooksTest::productFilterEditingKeys() {
    // In the products list the cursor keys and Delete edit the filter; in the others they do not.
    fixtures::product("ШМ-1", shelves);
    TForm3 &list = *forms().Form3;
    dm->Izdel.open();
    testing::typeText(list.Edit1, "шх");
    QTest::keyClick(list.Edit1, Qt::Key_Left);
    QTest::keyClick(list.Edit1, Qt::Key_Delete);
    QCOMPARE(list.Edit1->text(), "ш");
    QCOMPARE(dm->Izdel.recordCount(), 1);
    QTest::keyClick(list.Edit1, Qt::Key_Home);
    testing::typeText(list.Edit1, "а");
    QCOMPARE(list.Edit1->text(), "аш");
    QTest::keyClick(list.Edit1, Qt::Key_End);
    QTest::keyClick(list.Edit1, Qt::Key_Right);
    testing::typeText(list.Edit1, "м");
    QCOMPARE(list.Edit1->text(), "ашм");
    QVERIFY(dm->Izdel.isEmpty());
    list.Edit1->clear();
    dm->Izdel.close();
}

void ReferenceBooksTest::userTextsStoredAsTyped_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("standardStrings");
    QTest::newRow("apostrophe") << "О'Нил Д." << true;
    // With standard_conforming_strings off a backslash escapes the quote that follows it: a text
    // spliced with doubled quotes would break out of its literal here.
    QTest::newRow("backslash, old string syntax") << R"(x\'; delete from accounts_dep.smena; --)" << false;
}

void ReferenceBooksTest::userTextsStoredAsTyped() {
    QFETCH(QString, text);
    QFETCH(bool, standardStrings);
    const int worker = fixtures::worker("Иванов И.И.");
    fixtures::record({.worker = worker,
                      .priceRow = fixtures::priceRow(fixtures::product("СТ-1", shelves),
                                                     fixtures::operationType("Резка"), 0, 10),
                      .date = QDate(2024, 3, 5)});
    fixtures::exec(standardStrings ? "set standard_conforming_strings = on"
                                   : "set standard_conforming_strings = off");
    auto count = [](const char *sql, const QString &value) { return scalar(sql, {{"v", value}}).toInt(); };

    TForm2 &card = *forms().Form2;
    card.Tag = 1;
    card.Edit1->setText(text);
    card.Button1->click();
    QCOMPARE(count("select count(*) from accounts_dep.person where fio=:v", text), 1);

    TForm7 &product = *forms().Form7;
    product.Tag = 1;
    product.openGroups();
    product.Edit1->setText(text);
    product.Edit2->setText("1");
    product.chooseGroup(shelves);
    product.Button1->click();
    QCOMPARE(count("select count(*) from accounts_dep.izdel where marka=:v", text), 1);
    // The duplicate check reads the same text back.
    product.Edit1->setText(text.toUpper());
    product.Button1->click();
    QCOMPARE(lastMessage(), "Такая марка изделия уже заведена!");

    TForm9 &type = *forms().Form9;
    type.Tag = 1;
    type.Edit1->setText(text);
    dm->Vid_oper.open();
    type.Button1->click();
    QCOMPARE(count("select count(*) from accounts_dep.vid_oper where vid=:v", text), 1);
    type.Edit1->setText(text);
    type.Button1->click();
    QCOMPARE(lastMessage(), "Такая операция уже заведена!");

    TForm29 &group = *forms().Form29;
    group.prepareAdd(forms().Form26->item);
    forms().Form26->item.open();
    group.Edit1->setText(text);
    group.Button1->click();
    QCOMPARE(count("select count(*) from cmn_classifier.item where s_caption=:v", text), 1);
    fixtures::exec("set standard_conforming_strings = on");
    fixtures::exec("delete from cmn_classifier.item where id not in (" + QString::number(shelves) + "," +
                   QString::number(boxes) + ")");
    QCOMPARE(testing::messages().shown.size(), 2);
    QCOMPARE(scalar("select count(*) from accounts_dep.smena").toInt(), 1);

    // The filter takes the text as typed.
    TForm5 &list = *forms().Form5;
    dm->Workers.open();
    testing::typeText(list.Edit1, text.left(3));
    QCOMPARE(column(dm->Workers, "fio"), QStringList{text});
    list.Edit1->clear();
    dm->Workers.close();
    dm->Vid_oper.close();
    forms().Form26->item.close();
}

QTEST_MAIN(ReferenceBooksTest)
#include "test_reference_books.moc"
