#include "core/connection_string.h"

#include "core/settings_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef PIECEWORK_DB_SERVER
#define PIECEWORK_DB_SERVER "127.0.0.1"
#endif

QString builtInServerAddress() {
    return QStringLiteral(PIECEWORK_DB_SERVER);
}

QString ConnectionSettings::description() const {
    return QStringLiteral("сервер %1, порт %2, база данных %3, пользователь %4")
        .arg(server)
        .arg(port)
        .arg(database, user);
}

QStringList defaultSettingsFiles() {
    // PIECEWORK_SYSTEM_CONF lets a test or a second installation point elsewhere.
    const QString system = qEnvironmentVariable("PIECEWORK_SYSTEM_CONF", "/etc/piecework/piecework.conf");
    const QString user =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/piecework/piecework.conf";
    return {system, user};
}

namespace {
// Reads one section of the files over the values given; only keys present change anything.
void readSection(ConnectionSettings &s, const QStringList &files, const QString &section) {
    for (const QString &file : files) {
        if (!QFileInfo(file).isReadable())
            continue;
        const SettingsSection ini = readSettingsSection(file, section);
        if (ini.contains("server"))
            s.server = ini.value("server");
        if (ini.contains("port"))
            s.port = ini.value("port").toInt();
        if (ini.contains("name"))
            s.database = ini.value("name");
        if (ini.contains("user")) {
            s.user = ini.value("user");
            // Another user does not inherit the built-in user's password.
            if (!ini.contains("password"))
                s.password.clear();
        }
        if (ini.contains("password"))
            s.password = ini.value("password");
        if (ini.contains("sslmode"))
            s.sslmode = ini.value("sslmode");
        if (ini.contains("sslrootcert"))
            s.sslrootcert = ini.value("sslrootcert");
    }
}

void applyArguments(ConnectionSettings &s, const QStringList &positional) {
    if (positional.value(1).isEmpty())
        return;
    s.database = positional.value(0);
    s.server = positional.value(1);
}

// An ODBC attribute value: braced when it holds characters of the string's own syntax.
QString odbcValue(const QString &value) {
    if (!value.contains(';') && !value.contains('{') && !value.contains('}') && !value.contains('=') &&
        value.trimmed() == value)
        return value;
    return '{' + QString(value).replace('}', "}}") + '}';
}
} // namespace

ConnectionSettings databaseSettings(const QStringList &positional, const QStringList &files) {
    ConnectionSettings s;
    s.server = builtInServerAddress();
    readSection(s, files, "database");
    applyArguments(s, positional);
    return s;
}

ConnectionSettings reportsSettings(const QStringList &positional, const QStringList &files) {
    ConnectionSettings s;
    s.server = builtInServerAddress();
    readSection(s, files, "database");
    applyArguments(s, positional);
    readSection(s, files, "reports");
    return s;
}

bool personalAccountsOn(const QStringList &files) {
    bool on = false;
    for (const QString &file : files) {
        const SettingsSection ini = readSettingsSection(file, "login");
        if (ini.contains("personal_accounts")) {
            const QString v = ini.value("personal_accounts").trimmed().toLower();
            on = v == "yes" || v == "true" || v == "on" || v == "1";
        }
    }
    return on;
}

QStringList settingsWarnings(const QStringList &files) {
    QStringList warnings;
    for (const QString &file : files) {
        const QString w = passwordExposureWarning(file);
        if (!w.isEmpty())
            warnings << w;
    }
    return warnings;
}

QString connectionString(const ConnectionSettings &s) {
    QString text = QStringLiteral("DRIVER={PostgreSQL UNICODE};DATABASE=") + odbcValue(s.database) +
                   QStringLiteral(";SERVER=") + odbcValue(s.server) + QStringLiteral(";PORT=") +
                   QString::number(s.port) + QStringLiteral(";UID=") + odbcValue(s.user) + ';';
    if (!s.password.isEmpty())
        text += QStringLiteral("PWD=") + odbcValue(s.password) + ';';
    text += QStringLiteral("SSLmode=") + odbcValue(s.sslmode) + ';';
    // A link that drops without a word (a pulled cable, a sleeping switch) must end a wait in
    // seconds, not in the quarter of an hour TCP takes by itself: keepalives on an idle link,
    // a bound on unanswered data, and a bound on connecting.
    text += QStringLiteral("KeepaliveTime=10;KeepaliveInterval=5;pqopt={keepalives_count=3 "
                           "tcp_user_timeout=20000 connect_timeout=10");
    if (!s.sslrootcert.isEmpty())
        text += QStringLiteral(" sslrootcert='") +
                QDir::toNativeSeparators(s.sslrootcert).replace('\\', "\\\\").replace('\'', "\\'") + '\'';
    text += QStringLiteral("};");
    return text +
           QStringLiteral(
               "ReadOnly=0;Protocol=7.4;FakeOidIndex=0;ShowOidColumn=0;RowVersioning=0;"
               "ShowSystemTables=0;Fetch=100;UnknownSizes=0;MaxVarcharSize=255;MaxLongVarcharSize=8190;") +
           QStringLiteral("Debug=0;CommLog=0;UseDeclareFetch=0;TextAsLongVarchar=1;UnknownsAsLongVarchar=0;"
                          "BoolsAsChar=1;Parse=0;ExtraSysTablePrefixes=;LFConversion=1;UpdatableCursors=1;") +
           QStringLiteral(
               "TrueIsMinus1=0;BI=0;ByteaAsLongVarBinary=1;UseServerSidePrepare=1;LowerCaseIdentifier=0;"
               "D6=-101;OptionalErrors=0;XaOpt=1");
}

QString buildConnectionString(const QStringList &positional) {
    return connectionString(databaseSettings(positional, {}));
}
