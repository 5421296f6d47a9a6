#pragma once
// The program's single database connection: runs statements, turns failures into DbError and
// reopens the connection after the server dropped it, so the next action works again.
#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <functional>

using SqlParams = QList<QPair<QString, QVariant>>;

class Database {
public:
    explicit Database(const QString &connectionName);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Closes the connection if open, sets the connection string and opens it; throws on failure.
    void connect(const QString &connectionString);
    void close();
    bool isOpen() const;
    QString connectionString() const { return connectionString_; }

    // Settings of the session (set_config) that the database's own triggers read, such as who is
    // logged in; applied now and again after every reconnect. Names are the program's own texts.
    // The program's own needs (day-first dates, bounded lock waits) are always set as well.
    void setSessionSettings(const SqlParams &settings);

    // Test seam: runs after a commit lost its connection and before the server is asked what
    // became of it.
    void setBeforeFateQuestion(std::function<void()> hook) { beforeFateQuestion_ = std::move(hook); }

    // Runs a statement; named parameters (":name") are bound when params is not empty.
    // Numbers are read exactly (as text) so that money never drifts. A read outside a transaction
    // that meets a lost connection runs once more on a new one; a write never runs twice.
    QSqlQuery run(const QString &sql, const SqlParams &params = {});

    // A result read row by row can fail midway (the connection dropped): its end is then an error,
    // not the last row. Throws DbError when the query's reading failed.
    void checkRead(const QSqlQuery &query);

    void begin();
    // A commit that loses the connection asks on a new one whether it went through: nothing is
    // thrown when it did, kConnectionLostWriteMessage when it did not, kCommitUnknownMessage when
    // the server could not be asked for several seconds.
    void commit();
    void rollback();

    enum class Fate { Committed, Aborted, Unknown };
    // What became of a transaction (its txid_current()), asked on this connection, reopened when
    // needed. Unknown when the server restarted since the transaction began: after a crash the
    // same id may have gone to another session's transaction.
    Fate fateOf(qint64 xid);
    bool inTransaction() const { return inTransaction_; }

    QSqlDatabase &handle() { return db_; }

private:
    void reopenIfBroken();
    // A write outside a transaction runs as one of its own, so that a lost reply is answered by
    // asking the server, as for any commit.
    QSqlQuery runAlone(const QString &sql, const SqlParams &params);
    QSqlQuery runOnce(const QString &sql, const SqlParams &params);
    void applySessionSettings();
    // reading: the failure cut a read short, not a write.
    [[noreturn]] void fail(const QString &text, bool reading = false);
    bool looksLost(const QString &text);

    QString name_;
    QString connectionString_;
    QSqlDatabase db_;
    bool broken_ = false;
    bool inTransaction_ = false;
    SqlParams sessionSettings_;
    // pg_postmaster_start_time() as the current connection saw it, and as it was when the open
    // transaction began.
    QString serverStart_;
    QString transactionServerStart_;
    std::function<void()> beforeFateQuestion_;
};

// Runs a group of statements as one transaction: commits on commit(), rolls back otherwise.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    void commit();

private:
    Database &db_;
    bool done_ = false;
};
