#include "reports/engine/background_rows.h"

#include "core/db_error.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QSqlField>
#include <QSqlRecord>
#include <QThread>
#include <atomic>

namespace {
// Rows that may wait for the preview: a few portions of the preview's work.
constexpr size_t kMostQueuedRows = 4000;
std::atomic<int> g_connections{0};

} // namespace

BackgroundRows::BackgroundRows(const QString &connectionString, const QString &sql, const SqlParams &params,
                               const QString &onlyField, const QVariant &onlyValue)
    : connectionString_(connectionString), onlyField_(onlyField), onlyValue_(onlyValue.toString()) {
    worker_ = std::thread([this, connectionString, sql, params] { read(connectionString, sql, params); });
}

BackgroundRows::~BackgroundRows() {
    stop();
    if (worker_.joinable())
        worker_.join();
}

void BackgroundRows::read(QString connectionString, QString sql, SqlParams params) {
    try {
        // A connection belongs to the thread that made it: this one is made, used and ended here.
        Database db(QStringLiteral("report_rows_%1").arg(++g_connections));
        db.connect(connectionString);
        {
            QSqlQuery pid = db.run(QStringLiteral("select pg_backend_pid()"));
            const qint64 backend = pid.next() ? pid.value(0).toLongLong() : 0;
            std::lock_guard<std::mutex> lock(mutex_);
            backend_ = backend;
            if (stop_)
                return;
        }
        QSqlQuery query = db.run(sql, params);
        {
            const QSqlRecord rec = query.record();
            std::lock_guard<std::mutex> lock(mutex_);
            for (int i = 0; i < rec.count(); ++i) {
                fields_ << rec.fieldName(i);
                numeric_ << isNumericType(rec.field(i).metaType().id());
            }
            answered_ = true;
        }
        changed_.notify_all();
        const int columns = int(fields_.size());
        while (query.next()) {
            QVector<QVariant> row(columns);
            for (int i = 0; i < columns; ++i)
                row[i] = query.value(i);
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return stop_ || queue_.size() < kMostQueuedRows; });
            if (stop_)
                return;
            queue_.push_back(std::move(row));
            lock.unlock();
            changed_.notify_all();
        }
        db.checkRead(query);
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
    } catch (const DbError &e) {
        std::lock_guard<std::mutex> lock(mutex_);
        error_ = e.text();
        errorLost_ = e.connectionLost();
        done_ = answered_ = true;
    }
    changed_.notify_all();
}

bool BackgroundRows::answered() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return answered_;
}

void BackgroundRows::throwIfFailed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!error_.isEmpty() && fields_.isEmpty())
        throw DbError(error_, errorLost_);
}

void BackgroundRows::stop() {
    qint64 backend = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (done_ || stop_) {
            stop_ = true;
            changed_.notify_all();
            return;
        }
        stop_ = true;
        backend = backend_;
    }
    changed_.notify_all();
    // The statement may be running on the server: ended there, from a connection of the same
    // server and user, so that the worker comes back at once.
    if (backend > 0) {
        try {
            Database cancel(QStringLiteral("report_rows_cancel_%1").arg(++g_connections));
            cancel.connect(connectionString_);
            cancel.run(QStringLiteral("select pg_cancel_backend(:pid)"), {{"pid", backend}});
        } catch (const DbError &) {
            // Unreachable: the worker ends with its own connection's timeout.
        }
    }
}

void BackgroundRows::waitAnswered() const {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return answered_; });
}

bool BackgroundRows::next() {
    waitAnswered();
    if (only_ < 0 && !onlyField_.isEmpty())
        only_ = fieldIndex(onlyField_), onlyField_.clear();
    previous_ = std::move(current_);
    current_.clear();
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !queue_.empty() || done_ || stop_; });
        if (queue_.empty()) {
            if (!error_.isEmpty())
                throw DbError(error_, errorLost_);
            // Stopped before the end: never the end of the rows.
            if (!done_)
                throw DbError(QStringLiteral("Подготовка отчета остановлена."));
            return false;
        }
        QVector<QVariant> row = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        changed_.notify_all();
        if (only_ >= 0 && !sameValue(row.value(only_).toString(), onlyValue_))
            continue;
        current_ = std::move(row);
        return true;
    }
}

int BackgroundRows::fieldIndex(const QString &name) const {
    waitAnswered();
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
int BackgroundRows::fieldCount() const {
    waitAnswered();
    return int(fields_.size());
}
bool BackgroundRows::numeric(int column) const {
    waitAnswered();
    return numeric_.value(column);
}
QVariant BackgroundRows::current(int column) const {
    return current_.value(column);
}
QVariant BackgroundRows::previous(int column) const {
    return previous_.value(column);
}

bool waitForStatement(BackgroundRows &rows, const QString &title) {
    QElapsedTimer clock;
    clock.start();
    // A quick statement shows nothing.
    while (!rows.answered() && clock.elapsed() < 300)
        QThread::msleep(5);
    if (rows.answered())
        return true;
    QProgressDialog progress(QStringLiteral("Отчет формируется: база данных выполняет запрос…"),
                             QStringLiteral("Остановить"), 0, 0, QApplication::activeWindow());
    progress.setObjectName("StatementProgress");
    progress.setWindowTitle(title.trimmed().isEmpty() ? QStringLiteral("Отчет") : title.trimmed());
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.show();
    while (!rows.answered() && !progress.wasCanceled()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    if (progress.wasCanceled() && !rows.answered()) {
        rows.stop();
        return false;
    }
    return true;
}
