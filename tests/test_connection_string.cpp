// The connection string for every combination of the two command-line arguments.
#include "core/connection_string.h"

#include <QTest>

class ConnectionStringTest : public QObject {
    Q_OBJECT
private slots:
    void build_data();
    void build();
};

static const QString options =
    ";PORT=5432;UID=sys;PWD=tulwexa;SSLmode=allow;"
    "KeepaliveTime=10;KeepaliveInterval=5;pqopt={keepalives_count=3 tcp_user_timeout=20000 "
    "connect_timeout=10};"
    "ReadOnly=0;Protocol=7.4;FakeOidIndex=0;ShowOidColumn=0;RowVersioning=0;ShowSystemTables=0;Fetch=100;"
    "UnknownSizes=0;MaxVarcharSize=255;MaxLongVarcharSize=8190;"
    "Debug=0;CommLog=0;UseDeclareFetch=0;TextAsLongVarchar=1;UnknownsAsLongVarchar=0;BoolsAsChar=1;Parse=0;"
    "ExtraSysTablePrefixes=;LFConversion=1;UpdatableCursors=1;"
    "TrueIsMinus1=0;BI=0;ByteaAsLongVarBinary=1;UseServerSidePrepare=1;LowerCaseIdentifier=0;D6=-101;"
    "OptionalErrors=0;XaOpt=1";

void ConnectionStringTest::build_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    const QString builtIn =
        "DRIVER={PostgreSQL UNICODE};DATABASE=vorn_erp;SERVER=" + builtInServerAddress() + options;
    QTest::newRow("no arguments: built-in") << QStringList{} << builtIn;
    // Without a server the database argument is ignored.
    QTest::newRow("database only: built-in") << QStringList{"other"} << builtIn;
    QTest::newRow("empty server: built-in") << QStringList{"other", ""} << builtIn;
    QTest::newRow("both") << QStringList{"shop", "10.0.0.5"}
                          << "DRIVER={PostgreSQL UNICODE};DATABASE=shop;SERVER=10.0.0.5" + options;
    // The server alone builds the string with an empty database name.
    QTest::newRow("server, empty database")
        << QStringList{"", "db.local"} << "DRIVER={PostgreSQL UNICODE};DATABASE=;SERVER=db.local" + options;
}

void ConnectionStringTest::build() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    QCOMPARE(buildConnectionString(arguments), expected);
}

QTEST_GUILESS_MAIN(ConnectionStringTest)
#include "test_connection_string.moc"
