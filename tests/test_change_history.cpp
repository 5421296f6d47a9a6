// The change history the database keeps of shift records and household entries: each kind of
// action with its values before and after and the login that did it, paths around the program,
// and the history window with its filters and export.
#include "app/login_window.h"
#include "app/main_window.h"
#include "refbooks/groups_list.h"
#include "refbooks/workers_list.h"
#include "reports/change_history_window.h"
#include "shift/price_list.h"
#include "shift/shift_record_editor.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "support/workbook_reader.h"
#include "timesheet/household_entry_editor.h"
#include "timesheet/household_work_list.h"
#include "ui/data_module.h"
#include "ui/forms.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSysInfo>
#include <QTableView>
#include <QTest>

using fixtures::exec;
using fixtures::scalar;

class ChangeHistoryTest : public QObject {
    Q_OBJECT
    TDataModule6 *dm = nullptr;
    TForm1 *main = nullptr;
    int ivanov = 0, petrov = 0, cutting = 0;
    qint64 shelves = 0;
    const QDate march{2024, 3, 5};
    testing::ExportDesk desk;

    void loginAs(const QString &text) {
        TForm23 &login = *forms().Form23;
        login.show();
        login.Edit1->setText(text);
        testing::onModal([](QDialog *) { return int(QDialog::Rejected); });
        login.Button1->click();
        QCOMPARE(main->session.login, text);
        main->DateT->setDate(march);
        main->DateTCloseUp();
        main->selectShift(1);
    }
    void addRecord(int worker, const QString &quantity) {
        testing::onModal([=, this](QDialog *d) {
            testing::onModal([=, this](QDialog *list) {
                dm->Workers.locate("id", worker);
                forms().Form5->Button2->click();
                return list->result();
            });
            forms().Form11->Button3->click();
            testing::onModal([=, this](QDialog *list) {
                dm->Oper.locate("id", cutting);
                forms().Form4->Button2->click();
                return list->result();
            });
            forms().Form11->Button4->click();
            forms().Form11->Edit3->setText(quantity);
            forms().Form11->Edit6->setText("8");
            forms().Form11->Button1->click();
            return d->result();
        });
        main->Button1->click();
    }
    void addEntry(int worker, const QString &hours) {
        TForm24 &editor = *forms().Form24;
        testing::onModal([&, worker, hours](QDialog *d) {
            testing::onModal([&, worker](QDialog *list) {
                dm->Workers.locate("id", worker);
                forms().Form5->Button2->click();
                return list->result();
            });
            editor.Button3->click();
            testing::onModal([&](QDialog *list) {
                forms().Form26->item.locate("id", shelves);
                forms().Form26->Button3->click();
                return list->result();
            });
            editor.Button4->click();
            editor.cb_type_work->setCurrentIndex(editor.cb_type_work->findData(7777));
            editor.Edit6->setText(hours);
            editor.Button1->click();
            return d->result();
        });
        forms().Form25->Button5->click();
    }
    QString lastMessage() const {
        const auto &shown = testing::messages().shown;
        return shown.isEmpty() ? QString() : shown.last().text;
    }

private slots:
    void initTestCase();
    void everyKindOfActionIsKept();
    void historyWindow();
    void onlyTheAdministratorOpensIt();
    void menuBarByKeyboard();
};

void ChangeHistoryTest::initTestCase() {
    testing::startProgram("change_history");
    dm = forms().DataModule6;
    main = forms().Form1;
    // The database stamps the history with its own clock: the window's period must hold today.
    testing::setToday(QDate::currentDate());
    ivanov = fixtures::worker("Иванов И.И.");
    petrov = fixtures::worker("О'Нил П.П.");
    cutting = fixtures::priceRow(fixtures::product("СТ-101"), fixtures::operationType("Резка"), 0, 10);
    shelves = fixtures::group("Стеллажи");
    fixtures::priceRow(7777, 7777, 0, 150);
    fixtures::priceRow(7778, 7778, 0, 125);
    // Set-up rows are written by the test itself, not by a login: start the history afresh.
    exec("delete from accounts_dep.change_history");
}

void ChangeHistoryTest::everyKindOfActionIsKept() {
    // The foreman adds a record, the warehouse accepts it, the administrator corrects it, works
    // with household entries and deletes the record; then someone writes around the program.
    // The office works in March (a date more than a year back would be asked about).
    testing::setToday(march);
    loginAs("quorbel");
    addRecord(ivanov, "40");
    loginAs("tivon");
    QVERIFY(dm->Smena1.locate("w_id", ivanov));
    emit main->DBGrid2->doubleClicked(main->DBGrid2->currentIndex());
    loginAs("7093");
    testing::onModal([](QDialog *d) {
        forms().Form11->Edit3->setText("41");
        forms().Form11->Button1->click();
        return d->result();
    });
    main->Button2->click();
    // The accepted record's pieces changed: its mark is cleared, and the administrator is told.
    QCOMPARE(lastMessage(), "Запись была принята складом. Изменены количество, брак, изделие или операция, "
                            "поэтому отметка приёмки снята: склад примет запись заново.");
    testing::messages().clear();
    TForm25 &household = *forms().Form25;
    household.setListDate(march);
    household.FormActivate();
    addEntry(petrov, "2");
    testing::onModal([](QDialog *d) {
        forms().Form24->Edit6->setText("5");
        forms().Form24->Button1->click();
        return d->result();
    });
    household.Button6->click();
    testing::messages().answers = {true};
    household.Button7->click();
    // Back on the record's day (coming back from the editor showed today).
    main->DateT->setDate(march);
    main->DateTCloseUp();
    testing::messages().answers = {true};
    main->Button3->click();
    QVERIFY2(testing::messages().shown.size() == 2, qPrintable(lastMessage())); // the two questions
    QCOMPARE(testing::psql("change_history",
                           QString("insert into accounts_dep.smena(data, smena, w_id, time, ok) values "
                                   "('2024-03-06', 2, %1, 4, 'no')")
                               .arg(petrov)),
             0);

    struct Kept {
        const char *table, *action, *role;
        int worker;
        const char *was, *became; // parts of the texts, "" for an empty side
    };
    const Kept expected[] = {
        {"smena", "insert", "Мастер", ivanov, "", "Кол-во: 40; Брак: 0; Цена: 10; Цвет: 0; Часы: 8; OK: no"},
        {"smena", "accept", "Склад", ivanov, "OK: no", "OK: ok"},
        {"smena", "update", "Администратор", ivanov, "Кол-во: 40", "Кол-во: 41"},
        {"fatigue", "insert", "Администратор", petrov, "", "Работа: 7777; Часы: 2; Цена: 150"},
        {"fatigue", "update", "Администратор", petrov, "Часы: 2", "Часы: 5"},
        {"fatigue", "delete", "Администратор", petrov, "Работа: 7777; Часы: 5; Цена: 150", ""},
        {"smena", "delete", "Администратор", ivanov, "Кол-во: 41", ""},
        // Around the program: no login, but the address and the database user.
        {"smena", "insert", "", petrov, "", "Дата: 2024-03-06; Смена: 2"},
    };
    QSqlQuery q = dm->ADO_DB.run(
        "select table_name, action, coalesce(login_role, ''), coalesce(login_text, ''), worker_id, "
        "coalesce(accounts_dep.history_values(table_name, before, after), ''), "
        "coalesce(accounts_dep.history_values(table_name, after, before), ''), workstation, db_user, "
        "record_date from accounts_dep.change_history order by id");
    for (const Kept &k : expected) {
        QVERIFY2(q.next(), k.action);
        const QString row = QString("%1 %2").arg(k.table, k.action);
        QCOMPARE(q.value(0).toString() + ' ' + q.value(1).toString(), row);
        QCOMPARE(q.value(2).toString(), QString(k.role));
        // The login text is the credential: it is never kept.
        QCOMPARE(q.value(3).toString(), QString());
        QCOMPARE(toId(q.value(4)), Id(k.worker));
        const QString was = q.value(5).toString(), became = q.value(6).toString();
        QVERIFY2(QString(k.was).isEmpty() ? was.isEmpty() : was.contains(k.was),
                 qPrintable(row + ": " + was));
        QVERIFY2(QString(k.became).isEmpty() ? became.isEmpty() : became.contains(k.became),
                 qPrintable(row + ": " + became));
        QVERIFY(!q.value(7).toString().isEmpty());
        QCOMPARE(q.value(8).toString(), "sys");
        QCOMPARE(q.value(9).toDate().month(), 3);
    }
    QVERIFY(!q.next());
    // A change shows only what changed.
    QCOMPARE(
        scalar(
            "select accounts_dep.history_values(table_name, before, after) from accounts_dep.change_history "
            "where action='update' and table_name='fatigue'")
            .toString(),
        "Часы: 2");
    QCOMPARE(
        scalar("select workstation from accounts_dep.change_history order by id desc limit 1").toString(),
        "127.0.0.1");
}

void ChangeHistoryTest::historyWindow() {
    testing::setToday(QDate::currentDate());
    ChangeHistoryWindow &w = *forms().ChangeHistory;
    w.prepare(today());
    Dataset &h = w.history;
    QCOMPARE(h.recordCount(), 8);
    // Newest first: the write around the program, then the record's delete.
    h.first();
    QCOMPARE(h.text("action_name"), "Добавление");
    QCOMPARE(h.text("workstation"), "127.0.0.1 (sys)");
    QCOMPARE(h.text("fio"), "О'Нил П.П.");
    h.moveTo(2);
    QCOMPARE(h.text("action_name"), "Удаление");
    QCOMPARE(h.text("kind"), "Смена");
    QCOMPARE(h.text("login_role"), "Администратор");
    QCOMPARE(h.text("record_date"), "05.03.2024");
    h.last();
    QCOMPARE(h.text("action_name"), "Добавление");
    QCOMPARE(h.text("login_role"), "Мастер");
    QCOMPARE(h.text("workstation"), QSysInfo::machineHostName());
    QCOMPARE(w.DBGrid1->model()->headerData(0, Qt::Horizontal, Qt::AccessibleTextRole).toString(), "Время");
    QCOMPARE(w.DBGrid1->model()->index(1, 1).data().toString(), "Удаление");

    // One worker, chosen by keyboard or mouse alike: his four rows (the three household ones and
    // the write around the program).
    w.ComboWorker->setCurrentIndex(w.ComboWorker->findData(Id(petrov)));
    QCOMPARE(h.recordCount(), 4);
    for (h.first(); !h.eof(); h.next())
        QCOMPARE(h.text("fio"), "О'Нил П.П.");
    h.first();
    QCOMPARE(h.text("kind"), "Смена");
    h.moveTo(2);
    QCOMPARE(h.text("action_name"), "Удаление");
    QCOMPARE(h.text("kind"), "Хоз. работы");

    // The export holds what the list shows, headings first.
    desk.viewer.opened.clear();
    w.Button1->click();
    QCOMPARE(desk.viewer.opened.size(), 1);
    const WorkbookContents book = readWorkbook(desk.viewer.opened.last());
    QVERIFY(book.ok);
    QCOMPARE(book.cell(1, 1).text, "Время");
    QCOMPARE(book.cell(1, 9).text, "Стало");
    QVERIFY(book.cell(1, 1).bold);
    QCOMPARE(book.cell(3, 2).text, "Удаление");
    QCOMPARE(book.cell(3, 5).text, "О'Нил П.П.");
    QCOMPARE(book.cell(3, 8).text, h.text("was"));
    QVERIFY(book.cell(5, 1).text.isEmpty() == false);
    QVERIFY(book.cell(6, 1).text.isEmpty());

    // A period before today holds none of it.
    w.ComboWorker->setCurrentIndex(0);
    w.DTPicker2->setDate(today().addDays(-1));
    w.DTPicker1->setDate(today().addDays(-10));
    QCOMPARE(h.recordCount(), 0);
}

void ChangeHistoryTest::onlyTheAdministratorOpensIt() {
    const QPair<QString, bool> logins[] = {
        {"vrelik", false}, {"quorbel", false}, {"tivon", false}, {"31620574", true}};
    for (const auto &[text, allowed] : logins) {
        loginAs(text);
        QCOMPARE(main->N20->isEnabled(), allowed);
        QCOMPARE(main->N18->isEnabled() && main->N11->isEnabled(), allowed);
    }
    bool shown = false;
    testing::onModal([&](QDialog *d) {
        shown = d == forms().ChangeHistory;
        return int(QDialog::Rejected);
    });
    main->N20->trigger();
    QVERIFY(shown);
}

void ChangeHistoryTest::menuBarByKeyboard() {
    // F10 opens the first menu the role may use; the arrows go on from there.
    const QPair<QString, QString> logins[] = {{"7093", "Справочники"}, {"quorbel", "Отчеты"}};
    for (const auto &[text, first] : logins) {
        loginAs(text);
        main->show();
        QApplication::setActiveWindow(main);
        QVERIFY(QTest::qWaitForWindowActive(main));
        QTest::keyClick(main, Qt::Key_F10);
        QVERIFY(main->MainMenu->activeAction());
        QCOMPARE(main->MainMenu->activeAction()->text(), first);
        QTest::keyClick(main->MainMenu, Qt::Key_Escape);
        QTest::keyClick(main->MainMenu, Qt::Key_Escape);
        main->hide();
    }
}

QTEST_MAIN(ChangeHistoryTest)
#include "test_change_history.moc"
