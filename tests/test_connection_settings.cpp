// Where the program connects: the built-in values, the workstation's and the user's settings
// files, the command-line arguments over them, the password file instead of a stored password,
// a refused unencrypted connection when encryption is required, and the reports' own server.
#include "core/connection_string.h"
#include "core/database.h"
#include "core/db_error.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

class ConnectionSettingsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString write(const QString &name, const QString &text) {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text.toUtf8());
        return path;
    }
    // Connects with the settings and says whether it worked.
    static QString tryConnect(const ConnectionSettings &s) {
        Database db("settings_test");
        try {
            db.connect(connectionString(s));
            QSqlQuery q = db.run("select current_database()");
            return q.next() ? q.value(0).toString() : QString("no row");
        } catch (const DbError &e) {
            return "refused: " + e.text();
        }
    }

private slots:
    void precedence_data();
    void precedence();
    void oddValuesAreQuoted();
    void valuesAsWritten_data();
    void valuesAsWritten();
    void passwordReadableByOthers();
    void passwordFile();
    void encryptionRequiredRefusesPlainConnection();
};

void ConnectionSettingsTest::precedence_data() {
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected"); // server port database user password sslmode
    QTest::addColumn<QString>("reports");  // the same for the reports' connection
    const QString builtIn = builtInServerAddress() + " 5432 vorn_erp sys tulwexa allow";
    QTest::newRow("nothing set: as before") << ""
                                            << "" << QStringList{} << builtIn << builtIn;
    QTest::newRow("arguments alone: as before")
        << ""
        << "" << QStringList{"shop", "10.0.0.5"} << "10.0.0.5 5432 shop sys tulwexa allow"
        << "10.0.0.5 5432 shop sys tulwexa allow";
    const QString system = "[database]\nserver=db.office\nport=5433\nname=company\nsslmode=require\n";
    QTest::newRow("workstation's file")
        << system << "" << QStringList{} << "db.office 5433 company sys tulwexa require"
        << "db.office 5433 company sys tulwexa require";
    // Another user comes without the built-in password: the password file serves.
    QTest::newRow("user's file over the workstation's")
        << system << "[database]\nuser=clerk\n"
        << QStringList{} << "db.office 5433 company clerk  require"
        << "db.office 5433 company clerk  require";
    QTest::newRow("arguments over both")
        << system << "[database]\nuser=clerk\npassword=s3cret\n"
        << QStringList{"other", "10.1.1.1"} << "10.1.1.1 5433 other clerk s3cret require"
        << "10.1.1.1 5433 other clerk s3cret require";
    // Reports from a standby: only its own keys differ.
    QTest::newRow("reports' own server")
        << system + "[reports]\nserver=standby.office\nuser=reader\npassword=r\n"
        << "" << QStringList{} << "db.office 5433 company sys tulwexa require"
        << "standby.office 5433 company reader r require";
}

void ConnectionSettingsTest::precedence() {
    QFETCH(QString, system);
    QFETCH(QString, user);
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    QFETCH(QString, reports);
    // A file that does not exist is no error: the next one or the built-in values apply.
    const QStringList files{system.isEmpty() ? dir.filePath("absent.conf") : write("system.conf", system),
                            user.isEmpty() ? dir.filePath("absent2.conf") : write("user.conf", user)};
    auto text = [](const ConnectionSettings &s) {
        return QStringList{s.server, QString::number(s.port), s.database, s.user, s.password, s.sslmode}.join(
            ' ');
    };
    QCOMPARE(text(databaseSettings(arguments, files)), expected);
    QCOMPARE(text(reportsSettings(arguments, files)), reports);
    const ConnectionSettings s = databaseSettings(arguments, files);
    QVERIFY(!s.description().contains(s.password.isEmpty() ? QString("\x01") : s.password));
}

void ConnectionSettingsTest::oddValuesAreQuoted() {
    ConnectionSettings s;
    s.server = "db";
    s.password = "a;b}c";
    s.user = "";
    const QString text = connectionString(s);
    QVERIFY2(text.contains("PWD={a;b}}c};"), qPrintable(text));
    s.password.clear();
    QVERIFY(!connectionString(s).contains("PWD="));
}

void ConnectionSettingsTest::valuesAsWritten_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("password");
    // The characters people put in passwords, each taken as written to the end of the line.
    QTest::newRow("comma") << "password=Kq,9x"
                           << "Kq,9x";
    QTest::newRow("semicolon") << "password = a;b;c"
                               << "a;b;c";
    QTest::newRow("backslash") << "password=C:\\x\\y"
                               << "C:\\x\\y";
    QTest::newRow("hash and equals") << "password=#1=2#"
                                     << "#1=2#";
    QTest::newRow("quote inside") << "password=ab\"cd"
                                  << "ab\"cd";
    QTest::newRow("blank inside") << "password=two words"
                                  << "two words";
    // Double quotes keep the blanks at the ends; \" and \\ stand for a quote and a backslash.
    QTest::newRow("quoted") << "password=\"  a \\\"b\\\" \\\\ ; # \""
                            << "  a \"b\" \\ ; # ";
    QTest::newRow("empty") << "password="
                           << "";
}

void ConnectionSettingsTest::valuesAsWritten() {
    QFETCH(QString, line);
    QFETCH(QString, password);
    const QString conf =
        write("values.conf", "# the office's server\n[database]\nserver = db.office \n" + line +
                                 "\n; user=nobody\nuser=clerk\n[reports]\npassword=other\n");
    const ConnectionSettings s = databaseSettings({}, {conf});
    QCOMPARE(s.server, "db.office");
    QCOMPARE(s.user, "clerk");
    QCOMPARE(s.password, password);
    QCOMPARE(reportsSettings({}, {conf}).password, "other");
}

void ConnectionSettingsTest::passwordReadableByOthers() {
    const QString conf = write("exposed.conf", "[database]\npassword=s3cret\n");
    const QString plain = write("plain.conf", "[database]\nserver=db\n");
    QFile::setPermissions(conf, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(plain, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    const QStringList warnings = settingsWarnings({conf, plain});
    QCOMPARE(warnings.size(), 1);
    QVERIFY2(warnings[0].contains(conf) && warnings[0].contains("пароль"), qPrintable(warnings[0]));
    // The owner's own file, readable by its group: still a warning; by the owner alone: none.
    QFile::setPermissions(conf, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QCOMPARE(settingsWarnings({conf}).size(), 1);
    QFile::setPermissions(conf, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(settingsWarnings({conf}), QStringList{});
}

void ConnectionSettingsTest::passwordFile() {
    // The settings name the test cluster and a user, no password: the PostgreSQL password file
    // supplies it, as for every PostgreSQL client.
    const QString conf =
        write("pgpass.conf", "[database]\nserver=127.0.0.1\nname=piecework_template\nuser=sys\n");
    const ConnectionSettings s = databaseSettings({}, {conf});
    QVERIFY(s.password.isEmpty());
    const QString pgpass = write("pgpass", "127.0.0.1:5432:*:sys:tulwexa\n");
    QFile::setPermissions(pgpass, QFile::ReadOwner | QFile::WriteOwner);
    qputenv("PGPASSFILE", pgpass.toUtf8());
    QCOMPARE(tryConnect(s), "piecework_template");
    // Without the entry the server refuses: the password really came from the file.
    const QString empty = write("pgpass-empty", "");
    QFile::setPermissions(empty, QFile::ReadOwner | QFile::WriteOwner);
    qputenv("PGPASSFILE", empty.toUtf8());
    QVERIFY(tryConnect(s).startsWith("refused"));
    qunsetenv("PGPASSFILE");
}

void ConnectionSettingsTest::encryptionRequiredRefusesPlainConnection() {
    // The test cluster offers no encryption: with sslmode=require the program does not fall back
    // to a plain connection; with the built-in "allow" it connects.
    ConnectionSettings s;
    s.server = "127.0.0.1";
    s.database = "piecework_template";
    QCOMPARE(tryConnect(s), "piecework_template");
    s.sslmode = "require";
    QVERIFY(tryConnect(s).startsWith("refused"));
}

QTEST_GUILESS_MAIN(ConnectionSettingsTest)
#include "test_connection_settings.moc"
