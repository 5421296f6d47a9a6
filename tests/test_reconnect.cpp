// A database restart while the program runs: the action that meets the dropped connection shows
// the error, and the next one works again without restarting the program.
#include "core/data_module.h"
#include "core/forms.h"
#include "shift/main_window.h"
#include "support/fixtures.h"
#include "support/test_program.h"

#include <QPushButton>
#include <QTableView>
#include <QTest>

class ReconnectTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void survivesRestart();
};

void ReconnectTest::initTestCase() {
    testing::startProgram("reconnect");
}

void ReconnectTest::survivesRestart() {
    TForm1 &main = *forms().Form1;
    main.LoginName = "31620574";
    // What the login leaves in the session for the change history.
    forms().DataModule6->ADO_DB.setSessionSettings(
        {{"piecework.login_role", "Администратор"}, {"piecework.login_text", "31620574"}});
    for (int n = 1; n <= 4; ++n)
        forms().DataModule6->shiftQuery(n).setParam("ok", "ta");
    const int worker = fixtures::worker("Иванов И.И.");
    const int row = fixtures::priceRow(fixtures::product("СТ-101"), fixtures::operationType("Резка"), 0, 10);
    const QDate day(2024, 3, 5);
    fixtures::record({.worker = worker, .priceRow = row, .date = day});
    testing::setToday(day);
    main.FormActivate();
    QCOMPARE(forms().DataModule6->Smena1.recordCount(), 1);

    QCOMPARE(testing::shell(testing::sourceDir() + "/scripts/db restart"), 0);

    testing::messages().clear();
    main.Button8->click();
    // The action that meets the dropped connection reports it.
    QCOMPARE(testing::messages().shown.size(), 1);
    QCOMPARE(testing::messages().shown[0].kind, "error");

    testing::messages().clear();
    main.Button8->click();
    QVERIFY2(testing::messages().shown.isEmpty(), qPrintable(testing::messages().shown.value(0).text));
    QCOMPARE(forms().DataModule6->Smena1.recordCount(), 1);

    // Writes work again too.
    emit main.DBGrid2->doubleClicked(main.DBGrid2->currentIndex());
    QVERIFY(testing::messages().shown.isEmpty());
    QCOMPARE(fixtures::scalar("select ok from accounts_dep.smena").toString(), "ok");
    // The new connection still names the login in the history.
    QCOMPARE(fixtures::scalar("select login_text from accounts_dep.change_history where action='accept'")
                 .toString(),
             "31620574");
}

QTEST_MAIN(ReconnectTest)
#include "test_reconnect.moc"
