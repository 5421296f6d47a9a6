#pragma once
// The warehouse's acceptance mark of a shift record: "ok" or "да" accepted, anything else not.
#include <QString>

inline bool isAcceptedMark(const QString &mark) {
    return mark == QLatin1String("ok") || mark == QStringLiteral("да");
}
