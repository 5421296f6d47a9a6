#include "core/roles.h"

Role roleForLogin(const QString &loginText) {
    const QString t = loginText.trimmed();
    if (t == QLatin1String("vrelik"))
        return Role::ReportReader;
    if (t == QLatin1String("quorbel"))
        return Role::Foreman;
    if (t == QLatin1String("tivon"))
        return Role::Warehouse;
    if (t == QLatin1String("31620574") || t == QLatin1String("7093"))
        return Role::Administrator;
    return Role::None;
}

QString actorText(Role role, const QString &workstation) {
    return workstation.isEmpty() ? roleName(role) : roleName(role) + QStringLiteral(", ") + workstation;
}

Role roleForGroup(const QString &groupRole) {
    if (groupRole == QLatin1String("piecework_admin"))
        return Role::Administrator;
    if (groupRole == QLatin1String("piecework_foreman"))
        return Role::Foreman;
    if (groupRole == QLatin1String("piecework_warehouse"))
        return Role::Warehouse;
    if (groupRole == QLatin1String("piecework_reader"))
        return Role::ReportReader;
    return Role::None;
}

QString shownActor(const QString &stored) {
    const Role role = roleForLogin(stored);
    return role == Role::None ? stored : roleName(role);
}

QString roleName(Role role) {
    switch (role) {
    case Role::ReportReader:
        return QStringLiteral("Отчеты");
    case Role::Foreman:
        return QStringLiteral("Мастер");
    case Role::Warehouse:
        return QStringLiteral("Склад");
    case Role::Administrator:
        return QStringLiteral("Администратор");
    case Role::None:
        break;
    }
    return {};
}
