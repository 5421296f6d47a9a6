#include "core/input_checks.h"

#include "core/formatting.h"
#include "core/seams.h"

bool refusedAsLaterMonth(const QDate &date) {
    const QDate now = today();
    if (date.year() * 12 + date.month() <= now.year() * 12 + now.month())
        return false;
    return !askYesNo(
        QStringLiteral("Дата %1 относится к месяцу, который ещё не наступил. Всё равно записать?")
            .arg(sqlDate(date)),
        QStringLiteral("Запись"));
}
