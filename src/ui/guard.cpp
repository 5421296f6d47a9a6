#include "ui/guard.h"

#include "core/dataset.h"
#include "core/db_error.h"
#include "ui/seams.h"

bool refreshAfterSaved(const std::function<void()> &refresh) {
    try {
        refresh();
        return true;
    } catch (const DbError &e) {
        if (!e.connectionLost())
            throw;
        showError(kSavedListNotRefreshedMessage);
        return false;
    }
}

void runGuarded(const std::function<void()> &action) {
    try {
        action();
    } catch (const DbError &e) {
        showError(e.text());
    } catch (const std::exception &e) {
        showError(QString::fromUtf8(e.what()));
    } catch (...) {
        // Never an empty box: say at least that the action did not finish.
        showError(QStringLiteral("Действие не выполнено из-за непредвиденной ошибки."));
    }
}

void runThenReopen(const QList<Dataset *> &views, const std::function<void()> &work) {
    auto reopen = [&] {
        for (Dataset *v : views)
            v->open();
    };
    try {
        work();
    } catch (...) {
        try {
            reopen();
        } catch (const DbError &) {
            // The work's own error is the one to show; the views stay empty until "Обновить".
        }
        throw;
    }
    refreshAfterSaved(reopen);
}
