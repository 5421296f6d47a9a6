#include "core/database.h"

#include "core/db_error.h"

#include <QElapsedTimer>
#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlRecord>
#include <QThread>

Database::Database(const QString &connectionName) : name_(connectionName) {
    db_ = QSqlDatabase::addDatabase("QODBC", name_);
}

Database::~Database() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

void Database::connect(const QString &connectionString) {
    connectionString_ = connectionString;
    db_.close();
    db_.setDatabaseName(connectionString);
    broken_ = false;
    inTransaction_ = false;
    if (!db_.open())
        throw DbError(db_.lastError().text(), true);
    applySessionSettings();
}

void Database::setSessionSettings(const SqlParams &settings) {
    sessionSettings_ = settings;
    if (db_.isOpen())
        applySessionSettings();
}

namespace {
// What every session of the program needs, whatever the server, the database or the role say:
// the statements write dates day first; a wait for another workstation's lock ends with a message
// instead of a frozen window; a transaction left open by a workstation whose link dropped gives
// its locks back within a minute; the server's keepalives notice a dead client on a TCP link.
const char *const kProgramSessionSetup =
    "set_config('datestyle', 'ISO, DMY', false), set_config('lock_timeout', '10s', false), "
    "set_config('idle_in_transaction_session_timeout', '60s', false), "
    "set_config('tcp_keepalives_idle', '10', false), set_config('tcp_keepalives_interval', '5', false), "
    "set_config('tcp_keepalives_count', '3', false), pg_postmaster_start_time()::text";
} // namespace

void Database::applySessionSettings() {
    QStringList calls;
    SqlParams values;
    for (const auto &[name, value] : sessionSettings_) {
        const QString param = QString("s%1").arg(values.size());
        calls << QString("set_config('%1', :%2, false)").arg(QString(name).replace('\'', "''"), param);
        values.append({param, value});
    }
    calls << QLatin1String(kProgramSessionSetup);
    QSqlQuery q = runOnce("select " + calls.join(", "), values);
    if (q.next())
        serverStart_ = q.value(q.record().count() - 1).toString();
}

void Database::close() {
    db_.close();
}

bool Database::isOpen() const {
    return db_.isOpen() && !broken_;
}

void Database::reopenIfBroken() {
    if (!broken_ && db_.isOpen())
        return;
    db_.close();
    if (!db_.open())
        throw DbError(kNoConnectionMessage, true);
    broken_ = false;
    inTransaction_ = false;
    applySessionSettings();
}

bool Database::looksLost(const QString &text) {
    static const char *const marks[] = {"08001", "08003", "08006", "08S01", "57P01", "57P02", "57P03",
                                        "connection", "server closed", "terminating", "could not send",
                                        "no connection", "communication link",
                                        // psqlODBC's own statement-level savepoint on a dead link
                                        "internal savepoint failed"};
    for (const char *m : marks)
        if (text.contains(QLatin1String(m), Qt::CaseInsensitive))
            return true;
    if (inTransaction_)
        return false; // an aborted transaction refuses every statement: it is not a lost link
    QSqlQuery probe(db_);
    return !probe.exec("select 1");
}

namespace {
// Another workstation holds what the statement needed: its lock outlasted lock_timeout, or the two
// waited for each other. The transaction is rolled back whole.
bool looksBusy(const QString &text) {
    static const char *const marks[] = {"55P03", "40P01", "lock timeout", "deadlock detected",
                                        "could not obtain lock"};
    for (const char *m : marks)
        if (text.contains(QLatin1String(m), Qt::CaseInsensitive))
            return true;
    return false;
}

// The database refused the role of the connection what the statement needed (SQLSTATE 42501): what
// was refused, in the user's words, from the server's "permission denied for table smena".
QString refusedRightText(const QString &text) {
    static const QRegularExpression refused(
        R"((?:permission denied for|нет доступа к) (table|таблице|sequence|последовательности|schema|схеме|column|столбцу|function|функции|view|представлению) "?([\w.]+))",
        QRegularExpression::CaseInsensitiveOption);
    if (!text.contains(QLatin1String("42501")) &&
        !text.contains(QLatin1String("permission denied"), Qt::CaseInsensitive) &&
        !text.contains(QStringLiteral("нет доступа"), Qt::CaseInsensitive))
        return {};
    const QRegularExpressionMatch m = refused.match(text);
    if (!m.hasMatch())
        return QStringLiteral("действие");
    static const QHash<QString, QString> kinds{{"table", "таблица"},
                                               {"таблице", "таблица"},
                                               {"sequence", "последовательность"},
                                               {"последовательности", "последовательность"},
                                               {"schema", "схема"},
                                               {"схеме", "схема"},
                                               {"column", "столбец"},
                                               {"столбцу", "столбец"},
                                               {"function", "функция"},
                                               {"функции", "функция"},
                                               {"view", "представление"},
                                               {"представлению", "представление"}};
    return kinds.value(m.captured(1).toLower()) + ' ' + m.captured(2);
}

// A refusal of the program's own database functions ("piecework: " and its Russian text): shown as
// it stands.
QString programRefusalText(const QString &text) {
    static const QRegularExpression refusal(QStringLiteral("piecework: ([^;\\n]+)"));
    const QRegularExpressionMatch m = refusal.match(text);
    return m.hasMatch() ? m.captured(1).trimmed() : QString();
}
} // namespace

void Database::fail(const QString &text, bool reading) {
    // The closed-month trigger's refusal is an answer, not a failure: shown as the database words it.
    if (text.contains(kClosedMonthMessage))
        throw DbError(kClosedMonthMessage);
    if (looksBusy(text))
        throw DbError(kRowBusyMessage);
    const QString ownRefusal = programRefusalText(text);
    if (!ownRefusal.isEmpty())
        throw DbError(ownRefusal);
    // A right the role of this connection lacks: said so, never in the driver's words; the
    // transaction is rolled back whole, so nothing partial is written.
    const QString refused = refusedRightText(text);
    if (!refused.isEmpty())
        throw DbError(QString(reading ? kReadRefusedMessage : kWriteRefusedMessage).arg(refused));
    const bool lost = looksLost(text);
    if (lost) {
        // Nothing is retried: a write may or may not have reached the server. The next statement
        // opens a fresh connection.
        broken_ = true;
        inTransaction_ = false;
        // The driver's own words are English and technical; the user needs to know what to do.
        throw DbError(reading ? kConnectionLostReadMessage : kConnectionLostWriteMessage, true);
    }
    throw DbError(text, lost);
}

namespace {
// A statement that only reads: safe to run again after the connection was lost.
bool onlyReads(const QString &sql) {
    const QString s = sql.trimmed().toLower();
    if (s.contains(QLatin1String(" for update")) || s.contains(QLatin1String("nextval(")))
        return false;
    if (s.startsWith(QLatin1String("select")))
        return true;
    // A WITH query reads unless one of its parts writes.
    static const QRegularExpression writes(R"(\b(insert\s+into|update\s+\w|delete\s+from)\b)");
    return s.startsWith(QLatin1String("with")) && !writes.match(s).hasMatch();
}
} // namespace

QSqlQuery Database::run(const QString &sql, const SqlParams &params) {
    if (!inTransaction_ && !onlyReads(sql))
        return runAlone(sql, params);
    // A read outside a transaction may be asked again.
    const bool retriable = !inTransaction_;
    try {
        return runOnce(sql, params);
    } catch (const DbError &e) {
        if (!e.connectionLost() || !retriable)
            throw;
    }
    // The server restarted or the link dropped: the read is simply asked again.
    try {
        return runOnce(sql, params);
    } catch (const DbError &e) {
        if (e.connectionLost())
            throw DbError(kNoConnectionMessage, true);
        throw;
    }
}

QSqlQuery Database::runAlone(const QString &sql, const SqlParams &params) {
    // Inside its own transaction a statement whose reply is lost was never committed, and the
    // commit's own loss is asked about: the user never hears "not saved" of a saved row.
    Transaction tx(*this);
    QSqlQuery q = runOnce(sql, params);
    tx.commit();
    return q;
}

QSqlQuery Database::runOnce(const QString &sql, const SqlParams &params) {
    reopenIfBroken();
    QSqlQuery q(db_);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    bool ok;
    if (params.isEmpty()) {
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        if (ok) {
            for (const auto &p : params)
                q.bindValue(p.first.startsWith(':') ? p.first : ':' + p.first, p.second);
            ok = q.exec();
        }
    }
    if (!ok) {
        const QString text = q.lastError().text();
        q.finish();
        fail(text);
    }
    return q;
}

void Database::checkRead(const QSqlQuery &query) {
    if (query.lastError().isValid())
        fail(query.lastError().text(), true);
}

void Database::begin() {
    reopenIfBroken();
    if (!db_.transaction())
        fail(db_.lastError().text());
    inTransaction_ = true;
    transactionServerStart_ = serverStart_;
}

void Database::commit() {
    // Should the connection drop while the server commits, its answer is lost with it: the
    // transaction's id, asked first, tells afterwards whether the commit went through.
    qint64 xid = 0;
    {
        QSqlQuery q = runOnce(QStringLiteral("select txid_current()"), {});
        if (q.next())
            xid = q.value(0).toLongLong();
    }
    if (db_.commit()) {
        inTransaction_ = false;
        return;
    }
    const QString text = db_.lastError().text();
    db_.rollback();
    inTransaction_ = false;
    if (xid == 0 || text.contains(kClosedMonthMessage) || !looksLost(text))
        fail(text);
    broken_ = true;
    if (beforeFateQuestion_)
        beforeFateQuestion_();
    switch (fateOf(xid)) {
    case Fate::Committed:
        return;
    case Fate::Aborted:
        throw DbError(kConnectionLostWriteMessage, true);
    case Fate::Unknown:
        break;
    }
    throw DbError(kCommitUnknownMessage, true);
}

Database::Fate Database::fateOf(qint64 xid) {
    const QString startedUnder = transactionServerStart_.isEmpty() ? serverStart_ : transactionServerStart_;
    // The server may be restarting: asked on new connections for a few seconds (each attempt to
    // connect is itself bounded by the connection's timeout).
    QElapsedTimer clock;
    clock.start();
    for (int attempt = 0; attempt == 0 || clock.elapsed() < 5000; ++attempt) {
        if (attempt > 0)
            QThread::msleep(250);
        try {
            QSqlQuery q = runOnce(QStringLiteral("select txid_status(%1)").arg(xid), {});
            const QString status = q.next() ? q.value(0).toString() : QString();
            // A server that restarted may have handed the id to another transaction since.
            if (!startedUnder.isEmpty() && serverStart_ != startedUnder)
                return Fate::Unknown;
            if (status == QLatin1String("committed"))
                return Fate::Committed;
            if (status == QLatin1String("aborted"))
                return Fate::Aborted;
            // "in progress": the ended session has not finished rolling back yet.
        } catch (const DbError &) {
            broken_ = true;
        }
    }
    return Fate::Unknown;
}

void Database::rollback() {
    // A rollback that fails means the link is gone: the next statement reconnects.
    if (inTransaction_ && !db_.rollback())
        broken_ = true;
    inTransaction_ = false;
}

Transaction::Transaction(Database &db) : db_(db) {
    db_.begin();
}

Transaction::~Transaction() {
    if (!done_)
        db_.rollback();
}

void Transaction::commit() {
    done_ = true;
    db_.commit();
}
