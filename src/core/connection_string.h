#pragma once
// Where the program connects: the built-in values, then the settings files (the workstation's
// /etc/piecework/piecework.conf, then the user's ~/.config/piecework/piecework.conf, sections
// [database] and [reports]), then the two command-line arguments (database name, server
// address); and the ODBC connection string made of them.
#include <QString>
#include <QStringList>

QString builtInServerAddress();

struct ConnectionSettings {
    QString server;
    int port = 5432;
    QString database = QStringLiteral("vorn_erp");
    QString user = QStringLiteral("sys");
    // Empty: none is sent, and the PostgreSQL password file (~/.pgpass, PGPASSFILE) serves.
    QString password = QStringLiteral("tulwexa");
    QString sslmode = QStringLiteral("allow");
    QString sslrootcert; // for verify-ca / verify-full

    // What a message may show of it: never the password.
    QString description() const;
};

// The settings files in the order they apply (a later one overrides an earlier one).
QStringList defaultSettingsFiles();

// The main connection's settings: built-in values, the files' [database] section, and the
// command-line arguments when the server argument is given (the database argument then too,
// even when empty).
ConnectionSettings databaseSettings(const QStringList &positional, const QStringList &files);
// The reports' connection: the main one's, with the files' [reports] section over it (a reports
// server, such as a read-only standby).
ConnectionSettings reportsSettings(const QStringList &positional, const QStringList &files);

// Whether the office gives each person an account of their own: "personal_accounts" of the files'
// [login] section ("yes", "true", "on" or "1"; off when missing). The login window then asks for
// the person's name and password, and the shared login texts are refused.
bool personalAccountsOn(const QStringList &files);

// What the program says at start about the files: a password other users can read.
QStringList settingsWarnings(const QStringList &files);

QString connectionString(const ConnectionSettings &settings);

// positional: the command-line arguments after the program name; no settings files.
QString buildConnectionString(const QStringList &positional);
