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

const QList<QPair<QString, Role>> &programGroups() {
    static const QList<QPair<QString, Role>> groups{{"piecework_foreman", Role::Foreman},
                                                    {"piecework_warehouse", Role::Warehouse},
                                                    {"piecework_reader", Role::ReportReader},
                                                    {"piecework_admin", Role::Administrator}};
    return groups;
}

Role roleForGroup(const QString &groupRole) {
    for (const auto &[group, role] : programGroups())
        if (group == groupRole)
            return role;
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
