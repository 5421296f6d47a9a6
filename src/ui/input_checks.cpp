#include "ui/input_checks.h"

#include "core/formatting.h"
#include "ui/seams.h"

std::optional<qint64> parseCount(const QString &text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 15)
        return std::nullopt;
    for (const QChar c : t)
        if (c < '0' || c > '9')
            return std::nullopt;
    return t.toLongLong();
}

QString typedText(const QString &text) {
    const QString t = text.size() > 20 ? text.left(20) + QStringLiteral("…") : text;
    return QStringLiteral("введено: «%1»").arg(t);
}

bool isNumericOverflow(const QString &databaseText) {
    return databaseText.contains(QLatin1String("22003")) ||
           databaseText.contains(QLatin1String("numeric field overflow"), Qt::CaseInsensitive) ||
           databaseText.contains(QStringLiteral("переполнение поля numeric"), Qt::CaseInsensitive) ||
           databaseText.contains(QLatin1String("integer out of range"), Qt::CaseInsensitive);
}

bool refusedAsLongAgo(const QDate &date) {
    if (date >= today().addYears(-1))
        return false;
    return !askYesNo(QStringLiteral("Дата %1 отстоит от сегодняшней больше чем на год. Всё равно записать?")
                         .arg(sqlDate(date)),
                     QStringLiteral("Запись"));
}

bool refusedAsNoPieces(qint64 pieces) {
    if (pieces > 0)
        return false;
    return !askYesNo(QStringLiteral("В записи 0 штук: по ней ничего не будет начислено. Всё равно записать?"),
                     QStringLiteral("Запись"));
}

bool refusedAsLaterMonth(const QDate &date) {
    const QDate now = today();
    if (date.year() * 12 + date.month() <= now.year() * 12 + now.month())
        return false;
    return !askYesNo(
        QStringLiteral("Дата %1 относится к месяцу, который ещё не наступил. Всё равно записать?")
            .arg(sqlDate(date)),
        QStringLiteral("Запись"));
}
