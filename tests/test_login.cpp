// The login text picks the role, and the role decides what the main window lets the user do.
#include "app/interface_language.h"
#include "app/login_window.h"
#include "app/main_window.h"
#include "support/test_program.h"
#include "ui/data_module.h"
#include "ui/forms.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

class LoginTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void roles_data();
    void roles();
    void refusedThenAccepted();
    void russianWhateverTheSystemLocale();
};

void LoginTest::initTestCase() {
    testing::startProgram("login");
}

void LoginTest::init() {
    testing::messages().clear();
    testing::terminations() = 0;
}

// What the main window lets the user do, as one text: add, change, delete, shifts/date/day-off/
// refresh/grid, reference books, timesheet. "-" marks a disabled control.
static QString enabledStates(TForm1 &m) {
    auto flag = [](bool on, char c) { return on ? QChar(c) : QChar('-'); };
    const bool sheet = m.RadioButton1->isEnabled() && m.RadioButton4->isEnabled() && m.DateT->isEnabled() &&
                       m.CBox1->isEnabled() && m.Button8->isEnabled() && m.DBGrid2->isEnabled();
    const bool noSheet = !m.RadioButton1->isEnabled() && !m.RadioButton4->isEnabled() &&
                         !m.DateT->isEnabled() && !m.CBox1->isEnabled() && !m.Button8->isEnabled() &&
                         !m.DBGrid2->isEnabled();
    QString s;
    s += flag(m.Button1->isEnabled(), 'A');
    s += flag(m.Button2->isEnabled(), 'C');
    s += flag(m.Button3->isEnabled(), 'D');
    s += sheet ? QChar('S') : noSheet ? QChar('-') : QChar('?');
    s += flag(m.N2->isEnabled(), 'R');
    s += flag(m.N11->isEnabled(), 'T');
    s += flag(m.Button5->isEnabled() && m.N7->isEnabled() && m.Button4->isEnabled(), 'H');
    return s;
}

void LoginTest::roles_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("states");
    QTest::newRow("report reader") << "vrelik"
                                   << "------H";
    QTest::newRow("foreman") << "quorbel"
                             << "A--S--H";
    QTest::newRow("warehouse") << "tivon"
                               << "---S--H";
    QTest::newRow("administrator") << "31620574"
                                   << "ACDSRTH";
    QTest::newRow("second administrator") << "7093"
                                          << "ACDSRTH";
    // Blanks around the text are trimmed.
    QTest::newRow("foreman with blanks") << "  quorbel  "
                                         << "A--S--H";
}

void LoginTest::roles() {
    QFETCH(QString, text);
    QFETCH(QString, states);
    TForm23 &login = *forms().Form23;
    TForm1 &main = *forms().Form1;
    main.ShiftNumber = 3;
    login.show();
    login.Edit1->setText(text);
    QString seen;
    bool shownMain = false;
    testing::onModal([&](QDialog *d) {
        shownMain = d == &main;
        seen = enabledStates(main);
        return int(QDialog::Rejected);
    });
    login.Button1->click();
    QVERIFY(shownMain);
    QCOMPARE(seen, states);
    QCOMPARE(main.session.login, text.trimmed());
    QCOMPARE(main.ShiftNumber, 1);
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(forms().DataModule6->shiftQuery(n).param("ok").toString(), "ta");
    QVERIFY(testing::messages().shown.isEmpty());
    // Closing the main window closes the login window, which ends the program.
    QVERIFY(!login.isVisible());
    QCOMPARE(testing::terminations(), 1);
}

void LoginTest::refusedThenAccepted() {
    TForm23 &login = *forms().Form23;
    TForm1 &main = *forms().Form1;
    login.show();
    main.N11->setEnabled(true);
    bool shown = false;
    testing::onModal([&](QDialog *) {
        shown = true;
        return int(QDialog::Rejected);
    });
    // Letters are compared exactly.
    login.Edit1->setText("Quorbel");
    login.Button1->click();
    QVERIFY(!shown);
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].text, "Введены неверные данные.");
    QCOMPARE(testing::messages().shown[0].title, "Ошибка");
    QVERIFY(login.isVisible());
    QCOMPARE(main.session.login, "Quorbel");
    QVERIFY(!main.N11->isEnabled());
    QCOMPARE(testing::terminations(), 0);

    login.Edit1->setText("tivon");
    login.Button1->click();
    QVERIFY(shown);
    QCOMPARE(main.session.login, "tivon");
}

void LoginTest::russianWhateverTheSystemLocale() {
    // The tests run under the C locale, as a workstation set to C.UTF-8 would.
    QVERIFY(useRussianInterface(*qApp));
    QMessageBox question(QMessageBox::Question, "Удаление", "Удалить?", QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.button(QMessageBox::Yes)->text().remove('&'), "Да");
    QCOMPARE(question.button(QMessageBox::No)->text().remove('&'), "Нет");
    // The calendar of a date field names months and days in Russian.
    QDateEdit date;
    date.setCalendarPopup(true);
    QCOMPARE(date.calendarWidget()->locale().standaloneMonthName(12), "декабрь");
    QCOMPARE(date.calendarWidget()->locale().dayName(1, QLocale::ShortFormat), "пн");
    QLocale::setDefault(QLocale::c());
}

QTEST_MAIN(LoginTest)
#include "test_login.moc"
