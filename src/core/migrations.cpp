#include "core/migrations.h"

#include "core/database.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace {
// Advisory lock key of the upgrade: one workstation upgrades at a time.
constexpr int kUpgradeLock = 74100;

void ensureTable(Database &db) {
    db.run("create table if not exists accounts_dep.schema_migration (version integer primary key, "
           "name text not null, applied_at timestamp not null default now(), build text)");
}

QSet<int> appliedVersions(Database &db) {
    QSet<int> applied;
    QSqlQuery exists = db.run("select to_regclass('accounts_dep.schema_migration') is not null");
    if (!exists.next() || exists.value(0).toString() == "0" || exists.value(0).toString() == "false")
        return applied;
    exists.finish();
    QSqlQuery q = db.run("select version from accounts_dep.schema_migration");
    while (q.next())
        applied.insert(q.value(0).toInt());
    return applied;
}
} // namespace

QString buildStampText(int buildDate, int buildTime) {
    return QString("%1.%2").arg(buildDate).arg(buildTime);
}

QVector<Migration> programMigrations() {
    QVector<Migration> list;
    const QDir dir(":/migrations");
    static const QRegularExpression numbered(R"(^(\d{4})_.*\.sql$)");
    for (const QString &file : dir.entryList({"*.sql"}, QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch m = numbered.match(file);
        if (!m.hasMatch())
            continue;
        QFile f(dir.filePath(file));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        list.append({m.captured(1).toInt(), file.chopped(4), QString::fromUtf8(f.readAll())});
    }
    return list;
}

QVector<Migration> missingMigrations(Database &db, const QVector<Migration> &migrations) {
    const QSet<int> applied = appliedVersions(db);
    QVector<Migration> missing;
    for (const Migration &m : migrations)
        if (!applied.contains(m.version))
            missing.append(m);
    return missing;
}

QStringList upgradeDatabase(Database &db, const QString &build, const QVector<Migration> &migrations) {
    ensureTable(db);
    QStringList done;
    for (const Migration &m : missingMigrations(db, migrations)) {
        Transaction tx(db);
        // An upgrade waits for another workstation's, and its indexes for the tables' writers,
        // longer than an action waits for a row.
        db.run("set local lock_timeout = '300s'");
        db.run(QString("select pg_advisory_xact_lock(%1)").arg(kUpgradeLock));
        // Another workstation may have applied it while this one waited.
        QSqlQuery again =
            db.run("select count(*) from accounts_dep.schema_migration where version=:v", {{"v", m.version}});
        if (again.next() && again.value(0).toInt() > 0)
            continue;
        again.finish();
        for (const QString &statement : splitStatements(m.sql))
            db.run(statement);
        db.run("insert into accounts_dep.schema_migration(version, name, build) values (:v, :n, :b)",
               {{"v", m.version}, {"n", m.name}, {"b", build}});
        tx.commit();
        done << m.name;
    }
    return done;
}

QStringList splitStatements(const QString &script) {
    QStringList statements;
    QString current;
    const qsizetype n = script.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = script[i];
        if (c == '-' && i + 1 < n && script[i + 1] == '-') {
            // A comment runs to the end of the line; it is left out.
            while (i < n && script[i] != '\n')
                ++i;
            current += '\n';
            continue;
        }
        if (c == '\'') {
            // A string; '' inside it is a quote.
            current += c;
            for (++i; i < n; ++i) {
                current += script[i];
                if (script[i] == '\'') {
                    if (i + 1 < n && script[i + 1] == '\'') {
                        current += script[++i];
                        continue;
                    }
                    break;
                }
            }
            continue;
        }
        if (c == '$') {
            // A dollar quote: $$ or $tag$, closed by the same tag.
            static const QRegularExpression tagPattern(R"(\$[A-Za-z_]*\$)");
            const QRegularExpressionMatch tag = tagPattern.match(
                script, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
            if (tag.hasMatch()) {
                const qsizetype end = script.indexOf(tag.captured(0), i + tag.capturedLength());
                const qsizetype stop = end < 0 ? n : end + tag.capturedLength();
                current += script.mid(i, stop - i);
                i = stop - 1;
                continue;
            }
        }
        if (c == ';') {
            if (!current.trimmed().isEmpty())
                statements << current.trimmed();
            current.clear();
            continue;
        }
        current += c;
    }
    if (!current.trimmed().isEmpty())
        statements << current.trimmed();
    return statements;
}

QStringList migrationNames(const QVector<Migration> &migrations) {
    QStringList names;
    for (const Migration &m : migrations)
        names << m.name;
    return names;
}

QString upgradeNeededMessage(const QStringList &names) {
    return QStringLiteral("База данных требует обновления: не применены обновления %1. Обновите её командой "
                          "\"piecework --upgrade-database\" (на сервере достаточно одного раза) или войдите "
                          "администратором, чтобы обновить её сейчас.")
        .arg(names.join(", "));
}
