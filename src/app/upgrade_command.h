#pragma once
// "piecework --upgrade-database [database [server]]": applies the migrations the database lacks,
// using the same settings as the program, and says what it did.
#include <QStringList>

// Returns the process's exit code: 0 when the database is up to date afterwards.
int upgradeDatabaseCommand(const QStringList &positional, int buildDate, int buildTime);
