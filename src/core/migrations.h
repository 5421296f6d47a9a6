#pragma once
// The program's own additions to the shared database (indexes, month-end guards, change history,
// closed months) as numbered migrations: each applied once, in one transaction, and recorded in
// accounts_dep.schema_migration with the time and the build that applied it.
#include <QString>
#include <QStringList>
#include <QVector>

class Database;

struct Migration {
    int version = 0;
    QString name; // the file's name without ".sql": "0002_month_end_guards"
    QString sql;
};

// The migrations this build carries, in order.
QVector<Migration> programMigrations();

// Those of the list the database has not applied yet (all of them when it has none).
QVector<Migration> missingMigrations(Database &db,
                                     const QVector<Migration> &migrations = programMigrations());

// How an applied migration names the build that applied it: "20241210.61315" (date.time).
QString buildStampText(int buildDate, int buildTime);

// Applies each missing migration in its own transaction and records it; a failing one is rolled
// back whole and its error thrown (the ones before it stay applied). Returns the names applied.
// Two workstations upgrading at once apply each migration once.
QStringList upgradeDatabase(Database &db, const QString &build,
                            const QVector<Migration> &migrations = programMigrations());

// The statements of a script: split at semicolons outside quotes, dollar quotes and comments.
QStringList splitStatements(const QString &script);

// What the program says when the database lacks migrations it needs.
QString upgradeNeededMessage(const QStringList &missing);
QStringList migrationNames(const QVector<Migration> &migrations);
