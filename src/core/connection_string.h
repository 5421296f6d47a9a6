#pragma once
// The ODBC connection string of the program, built from the two command-line arguments
// (database name, server address) or, when no address is given, the built-in one.
#include <QString>
#include <QStringList>

QString builtInServerAddress();
// positional: the command-line arguments after the program name.
QString buildConnectionString(const QStringList &positional);
