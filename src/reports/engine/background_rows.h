#pragma once
// A report's rows read on a connection of their own in a worker thread, so that the window stays
// alive while the server runs the statement (seconds on a big year, before the first row): the
// window can say that it works and stop it. Rows wait in a bounded queue: a year's report is never
// held whole.
#include "core/database.h"
#include "reports/engine/query_rows.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class BackgroundRows : public ReportRows {
public:
    // connectionString: where the statement runs (the reports' server); onlyField/onlyValue keep
    // only the rows whose field has that value, as QueryRows does.
    BackgroundRows(const QString &connectionString, const QString &sql, const SqlParams &params,
                   const QString &onlyField = {}, const QVariant &onlyValue = {});
    ~BackgroundRows() override;
    BackgroundRows(const BackgroundRows &) = delete;
    BackgroundRows &operator=(const BackgroundRows &) = delete;

    // The statement has answered (its columns are known) or failed: rows can be asked for.
    bool answered() const;
    // Throws the statement's error when it failed before its first rows.
    void throwIfFailed() const;
    // Ends the statement on the server and the reading.
    void stop();

    bool next() override;
    int fieldIndex(const QString &name) const override;
    int fieldCount() const override;
    bool numeric(int column) const override;
    QVariant current(int column) const override;
    QVariant previous(int column) const override;

private:
    void read(QString connectionString, QString sql, SqlParams params);
    void waitAnswered() const;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<QVector<QVariant>> queue_;
    bool answered_ = false, done_ = false, stop_ = false;
    QString error_;
    bool errorLost_ = false;
    qint64 backend_ = 0;
    QString connectionString_;
    QStringList fields_;
    QVector<bool> numeric_;
    QVector<QVariant> current_, previous_;
    QString onlyField_, onlyValue_;
    int only_ = -1;
    std::thread worker_;
};

// Waits for the statement to answer; after a moment shows that the report is being made, with
// "Остановить". False when the user stopped it.
bool waitForStatement(BackgroundRows &rows, const QString &title);
