// Start-up and the version check: the newest build leaves its stamp, an older one ends itself
// within five seconds; a failed connection ends the program with its message.
#include "app/login_window.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "support/fixtures.h"
#include "support/test_program.h"
#include "ui/data_module.h"
#include "ui/forms.h"
#include "ui/version_check.h"

#include <QTest>
#include <QTimer>

class VersionCheckTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void check_data();
    void check();
    void newerStampEndsWithinFiveSeconds();
    void timersAreSet();
    void timerChecksForReal();
    void noTimerWithoutConnection();
    void failedConnectionEnds();
};

static const int kDate = 20240101;
static const int kTime = 3600;

void VersionCheckTest::initTestCase() {
    testing::startProgram("version_check");
}

void VersionCheckTest::init() {
    testing::messages().clear();
    testing::terminations() = 0;
    seams::clearTerminationRequest();
    seams::setBuildStamp(kDate, kTime);
    forms().Form23->Timer1->stop();
}

void VersionCheckTest::check_data() {
    QTest::addColumn<bool>("hasRow");
    QTest::addColumn<int>("storedDate");
    QTest::addColumn<int>("storedTime");
    QTest::addColumn<int>("expectedDate");
    QTest::addColumn<int>("expectedTime");
    QTest::addColumn<bool>("ends");
    QTest::newRow("older day: replaced") << true << 20231231 << 86000 << kDate << kTime << false;
    QTest::newRow("older second: replaced") << true << kDate << kTime - 1 << kDate << kTime << false;
    QTest::newRow("equal: kept") << true << kDate << kTime << kDate << kTime << false;
    QTest::newRow("newer by one second: ends") << true << kDate << kTime + 1 << kDate << kTime + 1 << true;
    QTest::newRow("newer day: ends") << true << 20240102 << 0 << 20240102 << 0 << true;
    // An empty table counts as older: the check adds the row.
    QTest::newRow("empty table: row added") << false << 0 << 0 << kDate << kTime << false;
}

void VersionCheckTest::check() {
    QFETCH(bool, hasRow);
    QFETCH(int, storedDate);
    QFETCH(int, storedTime);
    QFETCH(int, expectedDate);
    QFETCH(int, expectedTime);
    QFETCH(bool, ends);
    fixtures::exec("delete from accounts_dep.ver");
    if (hasRow)
        fixtures::exec(QString("insert into accounts_dep.ver(d, t, delim) values (%1, %2, ',')")
                           .arg(storedDate)
                           .arg(storedTime));
    forms().Form23->FormActivate();

    QCOMPARE(fixtures::scalar("select count(*) from accounts_dep.ver").toInt(), 1);
    QCOMPARE(fixtures::scalar("select d from accounts_dep.ver").toInt(), expectedDate);
    QCOMPARE(fixtures::scalar("select t from accounts_dep.ver").toInt(), expectedTime);
    QCOMPARE(forms().DataModule6->Delimiter, hasRow ? QString(",") : QString());
    QCOMPARE(forms().Form1->BuildDate, kDate);
    QCOMPARE(forms().Form1->BuildTime, kTime);
    QCOMPARE(forms().Form23->windowTitle(), "Авторизация (build: 20240101.3600)");
    QCOMPARE(testing::terminations(), ends ? 1 : 0);
    QCOMPARE(forms().Form23->Timer1->isActive(), ends);
    if (ends) {
        QCOMPARE(testing::messages().shown.size(), 1);
        QCOMPARE(testing::messages().shown[0].text,
                 "Версия программы не соответсвует БД! Запустите программу через 5 мин.");
        QCOMPARE(testing::messages().shown[0].title, "Ошибка");
    } else {
        QVERIFY(testing::messages().shown.isEmpty());
    }
}

void VersionCheckTest::newerStampEndsWithinFiveSeconds() {
    fixtures::exec("update accounts_dep.ver set d=20300101, t=0");
    CheckVersion();
    QCOMPARE(testing::terminations(), 1);
    // The termination timer ends the program even when nobody answers the message.
    QTRY_COMPARE_WITH_TIMEOUT(testing::terminations(), 2, 5500);
}

void VersionCheckTest::timersAreSet() {
    QTimer *versionTimer = forms().Form1->Timer1;
    QVERIFY(versionTimer->isActive());
    QCOMPARE(versionTimer->interval(), 30000);
    QCOMPARE(forms().Form23->Timer1->interval(), 5000);
}

void VersionCheckTest::timerChecksForReal() {
    // Another workstation leaves a newer stamp; the next tick of the version timer ends this copy.
    QTimer *versionTimer = forms().Form1->Timer1;
    versionTimer->setInterval(50);
    QCOMPARE(testing::psql("version_check", "update accounts_dep.ver set d=20300101, t=0"), 0);
    QTRY_VERIFY_WITH_TIMEOUT(testing::terminations() >= 1, 2000);
    QCOMPARE(testing::messages().shown.value(0).text,
             "Версия программы не соответсвует БД! Запустите программу через 5 мин.");
    versionTimer->setInterval(30000);
    forms().Form23->Timer1->stop();
    fixtures::exec("update accounts_dep.ver set d=0, t=0");
}

void VersionCheckTest::noTimerWithoutConnection() {
    // With no connection the version timer never starts: each tick would wait for the connect
    // timeout and stack another error box over "Подключение к БД отсутсвует!!!".
    Forms saved = std::move(forms());
    forms() = Forms{};
    QVERIFY(!createForms({"piecework_no_such_database", "127.0.0.1"}));
    QVERIFY(forms().Form1);
    QVERIFY(!forms().Form1->Timer1->isActive());
    QCOMPARE(testing::messages().shown.size(), 1);
    forms().destroyAll();
    forms() = std::move(saved);
}

void VersionCheckTest::failedConnectionEnds() {
    // A registry of its own: the program's stays as it was.
    Forms saved = std::move(forms());
    forms() = Forms{};
    QVERIFY(!ConnectDatabase({"piecework_no_such_database", "127.0.0.1"}));
    QCOMPARE(testing::messages().shown.size(), 1);
    // The message, then what was tried: the server and the database, never the password.
    const QString text = testing::messages().shown[0].text;
    QVERIFY2(text.startsWith("Подключение к БД отсутсвует!!!\n") && text.contains("127.0.0.1") &&
                 text.contains("piecework_no_such_database") && !text.contains("tulwexa"),
             qPrintable(text));
    QCOMPARE(testing::messages().shown[0].title, "Ошибка!");
    QCOMPARE(testing::terminations(), 1);
    QVERIFY(!forms().Form23);
    forms().destroyAll();
    forms() = std::move(saved);
}

QTEST_MAIN(VersionCheckTest)
#include "test_version_check.moc"
