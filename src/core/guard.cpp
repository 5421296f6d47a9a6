#include "core/guard.h"

#include "core/db_error.h"
#include "core/seams.h"

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
