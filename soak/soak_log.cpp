#include "soak_log.h"

#include "core/db_error.h"

#include <QFile>
#include <QJsonDocument>

namespace soak {

bool Action::isRowWrite() const {
    return op.startsWith(QLatin1String("shift.")) || op.startsWith(QLatin1String("household."));
}

bool Action::isSave() const {
    return op.endsWith(QLatin1String(".add")) || op.endsWith(QLatin1String(".change"));
}

QString outcomeOf(const QString &message) {
    if (message.isEmpty() || message.contains(kSavedListNotRefreshedMessage))
        return QStringLiteral("saved");
    if (message.contains(kCommitUnknownMessage))
        return QStringLiteral("unknown");
    if (message.contains(kStaleRowMessage))
        return QStringLiteral("stale");
    if (message.contains(kClosedMonthMessage))
        return QStringLiteral("closed");
    if (message.contains(QStringLiteral("Позиция с такими параметрами уже заведена")))
        return QStringLiteral("duplicate");
    if (message.contains(QStringLiteral("Все поля должны быть заполнены")) ||
        message.contains(QStringLiteral("не может быть больше")))
        return QStringLiteral("refused");
    return QStringLiteral("failed");
}

QJsonObject toJson(const Action &a) {
    return {{"ws", a.workstation},
            {"seq", a.seq},
            {"started_ms", a.startedMs},
            {"ms", a.durationMs},
            {"op", a.op},
            {"outcome", a.outcome},
            {"message", a.message},
            {"id", QString::number(a.id)},
            {"read", a.read},
            {"wrote", a.wrote},
            {"extra", a.extra}};
}

Action actionFromJson(const QJsonObject &o) {
    Action a;
    a.workstation = o["ws"].toInt();
    a.seq = o["seq"].toInt();
    a.startedMs = qint64(o["started_ms"].toDouble());
    a.durationMs = o["ms"].toInt();
    a.op = o["op"].toString();
    a.outcome = o["outcome"].toString();
    a.message = o["message"].toString();
    a.id = o["id"].toString().toLongLong();
    a.read = o["read"].toObject();
    a.wrote = o["wrote"].toObject();
    a.extra = o["extra"].toObject();
    return a;
}

QList<Action> readLog(const QString &path) {
    QList<Action> actions;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return actions;
    while (!f.atEnd()) {
        const QJsonDocument line = QJsonDocument::fromJson(f.readLine());
        if (line.isObject())
            actions.append(actionFromJson(line.object()));
    }
    return actions;
}

} // namespace soak
