// "piecework --help" and "--version" print their text and end at once: no window is opened (there
// is no display here) and no server is asked (the settings name one that cannot answer).
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void informationWithoutAWindow_data();
    void informationWithoutAWindow();
};

void CommandLineTest::informationWithoutAWindow_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("starts");
    QTest::newRow("help") << "--help"
                          << "Использование: piecework [БАЗА СЕРВЕР]";
    QTest::newRow("version") << "--version"
                             << "piecework 1.0.0 (сборка ";
}

void CommandLineTest::informationWithoutAWindow() {
    QFETCH(QString, argument);
    QFETCH(QString, starts);
    QTemporaryDir dir;
    QFile conf(dir.filePath("piecework.conf"));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("[database]\nserver=192.0.2.1\n");
    conf.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("PIECEWORK_SYSTEM_CONF", conf.fileName());
    env.insert("XDG_CONFIG_HOME", dir.path());
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(PIECEWORK_PROGRAM, {argument});
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    QVERIFY2(out.startsWith(starts), qPrintable(out));
    QVERIFY2(program.readAllStandardError().isEmpty(), "nothing on standard error");
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "test_command_line.moc"
