#pragma once
// The shared data module: the program's one connection and the queries and commands several
// windows share (shift lists, reference lists, monthly shift timesheets, scratch objects).
#include "core/command.h"
#include "core/connection_string.h"
#include "core/database.h"
#include "core/dataset.h"

#include <QObject>

class TDataModule6 : public QObject {
    Q_OBJECT
public:
    // connectionName: a second module (another workstation in a test) needs a connection of its own.
    explicit TDataModule6(QObject *parent = nullptr,
                          const QString &connectionName = QStringLiteral("ADO_DB"));
    ~TDataModule6() override;

    Database ADO_DB;
    // A second connection to the same database that reads results in portions (a cursor) instead
    // of whole, for the long reads of reports. Opened on first use.
    Database &portionedConnection();
    // Where the reports read in portions: the reports' server (or the main one), read with a
    // cursor, a portion of rows at a time.
    QString portionedConnectionString() const;
    // The reports' own connection (its settings may name a server of its own); empty: the main
    // connection's.
    QString reportsConnectionString;
    // The settings the program started with (the reports' too) and whether each person logs in
    // with an account of their own, which then replaces the start's user and password.
    ConnectionSettings startSettings, reportsStartSettings;
    bool personalAccounts = false;
    // Migrations this build needs that the database lacks (found at start): only an administrator
    // may log in, to apply them.
    QStringList pendingUpgrade;
    // Decimal separator the database expects in numbers spliced into statements; refreshed by
    // every version check.
    QString Delimiter;

    Dataset Workers;
    Dataset Izdel;
    Dataset Vid_oper;
    Dataset Oper;
    Dataset Smena1;
    Dataset Smena2;
    Dataset Smena3;
    Dataset Smena4;
    Dataset H_Tabel_1;
    Dataset H_Tabel_2;
    Dataset H_Tabel_3;
    Dataset Control;

    Command SQL_exec;
    Command DelSmena;
    Command H_Tabel_ins;
    Command Oper_ins;
    Command Oper_ed;
    Command Oper_del;

    // The shift list of a shift number: 2, 3, 4 their own, anything else shift 1.
    Dataset &shiftQuery(int shiftNumber);

    // Runs a count statement (one integer column cnt) through Control; when it counts more than 0,
    // shows message under "Ошибка" and returns true. User texts go in params, never in the text.
    bool CheckDuplicate(const QString &statement, const QString &message, const SqlParams &params = {});
    // Replaces the first "," (or, when there is none, the first ".") by Delimiter.
    QString ReplaceDecimalSeparator(const QString &text) const;

    // One look-up through Control: replaces its statement, opens it, reads one field of the first
    // row (null when there is none) and closes it.
    QVariant lookup(const QString &statement, const QString &field, const SqlParams &params = {});

private:
    Database portioned_;
};
